#include "app/MainComponent.h"
#include "preview/AudioPlaybackThread.h"
#include "preview/PreviewTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
constexpr double kRate = 44100.0;

// First and last frame (exclusive) above a level in either channel, or an empty range.
juce::Range<int> audibleSpan (const juce::AudioBuffer<float>& heard, float level)
{
    int first = -1, last = -1;
    for (int i = 0; i < heard.getNumSamples(); ++i)
        for (int ch = 0; ch < heard.getNumChannels(); ++ch)
            if (std::abs (heard.getSample (ch, i)) > level)
            {
                if (first < 0)
                    first = i;
                last = i;
            }
    return first < 0 ? juce::Range<int>() : juce::Range<int> (first, last + 1);
}
} // namespace

TEST (PlaybackDevice, PlaysThroughTheRealDeviceManagerIntoAFile)
{
    FileAudioOutput alsa;
    TempFolder folder;
    const auto second = (juce::int64) kRate;
    // Half a second of quiet lead-in, then half a second at half scale.
    const auto file = writeAudioFile (folder / "lead-in.wav", AudioFileType::wav, 1, kRate, second,
                                      [=] (int, juce::int64 f) { return f < second / 2 ? 0.005f : sine441 (f, 0.5f); });

    {
        juce::AudioDeviceManager deviceManager;
        juce::AudioSourcePlayer sourcePlayer;
        juce::MixerAudioSource mixer;
        sourcePlayer.setSource (&mixer);
        ASSERT_EQ (deviceManager.initialise (0, 2, nullptr, true), juce::String());
        ASSERT_NE (deviceManager.getCurrentAudioDevice(), nullptr);
        deviceManager.addAudioCallback (&sourcePlayer);

        NoticeLog log;
        AudioPlaybackThread player;
        player.onPlaybackStateChanged = log.recorder();
        player.mixer = &mixer;
        player.deviceManager = &deviceManager;
        player.startThread();

        player.playFile (file.getFullPathName().toStdString(), 0);
        ASSERT_TRUE (pumpUntil ([&] { return log.has (0, true); }));
        // The device runs far faster than real time: the half second is soon played out.
        ASSERT_TRUE (pumpUntil ([&] { return player.getCurrentPositionSeconds() >= 1.0; }));
        // Let the device write out what its buffers still hold; after the end it plays silence.
        pumpMessages (200);

        player.shutdown();
        deviceManager.removeAudioCallback (&sourcePlayer);
        sourcePlayer.setSource (nullptr);
        deviceManager.closeAudioDevice();
        pumpMessages (20);
    }

    const auto heard = alsa.readOutput();
    ASSERT_EQ (heard.getNumChannels(), 2);
    const int n = heard.getNumSamples();
    ASSERT_GT (n, 47000);

    // Heard at full scale on both channels, and only the loud half second: the lead-in was skipped.
    EXPECT_NEAR (heard.getMagnitude (0, 0, n), 1.0, 0.02);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ (heard.getSample (0, i), heard.getSample (1, i)) << i;
    const auto span = audibleSpan (heard, 0.004f);
    EXPECT_NEAR (span.getLength() / 48000.0, 0.5, 0.02);
}

TEST (MainComponentShutdown, WhileAPreviewPlaysThroughTheDevice)
{
    ScopedNoDisplay noDisplay;
    FileAudioOutput alsa;
    TempFolder folder;
    // Long enough to be still playing on the unpaced device when the window goes.
    const auto file = writeAudioFile (folder / "long.wav", AudioFileType::wav, 2, kRate, (juce::int64) (120 * kRate),
                                      [] (int, juce::int64 f) { return sine441 (f, 0.25f); });

    auto main = std::make_unique<MainComponent>();
    ASSERT_NE (main->deviceManager.getCurrentAudioDevice(), nullptr);

    auto& player = main->renamePage.playbackThread;
    player.playFile (file.getFullPathName().toStdString(), 0);
    ASSERT_TRUE (pumpUntil ([&] { return player.currentRow.load() == 0; }));
    ASSERT_TRUE (player.transportSource.isPlaying());

    const auto started = juce::Time::getMillisecondCounterHiRes();
    main.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1500.0);
    pumpMessages (100);
}

TEST (MainComponentShutdown, WhileAPreviewPlaysWithNothingPullingIt)
{
    ScopedNoDisplay noDisplay;
    TempFolder folder;
    const auto file = writeAudioFile (folder / "a.wav", AudioFileType::wav, 1, kRate, (juce::int64) (5 * kRate),
                                      [] (int, juce::int64 f) { return sine441 (f, 0.25f); });

    // Whatever device opens, the preview is queued and played; with no device nothing pulls it.
    FileAudioOutput alsa;
    auto main = std::make_unique<MainComponent>();
    main->deviceManager.closeAudioDevice();

    auto& player = main->renamePage.playbackThread;
    player.playFile (file.getFullPathName().toStdString(), 0);
    ASSERT_TRUE (pumpUntil ([&] { return player.currentRow.load() == 0; }));

    const auto started = juce::Time::getMillisecondCounterHiRes();
    main.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1500.0);
    pumpMessages (100);
}
