// The panel with its real "AudioAnalysis" worker, real WAV files and the real message loop.
#include "analysis/PanelTestSupport.h"

#include "analysis/LoudnessMeasurement.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
    constexpr int kMeasureTimeoutMs = 30000;

    juce::StringArray pathsOf (std::initializer_list<juce::File> files)
    {
        juce::StringArray paths;
        for (const auto& f : files)
            paths.add (f.getFullPathName());
        return paths;
    }

    bool workerHasTaken (AudioAnalysisComponent& panel)
    {
        return pumpUntil ([&] { return panel.isAnalysing(); }, 2000);
    }

    // An intake of the files, as the main component makes it, until the worker is busy.
    bool startMeasuring (AudioAnalysisComponent& panel, const juce::StringArray& paths)
    {
        panel.setSize (860, 587);
        panel.addList (paths);
        panel.startBackgroundAnalysis();
        return workerHasTaken (panel);
    }
}

TEST (AudioAnalysisPanelThreadTest, AnIntakeMeasuresEveryRowAndRetriesOnlyTheFailedOnes)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "tone.wav", 2, 48000.0, 24, 5 * 48000, sine (dbToGain (-23.0), 1000.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "quiet.wav", 1, 44100.0, 16, 44100, silence()));
    ASSERT_TRUE ((folder / "broken.wav").replaceWithText ("RIFF but not really"));

    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    panel.addList (pathsOf ({ folder / "tone.wav", folder / "quiet.wav", folder / "broken.wav" }));
    panel.startBackgroundAnalysis();

    for (const auto& row : panelRows (panel))
    {
        EXPECT_EQ (row.lufsText(), "Analyzing");
        EXPECT_EQ (row.truePeakText(), ".");
    }

    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    auto rows = panelRows (panel);
    ASSERT_EQ (rows.size(), 3u);

    EXPECT_TRUE (rows[0].lufsText().endsWith (" LUFS"));
    EXPECT_NEAR (rows[0].lufsText().getDoubleValue(), -23.0, 0.1);
    EXPECT_NEAR (rows[0].truePeakText().getDoubleValue(), -23.0, 0.1);
    EXPECT_EQ (rows[0].lufsBackground(), juce::Colour (0xFF325032));
    EXPECT_EQ (rows[0].truePeakBackground(), juce::Colour (0xFF325032));

    EXPECT_EQ (rows[1].truePeakText(), "-100.00 dBTP");
    EXPECT_EQ (rows[1].lufsBackground(), juce::Colour (0xFF646478));

    EXPECT_EQ (rows[2].lufsText(), "Error");
    EXPECT_EQ (rows[2].truePeakText(), "Error");

    // The next intake queues the failed row again, and only it.
    const auto measuredText = rows[0].lufsText();
    panel.startBackgroundAnalysis();
    EXPECT_EQ (rows[0].lufsText(), measuredText);
    EXPECT_EQ (rows[2].lufsText(), "Analyzing");
    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    EXPECT_EQ (rows[2].lufsText(), "Error");

    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isAnalysing(); }));
}

TEST (AudioAnalysisPanelThreadTest, RemovingARowWhileItIsMeasuredLeavesTheOthersAlone)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.5, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "short.wav", 2, 48000.0, 16, 48000, sine (0.25, 440.0, 48000.0)));

    AudioAnalysisComponent panel;
    ASSERT_TRUE (startMeasuring (panel, pathsOf ({ folder / "long.wav", folder / "short.wav" })));

    panelRows (panel)[0].remove->triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return panelRows (panel).size() == 1; }));

    // The long file's late result has nowhere to go; the short one lands in its row.
    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isAnalysing() && allRowsMeasured (panel); }, kMeasureTimeoutMs));
    pumpMessages (100);

    const auto rows = panelRows (panel);
    ASSERT_EQ (rows.size(), 1u);
    EXPECT_EQ (rows[0].name->getText(), "short.wav");
    EXPECT_NEAR (rows[0].truePeakText().getDoubleValue(), -12.04, 0.05);
}

TEST (AudioAnalysisPanelThreadTest, AfterClearListAFileIsMeasuredAgain)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.5, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "a.wav", 1, 48000.0, 16, 48000, sine (0.5, 440.0, 48000.0)));

    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    panel.addList (pathsOf ({ folder / "a.wav" }));
    panel.startBackgroundAnalysis();
    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    const auto firstText = panelRows (panel)[0].truePeakText();

    // Cleared while a long file is measured: the worker stops at once and nothing is left.
    panel.addList (pathsOf ({ folder / "long.wav" }));
    panel.startBackgroundAnalysis();
    ASSERT_TRUE (workerHasTaken (panel));
    panel.clearList();
    EXPECT_FALSE (panel.isAnalysing());
    EXPECT_TRUE (panelRows (panel).empty());

    panel.addList (pathsOf ({ folder / "a.wav" }));
    EXPECT_EQ (panelRows (panel)[0].lufsText(), "Pending...");
    panel.startBackgroundAnalysis();
    EXPECT_EQ (panelRows (panel)[0].lufsText(), "Analyzing");
    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    EXPECT_EQ (panelRows (panel)[0].truePeakText(), firstText);

    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isAnalysing(); }));
    EXPECT_EQ (panelRows (panel).size(), 1u);
}

// Tasks still queued when the worker has ended (here: stopped mid-file) are taken up again by the
// panel's timer; no row stays at "Analyzing".
TEST (AudioAnalysisPanelThreadTest, TasksLeftInTheQueueOfAStoppedWorkerAreStillMeasured)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.5, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "b.wav", 1, 48000.0, 16, 48000, sine (0.5, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "c.wav", 2, 44100.0, 16, 44100, silence()));

    AudioAnalysisComponent panel;
    ASSERT_TRUE (startMeasuring (panel, pathsOf ({ folder / "long.wav", folder / "b.wav", folder / "c.wav" })));

    panel.stopAnalysis (5000);
    EXPECT_FALSE (panel.isAnalysing());
    EXPECT_FALSE (allRowsMeasured (panel));

    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    for (const auto& row : panelRows (panel))
        EXPECT_TRUE (row.truePeakText().endsWith (" dBTP")) << row.name->getText();

    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isAnalysing(); }));
}

// Intakes one after the other while the worker is busy or just ending: every row gets its result.
TEST (AudioAnalysisPanelThreadTest, IntakesInQuickSuccessionAllEndWithAResult)
{
    TempFolder folder;
    constexpr int kFiles = 40;
    juce::Random random (1234);

    AudioAnalysisComponent panel;
    panel.setSize (860, 587);

    for (int i = 0; i < kFiles; ++i)
    {
        const auto file = folder / ("f" + juce::String (i) + ".wav");
        ASSERT_TRUE (writeWav (file, 1, 48000.0, 16, 480 + 97 * i, sine (0.5, 440.0, 48000.0)));
        panel.addList (pathsOf ({ file }));
        panel.startBackgroundAnalysis();
        pumpMessages (random.nextInt (4));
    }

    ASSERT_TRUE (pumpUntil ([&] { return allRowsMeasured (panel); }, kMeasureTimeoutMs));
    const auto rows = panelRows (panel);
    ASSERT_EQ ((int) rows.size(), kFiles);
    for (const auto& row : rows)
        EXPECT_NEAR (row.truePeakText().getDoubleValue(), -6.02, 0.1) << row.name->getText();

    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isAnalysing(); }));
}

TEST (AudioAnalysisPanelThreadTest, DestroyingThePanelMidMeasurementDropsTheResult)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, 48000.0, 16, kLongFrames, sine (0.5, 440.0, 48000.0)));
    ASSERT_TRUE (writeWav (folder / "a.wav", 1, 48000.0, 16, 4800, sine (0.5, 440.0, 48000.0)));

    auto panel = std::make_unique<AudioAnalysisComponent>();
    panel->addList (pathsOf ({ folder / "a.wav", folder / "long.wav" }));
    panel->startBackgroundAnalysis();
    ASSERT_TRUE (workerHasTaken (*panel));
    // Let the short file's result be posted, then go before it is delivered.
    juce::Thread::sleep (100);

    const auto start = juce::Time::getMillisecondCounterHiRes();
    panel.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 2000.0);
    pumpMessages (100);
}
