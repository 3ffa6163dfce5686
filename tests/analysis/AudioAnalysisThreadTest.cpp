#include "analysis/AnalysisTestSupport.h"

#include "analysis/AudioAnalysisThread.h"
#include "analysis/LoudnessMeasurement.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace tarsio::test;

namespace
{
    struct Reported
    {
        std::string path;
        int row;
        float lufs, truePeak;
    };

    // Collects the worker's callbacks, which arrive on the worker thread.
    struct Collector
    {
        std::mutex lock;
        std::vector<Reported> results;

        AudioAnalysisThread::ResultCallback callback()
        {
            return [this] (const std::string& path, int row, float lufs, float truePeak)
            {
                const std::lock_guard<std::mutex> guard (lock);
                results.push_back ({ path, row, lufs, truePeak });
            };
        }

        std::vector<Reported> snapshot()
        {
            const std::lock_guard<std::mutex> guard (lock);
            return results;
        }
    };

    void queue (AudioAnalysisThread& worker, const juce::File& file, int row)
    {
        const juce::ScopedLock lock (worker.queueLock);
        worker.taskQueue.push_back ({ file.getFullPathName().toStdString(), row });
    }

    // Queues the two files, starts the worker and waits until it has taken the first.
    bool startOnTwo (AudioAnalysisThread& worker, Collector& collector, const juce::File& first, const juce::File& second)
    {
        worker.onAnalysisResult = collector.callback();
        queue (worker, first, 0);
        queue (worker, second, 1);
        worker.startThread();
        return pumpUntil ([&] { const juce::ScopedLock l (worker.queueLock); return worker.taskQueue.size() == 1; });
    }

    bool waitUntilEnded (AudioAnalysisThread& worker, int timeoutMs = 20000)
    {
        return worker.waitForThreadToExit (timeoutMs);
    }

}

TEST (AudioAnalysisThreadTest, ThreeTasksGiveThreeCallbacksInQueueOrderThenTheThreadEnds)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "a.wav", 2, 48000.0, 16, 48000, sine (0.5, 1000.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "b.wav", 1, 44100.0, 24, 44100, silence()));
    ASSERT_TRUE ((folder / "c.wav").replaceWithText ("no audio"));

    Collector collector;
    AudioAnalysisThread worker;
    EXPECT_EQ (worker.getThreadName(), "AudioAnalysis");
    worker.onAnalysisResult = collector.callback();
    queue (worker, folder / "a.wav", 0);
    queue (worker, folder / "b.wav", 1);
    queue (worker, folder / "c.wav", 2);
    EXPECT_TRUE (worker.hasQueuedTasks());

    worker.startThread();
    ASSERT_TRUE (waitUntilEnded (worker));
    EXPECT_FALSE (worker.hasQueuedTasks());

    const auto results = collector.snapshot();
    ASSERT_EQ (results.size(), 3u);
    EXPECT_EQ (results[0].path, (folder / "a.wav").getFullPathName().toStdString());
    EXPECT_EQ (results[1].path, (folder / "b.wav").getFullPathName().toStdString());
    EXPECT_EQ (results[2].path, (folder / "c.wav").getFullPathName().toStdString());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (results[(size_t) i].row, i);

    EXPECT_NEAR (results[0].truePeak, -6.02, 0.05);
    EXPECT_TRUE (std::isinf (results[1].lufs));
    EXPECT_EQ (results[1].truePeak, kTruePeakFloorDb);
    EXPECT_EQ (results[2].lufs, kNotAnalysedValue);
    EXPECT_EQ (results[2].truePeak, kNotAnalysedValue);
}

TEST (AudioAnalysisThreadTest, AStopDuringALongFileReportsNothingAndKeepsTheTasks)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.2, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "short.wav", 1, 48000.0, 16, 4800, silence()));

    Collector collector;
    AudioAnalysisThread worker;
    ASSERT_TRUE (startOnTwo (worker, collector, folder / "long.wav", folder / "short.wav"));
    juce::Thread::sleep (50);

    // The exit request is seen between blocks: the stop is prompt, not a wait for the whole file.
    const auto start = juce::Time::getMillisecondCounterHiRes();
    EXPECT_TRUE (worker.stopThread (5000));
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 1000.0);

    EXPECT_TRUE (collector.snapshot().empty());

    // The interrupted file is first again, ahead of the one not taken yet.
    {
        const juce::ScopedLock lock (worker.queueLock);
        ASSERT_EQ (worker.taskQueue.size(), 2u);
        EXPECT_EQ (worker.taskQueue.front().rowIndex, 0);
    }
    worker.startThread();
    ASSERT_TRUE (waitUntilEnded (worker));
    ASSERT_EQ (collector.snapshot().size(), 2u);
    EXPECT_EQ (collector.snapshot()[0].row, 0);
    EXPECT_EQ (collector.snapshot()[1].row, 1);
}

TEST (AudioAnalysisThreadTest, DestroyingARunningWorkerStopsItWithoutACallback)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.2, 440.0, 48000.0)));

    Collector collector;
    {
        AudioAnalysisThread worker;
        ASSERT_TRUE (startOnTwo (worker, collector, folder / "long.wav", folder / "long.wav"));
    }
    EXPECT_TRUE (collector.snapshot().empty());
}

TEST (AudioAnalysisThreadTest, AnEmptyQueueEndsTheThreadAtOnceAndItCanBeStartedAgain)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "a.wav", 1, 48000.0, 16, 4800, sine (0.5, 1000.0, 48000.0)));

    Collector collector;
    AudioAnalysisThread worker;
    worker.onAnalysisResult = collector.callback();

    worker.startThread();
    ASSERT_TRUE (waitUntilEnded (worker));

    for (int round = 0; round < 3; ++round)
    {
        queue (worker, folder / "a.wav", round);
        worker.startThread();
        ASSERT_TRUE (waitUntilEnded (worker));
    }
    ASSERT_EQ (collector.snapshot().size(), 3u);
    EXPECT_EQ (collector.snapshot()[2].row, 2);
}
