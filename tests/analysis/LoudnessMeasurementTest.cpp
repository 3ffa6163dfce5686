#include "analysis/AnalysisTestSupport.h"

#include "analysis/LoudnessMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tarsio::test;

namespace
{
    constexpr double kRate = 48000.0;

    LoudnessResult measured (const juce::File& file)
    {
        const auto result = LoudnessMeasurement::measureFile (file, {});
        EXPECT_TRUE (result.has_value());
        return result.value_or (LoudnessResult{});
    }

    void expectError (const LoudnessResult& r)
    {
        EXPECT_EQ (r.lufs, kNotAnalysedValue);
        EXPECT_EQ (r.truePeak, kNotAnalysedValue);
    }
}

// EBU Tech 3341 case 1: a stereo 1 kHz sine at -23 dBFS reads -23.0 LUFS within 0.1 LU.
// libebur128 itself gives -22.99 for it and -19.99 at -20 dBFS.
TEST (LoudnessMeasurementTest, KnownLoudnessOfStereoSines)
{
    TempFolder folder;
    for (const double level : { -23.0, -20.0 })
    {
        const auto file = folder / ("sine" + juce::String (level) + ".wav");
        ASSERT_TRUE (writeWav (file, 2, kRate, 32, (juce::int64) (20 * kRate), sine (dbToGain (level), 1000.0, kRate)));

        const auto r = measured (file);
        EXPECT_NEAR (r.lufs, level, 0.1) << level;
        EXPECT_NEAR (r.truePeak, level, 0.05) << level;
    }
}

TEST (LoudnessMeasurementTest, SixteenBitFileMeasuresLikeFloat)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "a.wav", 2, 44100.0, 16, 441000, sine (dbToGain (-23.0), 1000.0, 44100.0)));
    EXPECT_NEAR (measured (folder / "a.wav").lufs, -23.0, 0.1);
}

// Reading in blocks gives exactly what libebur128 gives for the whole signal fed at once.
TEST (LoudnessMeasurementTest, BlocksGiveTheSameValuesAsOneWholeFeed)
{
    TempFolder folder;
    const juce::int64 frames = 5 * 48000 + 1234;
    const auto signal = [] (int channel, juce::int64 frame)
    {
        const double envelope = 0.2 + 0.6 * (double) frame / (5.0 * 48000.0);
        return (float) (envelope * std::sin (0.05 * (double) frame + channel) * (channel == 0 ? 1.0 : 0.5));
    };
    ASSERT_TRUE (writeWav (folder / "ramp.wav", 2, kRate, 32, frames, signal));

    std::vector<float> whole ((size_t) frames * 2);
    for (juce::int64 f = 0; f < frames; ++f)
        for (int c = 0; c < 2; ++c)
            whole[(size_t) (f * 2 + c)] = signal (c, f);

    auto* st = ebur128_init (2, 48000, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    ASSERT_NE (st, nullptr);
    ebur128_add_frames_float (st, whole.data(), (size_t) frames);
    double lufs = 0.0, peak0 = 0.0, peak1 = 0.0;
    ebur128_loudness_global (st, &lufs);
    ebur128_true_peak (st, 0, &peak0);
    ebur128_true_peak (st, 1, &peak1);
    ebur128_destroy (&st);

    const auto r = measured (folder / "ramp.wav");
    EXPECT_FLOAT_EQ (r.lufs, (float) lufs);
    EXPECT_FLOAT_EQ (r.truePeak, 20.0f * std::log10 ((float) std::max (peak0, peak1)));
}

TEST (LoudnessMeasurementTest, SilenceIsMinusInfinityAndTheFloor)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "quiet.wav", 2, kRate, 16, 96000, silence()));

    const auto r = measured (folder / "quiet.wav");
    EXPECT_TRUE (std::isinf (r.lufs) && r.lufs < 0.0f);
    EXPECT_EQ (r.truePeak, kTruePeakFloorDb);
}

TEST (LoudnessMeasurementTest, PeakLevelsAndTheFloor)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "half.wav", 2, kRate, 32, 96000, sine (0.5, 1000.0, kRate)));
    ASSERT_TRUE (writeWav (folder / "tiny.wav", 2, kRate, 32, 96000, sine (1.0e-6, 1000.0, kRate)));

    EXPECT_NEAR (measured (folder / "half.wav").truePeak, -6.02, 0.02);

    const auto tiny = measured (folder / "tiny.wav");
    EXPECT_EQ (tiny.truePeak, kTruePeakFloorDb);
    EXPECT_TRUE (std::isinf (tiny.lufs));

    EXPECT_EQ (LoudnessMeasurement::peakToDb (0.0f), kTruePeakFloorDb);
    EXPECT_EQ (LoudnessMeasurement::peakToDb (1.0e-6f), kTruePeakFloorDb);
    EXPECT_NEAR (LoudnessMeasurement::peakToDb (0.5f), -6.0206f, 1.0e-4f);
}

// Mono counts as one front channel, not dual mono: the loudness differs by 3 LU, the peak does not.
TEST (LoudnessMeasurementTest, MonoAndStereoOfOneSignalShareThePeak)
{
    TempFolder folder;
    const auto signal = sine (0.3, 997.0, kRate);
    ASSERT_TRUE (writeWav (folder / "mono.wav", 1, kRate, 32, 96000, signal));
    ASSERT_TRUE (writeWav (folder / "stereo.wav", 2, kRate, 32, 96000, signal));

    const auto mono = measured (folder / "mono.wav");
    const auto stereo = measured (folder / "stereo.wav");
    EXPECT_FLOAT_EQ (mono.truePeak, stereo.truePeak);
    EXPECT_NEAR (stereo.lufs - mono.lufs, 3.01, 0.02);
}

TEST (LoudnessMeasurementTest, FilesThatCannotBeMeasuredGiveTheErrorValues)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "many.wav", 65, kRate, 16, 4800, sine (0.5, 1000.0, kRate)));
    ASSERT_TRUE (writeWav (folder / "slow.wav", 1, 8.0, 16, 64, sine (0.5, 1.0, 8.0)));
    // libebur128 takes 16 and 17 Hz but corrupts its heap on them.
    ASSERT_TRUE (writeWav (folder / "sixteen.wav", 2, 16.0, 16, 640, sine (0.5, 1.0, 16.0)));
    ASSERT_TRUE (writeWav (folder / "seventeen.wav", 1, 17.0, 16, 640, sine (0.5, 1.0, 17.0)));
    ASSERT_TRUE ((folder / "text.wav").replaceWithText ("not audio at all"));
    (folder / "empty.wav").create();

    expectError (measured (folder / "many.wav"));
    expectError (measured (folder / "slow.wav"));
    expectError (measured (folder / "sixteen.wav"));
    expectError (measured (folder / "seventeen.wav"));
    expectError (measured (folder / "text.wav"));
    expectError (measured (folder / "empty.wav"));
    expectError (measured (folder / "missing.wav"));

    // 64 channels and 18 Hz are still measured.
    ASSERT_TRUE (writeWav (folder / "wide.wav", 64, kRate, 16, 4800, sine (0.5, 1000.0, kRate)));
    ASSERT_TRUE (writeWav (folder / "eighteen.wav", 1, 18.0, 16, 640, sine (0.5, 1.0, 18.0)));
    EXPECT_FALSE (measured (folder / "wide.wav").isError());
    EXPECT_FALSE (measured (folder / "eighteen.wav").isError());
}

TEST (LoudnessMeasurementTest, ShortFileHasAPeakButNoGatedLoudness)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "blip.wav", 2, kRate, 32, 9600, sine (0.5, 1000.0, kRate)));

    const auto r = measured (folder / "blip.wav");
    EXPECT_TRUE (std::isinf (r.lufs));
    EXPECT_NEAR (r.truePeak, -6.02, 0.05);
}

// 10,000 frames are one full block and a tail of 1808: the tail is measured.
TEST (LoudnessMeasurementTest, TheShortLastBlockIsFed)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "tail.wav", 1, kRate, 32, 10000, [] (int, juce::int64 frame)
                           { return frame >= kAnalysisBlockFrames ? (frame % 2 == 0 ? 0.25f : -0.25f) : 0.0f; }));

    EXPECT_GT (measured (folder / "tail.wav").truePeak, -12.1f);
}

TEST (LoudnessMeasurementTest, AnExitRequestBetweenBlocksGivesNoResult)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "long.wav", 2, kRate, 16, 10 * 48000, sine (0.5, 1000.0, kRate)));

    int asked = 0;
    const auto result = LoudnessMeasurement::measureFile (folder / "long.wav", [&asked] { return ++asked > 3; });
    EXPECT_FALSE (result.has_value());
    EXPECT_EQ (asked, 4);

    EXPECT_FALSE (LoudnessMeasurement::measureFile (folder / "long.wav", [] { return true; }).has_value());
}

// A header claiming a huge data chunk on a small file: read what the file holds, as fast as the
// intact file, instead of hours of padding.
TEST (LoudnessMeasurementTest, AnOversizedDataHeaderMeasuresWhatTheFileHolds)
{
    TempFolder folder;
    const auto file = folder / "claims.wav";
    ASSERT_TRUE (writeWav (file, 2, kRate, 16, 96000, sine (0.25, 1000.0, kRate)));
    const auto intact = measured (file);

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    auto* data = static_cast<char*> (bytes.getData());
    const auto text = std::string (data, bytes.getSize());
    const auto chunk = text.find ("data");
    ASSERT_NE (chunk, std::string::npos);
    const juce::uint32 huge = 0xFFFFFFF0u;
    std::memcpy (data + chunk + 4, &huge, 4);
    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));

    const auto start = juce::Time::getMillisecondCounterHiRes();
    const auto damaged = measured (file);
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 10000.0);
    EXPECT_FLOAT_EQ (damaged.lufs, intact.lufs);
    EXPECT_FLOAT_EQ (damaged.truePeak, intact.truePeak);
}

TEST (LoudnessMeasurementTest, FiveOneFileIsMeasured)
{
    TempFolder folder;
    ASSERT_TRUE (writeWav (folder / "surround.wav", 6, kRate, 24, 96000, sine (0.1, 1000.0, kRate)));

    const auto r = measured (folder / "surround.wav");
    EXPECT_FALSE (r.isError());
    EXPECT_NEAR (r.truePeak, -20.0, 0.1);
}
