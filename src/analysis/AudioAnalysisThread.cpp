#include "analysis/AudioAnalysisThread.h"

#include "analysis/LoudnessMeasurement.h"
#include "rename/NameSuggestion.h"

AudioAnalysisThread::AudioAnalysisThread()
    : juce::Thread ("AudioAnalysis")
{
}

AudioAnalysisThread::~AudioAnalysisThread()
{
    clearQueue();

    // Stopped before the callback goes: the worker reads it without a lock.
    if (isThreadRunning())
        stopThread (-1); // never by force: reads end once the thread is asked to exit

    onAnalysisResult = nullptr;
}

bool AudioAnalysisThread::hasQueuedTasks() const
{
    const juce::ScopedLock lock (queueLock);
    return ! taskQueue.empty();
}

void AudioAnalysisThread::clearQueue()
{
    const juce::ScopedLock lock (queueLock);
    taskQueue.clear();
}

bool AudioAnalysisThread::takeNextTask (AnalysisTask& task)
{
    const juce::ScopedLock lock (queueLock);
    if (taskQueue.empty())
        return false;

    task = std::move (taskQueue.front());
    taskQueue.pop_front();
    return true;
}

void AudioAnalysisThread::run()
{
    AnalysisTask task;

    while (! threadShouldExit() && takeNextTask (task))
    {
        const auto result = LoudnessMeasurement::measureFile (task.filePath,
                                                              [this] { return threadShouldExit(); });

        if (! result.has_value())
        {
            // Interrupted: the task goes back to the front, so that a restarted worker still
            // measures it (the owner clears the queue when it wants the work dropped).
            const juce::ScopedLock lock (queueLock);
            taskQueue.push_front (task);
            return;
        }

        if (onAnalysisResult)
            onAnalysisResult (task.filePath, task.rowIndex, result->lufs, result->truePeak);
    }
}
