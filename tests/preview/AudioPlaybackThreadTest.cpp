#include "preview/AudioPlaybackThread.h"
#include "preview/PreviewTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tarsio::test;

namespace
{
constexpr double kRate = 44100.0;
constexpr int kBlock = 441;

// A started player on a real mixer and an (unopened) device manager, as the rename page sets it up.
struct PlayerRig
{
    PlayerRig()
    {
        player->onPlaybackStateChanged = log.recorder();
        player->mixer = &mixer;
        player->deviceManager = &deviceManager;
        player->startThread();
    }

    ~PlayerRig()
    {
        player.reset();
        pumpMessages (20);
    }

    juce::File loudFile (const juce::String& name, double seconds, int channels = 1)
    {
        return writeAudioFile (folder / name, AudioFileType::wav, channels, kRate, (juce::int64) (seconds * kRate),
                               [] (int, juce::int64 f) { return sine441 (f, 0.5f); });
    }

    bool waitFor (int row, bool playing, int timeoutMs = 5000)
    {
        return pumpUntil ([&] { return log.has (row, playing); }, timeoutMs);
    }

    TempFolder folder;
    juce::MixerAudioSource mixer;
    juce::AudioDeviceManager deviceManager;
    NoticeLog log;
    std::unique_ptr<AudioPlaybackThread> player = std::make_unique<AudioPlaybackThread>();
};

std::string pathOf (const juce::File& f) { return f.getFullPathName().toStdString(); }

std::vector<std::pair<int, bool>> asPairs (const NoticeLog& log)
{
    std::vector<std::pair<int, bool>> pairs;
    for (const auto& n : log.notices)
        pairs.emplace_back (n.row, n.playing);
    return pairs;
}
} // namespace

//==============================================================================
TEST (PlaybackThread, StopPlayPlayBurstRunsInOrderWithTheOldRowsStopFirst)
{
    PlayerRig rig;
    const auto a = rig.loudFile ("a.wav", 5.0), b = rig.loudFile ("b.wav", 5.0), c = rig.loudFile ("c.wav", 5.0);

    rig.player->playFile (pathOf (c), 5);
    ASSERT_TRUE (rig.waitFor (5, true));

    rig.player->stopPlayback();
    rig.player->playFile (pathOf (a), 0);
    rig.player->playFile (pathOf (b), 1);

    ASSERT_TRUE (rig.waitFor (1, true));
    pumpMessages (300);
    const std::vector<std::pair<int, bool>> expected { { 5, true }, { 5, false }, { 0, true }, { 0, false }, { 1, true } };
    EXPECT_EQ (asPairs (rig.log), expected);
    EXPECT_EQ (rig.player->currentRow.load(), 1);
}

TEST (PlaybackThread, EndOfFileIsReportedAboutASecondLater)
{
    PlayerRig rig;
    MixerPump pump (rig.mixer, kRate, kBlock);
    const auto file = rig.loudFile ("short.wav", 0.3);

    rig.player->playFile (pathOf (file), 2);
    ASSERT_TRUE (rig.waitFor (2, true));
    const auto started = juce::Time::getMillisecondCounterHiRes();

    ASSERT_TRUE (rig.waitFor (2, false, 5000));
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - started;
    // 0.3 s of audio, then ten passes of up to 100 ms.
    EXPECT_GT (elapsed, 300.0 + 700.0);
    EXPECT_LT (elapsed, 300.0 + 2500.0);
    EXPECT_EQ (rig.player->currentRow.load(), -1);
    pump.stop();
}

TEST (PlaybackThread, UnreadableFileStopsTheOldPreviewAndPostsNothingForTheNewOne)
{
    PlayerRig rig;
    const auto good = rig.loudFile ("good.wav", 5.0);
    const auto bad = rig.folder / "bad.wav";
    bad.replaceWithText ("RIFF but not really");

    rig.player->playFile (pathOf (good), 2);
    ASSERT_TRUE (rig.waitFor (2, true));
    rig.player->playFile (pathOf (bad), 4);
    ASSERT_TRUE (rig.waitFor (2, false));
    rig.player->playFile ("relative/name.wav", 6);
    pumpMessages (400);

    const std::vector<std::pair<int, bool>> expected { { 2, true }, { 2, false } };
    EXPECT_EQ (asPairs (rig.log), expected);
    EXPECT_EQ (rig.player->currentRow.load(), -1);
    EXPECT_EQ (rig.player->getLengthSeconds(), 0.0);
}

TEST (PlaybackThread, DestroyingThePlayerWithANoticeStillQueuedDoesNothing)
{
    PlayerRig rig;
    const auto file = rig.loudFile ("a.wav", 5.0);

    rig.player->playFile (pathOf (file), 3);
    // Wait without running the message loop, so that the playing notice stays queued.
    for (int i = 0; i < 500 && rig.player->currentRow.load() != 3; ++i)
        juce::Thread::sleep (10);
    ASSERT_EQ (rig.player->currentRow.load(), 3);

    rig.player.reset();
    pumpMessages (200);
    EXPECT_TRUE (rig.log.notices.empty());
}

TEST (PlaybackThread, SeeksAndPositionReadsWhileTheWorkerSwapsSources)
{
    PlayerRig rig;
    MixerPump pump (rig.mixer, 48000.0, 480);
    const auto a = rig.loudFile ("a.wav", 2.0, 1), b = rig.loudFile ("b.wav", 3.0, 2);

    juce::Random random (42);
    const auto end = juce::Time::getMillisecondCounter() + 1500;
    for (int i = 0; juce::Time::getMillisecondCounter() < end; ++i)
    {
        if (i % 20 == 0)
            rig.player->playFile (pathOf (i % 40 == 0 ? a : b), i % 3);
        if (i % 70 == 0)
            rig.player->stopPlayback();

        rig.player->seekTo (random.nextDouble() * 3.5);
        const auto length = rig.player->getLengthSeconds();
        const auto position = rig.player->getCurrentPositionSeconds();
        EXPECT_TRUE (length == 0.0 || std::abs (length - 2.0) < 0.01 || std::abs (length - 3.0) < 0.01) << length;
        EXPECT_GE (position, 0.0);
        EXPECT_LE (position, 3.6);
        pumpMessages (2);
    }

    rig.player.reset();
    pump.stop();
}

TEST (PlaybackThread, SeeksStayWithinTheFile)
{
    PlayerRig rig;
    const auto file = rig.loudFile ("a.wav", 2.0);

    rig.player->seekTo (1.0);
    EXPECT_EQ (rig.player->getCurrentPositionSeconds(), 0.0);

    rig.player->playFile (pathOf (file), 0);
    ASSERT_TRUE (rig.waitFor (0, true));
    EXPECT_NEAR (rig.player->getLengthSeconds(), 2.0, 1.0e-6);

    rig.player->seekTo (1.5);
    EXPECT_NEAR (rig.player->getCurrentPositionSeconds(), 1.5, 1.0e-3);
    rig.player->seekTo (-3.0);
    EXPECT_EQ (rig.player->getCurrentPositionSeconds(), 0.0);
    rig.player->seekTo (1.0e300);
    EXPECT_NEAR (rig.player->getCurrentPositionSeconds(), 2.0, 1.0e-3);
    rig.player->seekTo (std::numeric_limits<double>::quiet_NaN());
    EXPECT_NEAR (rig.player->getCurrentPositionSeconds(), 2.0, 1.0e-3);
}

//==============================================================================
// What would be heard: the real source chain pulled through the mixer.
namespace
{
class PlayerHears : public testing::TestWithParam<AudioFileType>
{
protected:
    void SetUp() override
    {
        if (GetParam() == AudioFileType::mp3 && ! haveLame())
            GTEST_SKIP() << "lame is not installed: the MP3 case needs it to make its file";
    }

    // Plays the file to its end through a pumped mixer and returns what came out.
    juce::AudioBuffer<float> play (int channels, double seconds, const SampleFunction& sample)
    {
        const auto file = writeAudioFile (rig.folder / (juce::String ("heard") + extensionOf (GetParam())), GetParam(),
                                          channels, kRate, (juce::int64) (seconds * kRate), sample);
        EXPECT_TRUE (file.existsAsFile());

        MixerPump pump (rig.mixer, kRate, kBlock, seconds + 2.0);
        rig.player->playFile (pathOf (file), 0);
        EXPECT_TRUE (rig.waitFor (0, true));
        positionAtStart = rig.player->getCurrentPositionSeconds();
        EXPECT_TRUE (rig.waitFor (0, false));
        pump.stop();

        juce::AudioBuffer<float> heard (2, pump.capturedSamples());
        for (int ch = 0; ch < 2; ++ch)
            heard.copyFrom (ch, 0, pump.captured(), ch, 0, heard.getNumSamples());
        return heard;
    }

    double tolerance() const { return isLossy (GetParam()) ? 0.08 : 0.01; }

    PlayerRig rig;
    double positionAtStart = -1.0;
};
} // namespace

TEST_P (PlayerHears, MonoOnEveryChannelAtFullScale)
{
    const auto heard = play (1, 0.5, [] (int, juce::int64 f) { return sine441 (f, 0.5f); });
    const int n = heard.getNumSamples();
    ASSERT_GT (n, 0);

    EXPECT_NEAR (heard.getMagnitude (0, 0, n), 1.0, tolerance());
    for (int i = 0; i < n; ++i)
        ASSERT_EQ (heard.getSample (0, i), heard.getSample (1, i)) << i;
}

TEST_P (PlayerHears, StereoKeepsItsChannels)
{
    // Right is the left inverted at half the level; the file peaks at 0.5, so the gain is 2.
    const auto heard = play (2, 0.5, [] (int ch, juce::int64 f) { return sine441 (f, ch == 0 ? 0.5f : -0.25f); });
    const int n = heard.getNumSamples();
    ASSERT_GT (n, 0);

    EXPECT_NEAR (heard.getMagnitude (0, 0, n), 1.0, tolerance());
    EXPECT_NEAR (heard.getMagnitude (1, 0, n), 0.5, tolerance());
    float worst = 0.0f;
    for (int i = 0; i < n; ++i)
        worst = juce::jmax (worst, std::abs (heard.getSample (1, i) + 0.5f * heard.getSample (0, i)));
    EXPECT_LT (worst, tolerance());
}

TEST_P (PlayerHears, QuietLeadInIsNotHeard)
{
    const auto second = (juce::int64) kRate;
    const auto heard = play (1, 1.5, [=] (int, juce::int64 f) { return f < second ? 0.005f : sine441 (f, 0.5f); });

    EXPECT_NEAR (positionAtStart, 1.0, 0.15);
    // Played from the start, the lead-in would come out at 0.01 for a whole second.
    int leadInSamples = 0;
    for (int i = 0; i < heard.getNumSamples(); ++i)
        if (const auto level = std::abs (heard.getSample (0, i)); level > 0.006f && level < 0.014f)
            ++leadInSamples;
    EXPECT_LT (leadInSamples, 2000);
}

INSTANTIATE_TEST_SUITE_P (AllFormats, PlayerHears, everyAudioFileType(), audioFileTypeName);

//==============================================================================
TEST (PlayerShutdown, WhilePlayingEndsPromptlyAndLeavesTheMixerEmpty)
{
    PlayerRig rig;
    MixerPump pump (rig.mixer, kRate, kBlock);
    const auto file = rig.loudFile ("long.wav", 10.0, 2);

    rig.player->playFile (pathOf (file), 0);
    ASSERT_TRUE (rig.waitFor (0, true));

    const auto started = juce::Time::getMillisecondCounterHiRes();
    rig.player->shutdown();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 500.0);
    EXPECT_FALSE (rig.player->isThreadRunning());

    // The pump keeps pulling the mixer while the player goes: nothing of it may still be reached.
    rig.player.reset();
    juce::Thread::sleep (50);
    pump.stop();
}

TEST (PlayerShutdown, QuitDuringALongScanDoesNotWaitForIt)
{
    PlayerRig rig;
    // About a billion frames that are really there (a sparse file): scanning them takes far longer
    // than a quit may.
    const auto file = writeAudioFile (rig.folder / "long.wav", AudioFileType::wav, 2, kRate, 1000,
                                      [] (int, juce::int64) { return 0.25f; });
    ASSERT_TRUE (claimHugeDataChunk (file));
    ASSERT_TRUE (growSparse (file, (juce::int64) 4 << 30));

    rig.player->playFile (pathOf (file), 0);
    juce::Thread::sleep (300);
    EXPECT_EQ (rig.player->currentRow.load(), -1) << "the scan should still be running";

    const auto started = juce::Time::getMillisecondCounterHiRes();
    rig.player->shutdown();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 1000.0);
    pumpMessages (50);
    EXPECT_TRUE (rig.log.notices.empty());
}
