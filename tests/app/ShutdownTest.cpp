#include "app/HomeTestSupport.h"
#include "support/FileAudioOutput.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

// Quitting while a preview plays through a real device and a long file is being measured: the main
// component goes without a hang (the test's time limit catches one), and no worker is left touching
// the mixer, the device or a page that is gone (the sanitizer builds catch that).
TEST (MainComponentShutdown, WhileAPreviewPlaysAndLoudnessIsMeasured)
{
    FileAudioOutput device;
    TempFolder folder;
    const auto file = folder / "Lead Vox.wav";
    {
        std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (new juce::FileOutputStream (file), 48000.0, 2, 24, {}, 0));
        juce::AudioBuffer<float> tone (2, 48000);
        for (int i = 0; i < tone.getNumSamples(); ++i)
            tone.setSample (0, i, 0.5f * std::sin (0.05f * (float) i)), tone.setSample (1, i, tone.getSample (0, i));
        for (int second = 0; second < 60; ++second)
            writer->writeFromAudioSampleBuffer (tone, 0, tone.getNumSamples());
    }
    // Twenty minutes to measure in all, from one file on disk.
    juce::StringArray takes { file.getFullPathName() };
    for (int i = 1; i < 20; ++i)
    {
        const auto take = folder / ("Lead Vox " + juce::String (i) + ".wav");
        file.createSymbolicLink (take, true);
        takes.add (take.getFullPathName());
    }

    ShownMainComponent main;
    main->dropTarget.filesDropped (takes, 10, 10);
    main->timerCallback();
    main->renameClicked();
    auto* row = main->renamePage.rowInView (0);
    ASSERT_NE (row, nullptr);
    row->playButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return main->renamePage.playbackThread.transportSource.isPlaying(); }, 20000));
    ASSERT_TRUE (main->analysisList.isAnalysing()) << "the takes are still being measured";
}
