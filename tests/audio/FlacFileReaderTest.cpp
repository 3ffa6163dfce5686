// FLAC files read back through the reader that the preview, its waveform and the loudness panel
// open them with: every sample as written, from any frame on, whatever the header claims.
#include "audio/AudioFileOpening.h"
#include "audio/FlacTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
// The first frame at or after `start` where any channel differs from what was written (at full
// 32-bit scale, silence from `end` on), or -1.
juce::int64 firstWrongFrame (juce::AudioFormatReader& reader, juce::int64 start, int n, juce::int64 end)
{
    const int channels = (int) reader.numChannels, bits = (int) reader.bitsPerSample;
    std::vector<std::vector<int>> read ((size_t) channels, std::vector<int> ((size_t) n, 12345));
    std::vector<int*> pointers;
    for (auto& channel : read)
        pointers.push_back (channel.data());
    if (! reader.read (pointers.data(), channels, start, n, false))
        return start;

    for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
            if (read[(size_t) c][(size_t) i] != (start + i < end ? (int) ((juce::uint32) flacSample (c, start + i, bits) << (32 - bits)) : 0))
                return start + i;
    return -1;
}
} // namespace

TEST (FlacFileReader, ReadsBackEverySampleWrittenFromAnyFrame)
{
    enum Change { none, noLength, hugeLength, cutInSixthFrame };
    const struct { const char* name; int channels, bits; unsigned int rate, block; Change change; } cases[] = {
        { "8-bit mono", 1, 8, 8000, 1152, none },
        { "16-bit stereo", 2, 16, 44100, 4096, none },
        { "24-bit 5.1", 6, 24, 48000, 4096, none },
        { "24-bit 8 channels", 8, 24, 96000, 4096, none },
        { "32-bit stereo", 2, 32, 192000, 4096, none },
        { "no length in the header", 2, 16, 44100, 1152, noLength },
        { "a length of 2^36 - 1 in the header", 2, 16, 44100, 1152, hugeLength },
        { "cut in the sixth frame", 2, 24, 44100, 1152, cutInSixthFrame },
    };
    constexpr int frames = 30000;

    TempFolder folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto flac = encodeFlac (c.channels, c.bits, c.rate, frames, c.block);
        ASSERT_GT (flac.frameOffsets.size(), 5u);
        juce::int64 length = frames;
        if (c.change == noLength || c.change == hugeLength)
            StreamInfo::setLength (flac.bytes, c.change == noLength ? 0 : (1ull << 36) - 1);
        if (c.change == cutInSixthFrame)
        {
            flac.bytes.setSize (flac.frameOffsets[5] + 40);
            length = 5 * c.block;
        }
        const auto file = folder / (juce::String (c.name) + ".flac");
        ASSERT_TRUE (file.replaceWithData (flac.bytes.getData(), flac.bytes.getSize()));

        const auto reader = AudioFileOpening::createReader (file);
        ASSERT_NE (reader, nullptr);
        EXPECT_EQ (std::tuple (reader->numChannels, reader->bitsPerSample, reader->sampleRate, reader->lengthInSamples),
                   std::tuple ((unsigned int) c.channels, (unsigned int) c.bits, (double) c.rate, length));

        // The whole file and past its end, then from a frame in the middle (the waveform clicked), then back near the start.
        for (const auto& [start, n] : { std::pair<juce::int64, int> (0, frames + 100), { 3 * c.block + 333, 2000 }, { 100, 3000 } })
            EXPECT_EQ (firstWrongFrame (*reader, start, n, length), -1) << "reading from " << start;
    }
}

TEST (FlacFileReader, ReadsNoMoreOnceItsThreadIsAskedToExitAndBlamesNotTheFile)
{
    TempFolder folder;
    auto flac = encodeFlac (2, 16, 44100, 30000, 1152);
    StreamInfo::setLength (flac.bytes, 0); // opening counts the frames
    const auto file = folder / "no length.flac";
    ASSERT_TRUE (file.replaceWithData (flac.bytes.getData(), flac.bytes.getSize()));

    struct Worker final : juce::Thread
    {
        Worker (const juce::File& f) : juce::Thread ("FlacWorker"), file (f) {}
        void run() override
        {
            reader = AudioFileOpening::createReader (file);
            signalThreadShouldExit();
            readOrOpenedWhileExiting = (reader != nullptr && firstWrongFrame (*reader, 15000, 1000, 30000) == -1)
                                       || AudioFileOpening::createReader (file) != nullptr;
        }
        const juce::File file;
        std::unique_ptr<juce::AudioFormatReader> reader;
        bool readOrOpenedWhileExiting = true;
    } worker (file);
    worker.startThread();
    ASSERT_TRUE (worker.waitForThreadToExit (-1));
    EXPECT_FALSE (worker.readOrOpenedWhileExiting);
    // The same reader on a thread that goes on reads the file whole.
    ASSERT_NE (worker.reader, nullptr);
    EXPECT_EQ (firstWrongFrame (*worker.reader, 15000, 1000, 30000), -1);
    EXPECT_EQ (firstWrongFrame (*worker.reader, 0, 30000, 30000), -1);
}
