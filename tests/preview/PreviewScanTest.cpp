#include "preview/PreviewScan.h"
#include "preview/PreviewTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
constexpr double kRate = 44100.0;

class PreviewScanFormats : public testing::TestWithParam<AudioFileType>
{
protected:
    void SetUp() override
    {
        if (GetParam() == AudioFileType::mp3 && ! haveLame())
            GTEST_SKIP() << "lame is not installed: the MP3 cases need it to make their files";
    }

    // Writes the file and scans it as the player would.
    PreviewScan::Result scanOf (int channels, juce::int64 frames, const SampleFunction& sample)
    {
        const auto file = writeAudioFile (folder / (juce::String ("scan") + extensionOf (GetParam())),
                                          GetParam(), channels, kRate, frames, sample);
        EXPECT_TRUE (file.existsAsFile());
        auto reader = PreviewScan::createReader (file);
        EXPECT_NE (reader, nullptr);
        if (reader == nullptr)
            return {};
        return PreviewScan::scan (*reader, file.getSize(), {});
    }

    // Lossy codecs move levels and onsets a little.
    double levelTolerance() const { return isLossy (GetParam()) ? 0.08 : 1.0e-4; }
    double startToleranceSeconds() const { return isLossy (GetParam()) ? 0.1 : 0.0; }

    TempFolder folder;
};
} // namespace

TEST_P (PreviewScanFormats, PeakOfHalfGivesGainOfTwo)
{
    const auto result = scanOf (2, (juce::int64) kRate, [] (int ch, juce::int64 f) { return sine441 (f, ch == 0 ? 0.5f : 0.25f); });
    ASSERT_TRUE (result.completed);
    EXPECT_NEAR (PreviewScan::gainForPeak (result.peak), 2.0, 2.0 * levelTolerance());
}

TEST_P (PreviewScanFormats, SilencePlaysAtUnityGainFromTheStart)
{
    const auto result = scanOf (1, (juce::int64) kRate, [] (int, juce::int64) { return 0.0f; });
    ASSERT_TRUE (result.completed);
    EXPECT_EQ (PreviewScan::gainForPeak (result.peak), 1.0f);
    EXPECT_EQ (result.startFrame, 0);
}

TEST_P (PreviewScanFormats, QuietLeadInOfOneSecondIsSkipped)
{
    const auto oneSecond = (juce::int64) kRate;
    const auto result = scanOf (2, 3 * oneSecond, [=] (int ch, juce::int64 f)
    {
        // Only the right channel turns loud, so every channel counts for the start.
        return f < oneSecond ? 0.005f : (ch == 1 ? sine441 (f - oneSecond + 25, 0.5f) : 0.0f);
    });
    ASSERT_TRUE (result.completed);
    EXPECT_NEAR ((double) result.startFrame / kRate, 1.0, startToleranceSeconds() + 0.5 / kRate);
}

TEST_P (PreviewScanFormats, NothingAboveTheAudibleLevelStartsAtZero)
{
    const float level = isLossy (GetParam()) ? 0.007f : 0.0099f;
    const auto result = scanOf (1, (juce::int64) kRate, [=] (int, juce::int64 f) { return sine441 (f, level); });
    ASSERT_TRUE (result.completed);
    EXPECT_EQ (result.startFrame, 0);
    EXPECT_GT (result.peak, 0.001f);
}

INSTANTIATE_TEST_SUITE_P (AllFormats, PreviewScanFormats, everyAudioFileType(), audioFileTypeName);

TEST (PreviewScan, BlocksFindTheSameStartAndPeakAsOneWholeFileRead)
{
    TempFolder folder;
    // Starts and peaks on both sides of block boundaries and in either channel.
    for (const juce::int64 onset : { 0, 1, 999, 1000, 1001, 2999, 4321 })
    {
        const auto file = writeAudioFile (folder / "edge.wav", AudioFileType::wav, 2, kRate, 5000,
                                          [=] (int ch, juce::int64 f)
                                          {
                                              if (f == onset) return ch == (int) (onset % 2) ? -0.011f : 0.0f;
                                              if (f == 4000 + onset % 7) return ch == 0 ? 0.75f : 0.0f;
                                              return f < onset ? 0.01f : 0.002f;
                                          });
        auto reader = PreviewScan::createReader (file);
        ASSERT_NE (reader, nullptr);

        juce::AudioBuffer<float> whole ((int) reader->numChannels, (int) reader->lengthInSamples);
        ASSERT_TRUE (reader->read (&whole, 0, whole.getNumSamples(), 0, true, true));
        juce::int64 expectedStart = 0;
        for (int f = whole.getNumSamples(); --f >= 0;)
            if (std::abs (whole.getSample (0, f)) > 0.01f || std::abs (whole.getSample (1, f)) > 0.01f)
                expectedStart = f;
        const float expectedPeak = juce::jmax (whole.getMagnitude (0, 0, whole.getNumSamples()),
                                               whole.getMagnitude (1, 0, whole.getNumSamples()));

        for (const int blockFrames : { 1, 7, 1000, 65536 })
        {
            const auto result = PreviewScan::scan (*reader, file.getSize(), {}, blockFrames);
            EXPECT_TRUE (result.completed);
            EXPECT_EQ (result.startFrame, expectedStart) << "onset " << onset << ", block " << blockFrames;
            EXPECT_EQ (result.peak, expectedPeak) << "onset " << onset << ", block " << blockFrames;
        }
    }
}

TEST (PreviewScan, GainIsUnityUpToTheSilencePeak)
{
    EXPECT_EQ (PreviewScan::gainForPeak (0.0f), 1.0f);
    EXPECT_EQ (PreviewScan::gainForPeak (0.001f), 1.0f);
    EXPECT_NEAR (PreviewScan::gainForPeak (0.0011f), 1.0f / 0.0011f, 1.0e-3);
    EXPECT_EQ (PreviewScan::gainForPeak (0.25f), 4.0f);
}

TEST (PreviewScan, DamagedHeaderClaimingAHugeLengthNeitherAllocatesItNorRunsAway)
{
    TempFolder folder;
    const auto file = writeAudioFile (folder / "damaged.wav", AudioFileType::wav, 2, kRate, 1000,
                                      [] (int, juce::int64 f) { return f == 500 ? 0.5f : 0.0f; });

    ASSERT_TRUE (claimHugeDataChunk (file));

    auto reader = PreviewScan::createReader (file);
    ASSERT_NE (reader, nullptr);
    ASSERT_GT (reader->lengthInSamples, (juce::int64) 500000000);

    // Only what the file holds is read: the scan ends after a block or two, and stopping still works.
    int blocksRead = 0;
    const auto result = PreviewScan::scan (*reader, file.getSize(), [&] { return ++blocksRead > 20; });
    EXPECT_TRUE (result.completed);
    EXPECT_LE (blocksRead, 2);
    // The header and the frames of the file, no more.
    EXPECT_GE (PreviewScan::readableLength (*reader, file.getSize()), 1000);
    EXPECT_LE (PreviewScan::readableLength (*reader, file.getSize()), file.getSize() / 4);

    int stopAfter = 0;
    EXPECT_FALSE (PreviewScan::scan (*reader, file.getSize(), [&] { return ++stopAfter > 0; }, 100).completed);

    // One block of memory, whatever the header claims.
    EXPECT_LE ((size_t) PreviewScan::blockFramesFor ((int) reader->numChannels) * reader->numChannels * sizeof (float),
               (size_t) PreviewScan::kBlockBytes);
    EXPECT_EQ (result.startFrame, 500);
    EXPECT_NEAR (result.peak, 0.5f, 1.0e-4);
}

TEST (PreviewScan, UnreadableFilesGiveNoReader)
{
    TempFolder folder;
    const auto text = folder / "notes.wav";
    text.replaceWithText ("not audio at all");
    EXPECT_EQ (PreviewScan::createReader (text), nullptr);
    EXPECT_EQ (PreviewScan::createReader (folder / "missing.flac"), nullptr);
}
