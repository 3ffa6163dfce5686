#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <string>
#include <deque>

// The loudness worker ("AudioAnalysis"): takes measuring tasks from a locked queue, first in first
// out, measures each file (LoudnessMeasurement) and reports it through onAnalysisResult. It ends by
// itself when it finds the queue empty; its owner starts it again for the next tasks.
//
// Threads: the owner (message thread) appends to taskQueue under queueLock, calls hasQueuedTasks,
// clearQueue, startThread, stopThread and the destructor; run and onAnalysisResult run on the worker.
// An exit request is seen before each task and between blocks of a file; an interrupted file gets
// no result and its task goes back to the front of the queue.
class AudioAnalysisThread final : public juce::Thread
{
public:
    struct AnalysisTask
    {
        std::string filePath;
        int rowIndex = -1;
    };

    using ResultCallback = std::function<void (const std::string& path, int row, float lufs, float truePeak)>;

    AudioAnalysisThread();
    ~AudioAnalysisThread() override;

    bool hasQueuedTasks() const;
    void clearQueue();

    void run() override;

    // Guarded by queueLock; taken from the front, so a deque: ten thousand files are queued at once.
    std::deque<AnalysisTask> taskQueue;
    // Called on the worker, read there without a lock: assign it only while the thread is stopped.
    ResultCallback onAnalysisResult;
    juce::CriticalSection queueLock;

private:
    bool takeNextTask (AnalysisTask& task);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioAnalysisThread)
};
