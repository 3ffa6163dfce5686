#include "preview/PreviewTestSupport.h"

using namespace tarsio::test;

TEST (PlaybackDevice, PlaysFromTheFirstAudibleFrameAtTheWholeFilesGainOnEveryChannel)
{
    FileAudioOutput alsa;
    {
        PlayerRig rig;
        // Half a second at 0.005 (below the audible level), half a second at 0.1, then half a second at 0.5.
        rig.play (rig.wav ("steps.wav", 1.5, [] (int, juce::int64 f) { return f < 22050 ? 0.005f : sine441 (f, f < 44100 ? 0.1f : 0.5f); }), 0);
        ASSERT_TRUE (rig.waitFor (0, true));
        // The device runs far faster than real time: the preview soon reaches its end and is reported stopped.
        ASSERT_TRUE (rig.waitFor (0, false));
    }

    auto heard = alsa.readOutput();
    const int n = heard.getNumSamples();
    int first = -1, last = -1;
    for (int i = 0; i < n; ++i)
        if (std::abs (heard.getSample (0, i)) > 0.004f)
            (first < 0 ? first : last) = i;

    // At 48 kHz: one second heard, the lead-in skipped; the quiet half already at the loud half's gain.
    ASSERT_GT (first, 0);
    EXPECT_NEAR (last - first, 48000, 100);
    EXPECT_NEAR (heard.getMagnitude (0, first, 23500), 0.2f, 0.01f);
    EXPECT_NEAR (heard.getMagnitude (0, first + 24500, 23000), 1.0f, 0.02f);
    // The mono file is heard the same on both channels.
    heard.addFrom (1, 0, heard, 0, 0, n, -1.0f);
    EXPECT_EQ (heard.getMagnitude (1, 0, n), 0.0f);
}

TEST (PlaybackDevice, AClickOnTheWaveformOfAPreviewThatRanOutPlaysItAgain)
{
    FileAudioOutput alsa;
    {
        PlayerRig rig;
        rig.play (rig.wav ("shot.wav", 0.25), 0);
        ASSERT_TRUE (rig.waitFor (0, true));
        // The transport stops itself at the end; the bar keeps the preview for about a second more,
        // and a click on its waveform then seeks.
        ASSERT_TRUE (pumpUntil ([&]
        {
            const bool ranOut = ! rig.player->transportSource.isPlaying();
            if (ranOut)
                rig.player->seekTo (0.0);
            return ranOut;
        }));
        ASSERT_TRUE (rig.waitFor (0, false));
    }

    // The quarter second (12,000 frames at 48 kHz) is heard twice.
    const auto heard = alsa.readOutput();
    int audible = 0;
    for (int i = 0; i < heard.getNumSamples(); ++i)
        audible += std::abs (heard.getSample (0, i)) > 0.1f ? 1 : 0;
    EXPECT_GT (audible, 18000);
}
