#include "audio/AudioFileOpening.h"
#include "preview/PreviewTestSupport.h"

using namespace tarsio::test;

namespace
{
// What the bar drew and the player found before one pass did both: each bin's loudest sample over
// every channel, divided by the loudest bin; the peak and first audible frame of the whole file.
PreviewScan::Result foundBefore (const juce::File& file)
{
    auto reader = PreviewScan::createReader (file);
    const auto length = (int) AudioFileOpening::readableLength (*reader, file.getSize()), bin = length / 1500, last = (int) reader->numChannels - 1;
    juce::AudioBuffer<float> all (last + 1, length);
    reader->read (&all, 0, length, 0, true, true);
    const auto loudest = [&] (int start, int n) { return juce::jmax (all.getMagnitude (0, start, n), all.getMagnitude (last, start, n)); };

    PreviewScan::Result before { 0, loudest (0, length), {}, true };
    for (int f = length; --f >= 0;)
        before.startFrame = loudest (f, 1) > 0.01f ? f : before.startFrame;
    const float top = loudest (0, 1500 * bin);
    for (int i = 0; top > 0.001f && i < 1500; ++i)
        before.bins.push_back (loudest (i * bin, bin) / top);
    return before;
}
} // namespace

TEST (PreviewScan, FindsInOnePassTheStartPeakAndWaveformFoundBefore)
{
    using T = AudioFileType;
    const auto leadIn = [] (int ch, juce::int64 f) { return f < 20000 ? 0.005f : ch == 1 ? sine441 (f, 0.5f) : 0.0f; };
    const struct { const char* name; T type; int channels; juce::int64 frames; SampleFunction sample; size_t bins; } cases[] = {
        { "3000 frames, bins of 2.wav", T::wav, 1, 3000, [] (int, juce::int64 f) { return f == 1001 ? -0.5f : 0.25f; }, 1500 },
        { "1499 frames, none.wav", T::wav, 2, 1499, [] (int, juce::int64) { return 0.5f; }, 0 },
        { "the loud frames after the last bin are not shown.wav", T::wav, 2, 1501000,
          [] (int, juce::int64 f) { return f >= 1500000 ? 1.0f : f / 1000 == 10 ? 0.5f : 0.25f; }, 1500 },
        { "near silence, none.wav", T::wav, 1, 3000, [] (int, juce::int64 f) { return f == 10 ? 0.0005f : 0.0f; }, 0 },
        { "a header claiming 4 GB.wav", T::wav, 1, 30000, leadIn, 1500 }, { "lead-in.wav", T::wav, 2, 44100, leadIn, 1500 },
        { "lead-in.aiff", T::aiff, 2, 44100, leadIn, 1500 }, { "lead-in.flac", T::flac, 2, 44100, leadIn, 1500 },
        { "lead-in.ogg", T::ogg, 2, 44100, leadIn, 1500 }, { "lead-in.mp3", T::mp3, 2, 44100, leadIn, 1500 },
    };

    TempFolder folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = writeAudioFile (folder / c.name, c.type, c.channels, 44100.0, c.frames, c.sample);
        ASSERT_TRUE (c.frames != 30000 || claimHugeDataChunk (file));
        auto reader = PreviewScan::createReader (file);
        ASSERT_NE (reader, nullptr);

        const auto scan = PreviewScan::scan (*reader, file.getSize(), {}), before = foundBefore (file);
        EXPECT_EQ (std::tie (scan.completed, scan.startFrame, scan.peak, scan.bins),
                   std::tie (before.completed, before.startFrame, before.peak, before.bins));
        EXPECT_EQ (scan.bins.size(), c.bins);
    }
}
