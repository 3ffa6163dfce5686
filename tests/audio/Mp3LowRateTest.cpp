// MP3 files at the lower rates (MPEG-2 frames of 576 samples) last as long as they were recorded, and
// read the same wherever a read starts: JUCE's reader claimed twice the length, played earlier parts
// again after the end, and sought to about twice the time asked.
#include "audio/AudioFileOpening.h"
#include "preview/PreviewScan.h"
#include "preview/PreviewTestSupport.h"

using namespace tarsio::test;

TEST (Mp3LowRates, ALowRateFileLastsItsLengthAndReadsAlikeFromAnywhere)
{
    TempFolder folder;
    const double rate = 22050.0;
    // One second at 0.1, then one at 0.5.
    const auto file = writeAudioFile (folder / "voice.mp3", AudioFileType::mp3, 1, rate, (juce::int64) (2 * rate),
                                      [] (int, juce::int64 f) { return (f < 22050 ? 0.1f : 0.5f) * std::sin ((float) f * 0.1f); });
    // The frames are found after an ID3v2 tag of 20,000 bytes (cover art, say), padded with zeros.
    juce::MemoryBlock tagged ("ID3\x03\x00\x00\x00\x01\x1c\x20", 10), frames;
    tagged.setSize (20010, true);
    ASSERT_TRUE (file.loadFileAsData (frames));
    tagged.append (frames.getData(), frames.getSize());
    ASSERT_TRUE (file.replaceWithData (tagged.getData(), tagged.getSize()));
    auto reader = AudioFileOpening::createReader (file);
    ASSERT_NE (reader, nullptr);
    ASSERT_EQ (reader->sampleRate, rate);
    // The encoder adds up to a few frames of delay and padding.
    EXPECT_NEAR ((double) reader->lengthInSamples, 2 * rate, 3000.0);

    const int length = (int) reader->lengthInSamples;
    juce::AudioBuffer<float> straight (1, length);
    reader->read (&straight, 0, length, 0, true, true);
    EXPECT_NEAR (straight.getMagnitude (0, 3000, 15000), 0.1f, 0.02f);
    EXPECT_NEAR (straight.getMagnitude (0, 26000, 15000), 0.5f, 0.05f);

    // Forward, back, and back to the start, as clicks on the waveform read.
    for (const int start : { 30000, 5000, 33000, 0 })
    {
        juce::AudioBuffer<float> part (1, 2048);
        reader->read (&part, 0, 2048, start, true, true);
        for (int i = 0; i < 2048; ++i)
            ASSERT_EQ (part.getSample (0, i), straight.getSample (0, start + i)) << start + i;
    }
}

// A VBR file without a Xing or Info header (encoders that write none, or a VBRI header in its
// place) lasts its length: JUCE's reader took the file's size over its first, small frame for the
// count and claimed two to three times the length, which the preview then played on in silence.
TEST (Mp3Length, AVbrFileWithoutAFrameCountLastsItsLength)
{
    TempFolder folder;
    // Silence first makes the first frame the smallest; then half a second of each of two levels.
    const auto signal = [] (int, juce::int64 f) { return f < 20000 ? 0.0f : sine441 (f, f % 22050 < 11025 ? 0.9f : 0.2f); };
    enum Before { nothing, vbriFrame, junk, lowRateJunk };
    const struct { const char* name; double rate; Before before; } cases[] = {
        { "no header.mp3", 44100.0, nothing }, { "VBRI header.mp3", 44100.0, vbriFrame }, { "no header 22k.mp3", 22050.0, nothing },
        { "junk like a 48 kHz header first.mp3", 44100.0, junk }, { "junk like a 24 kHz header first.mp3", 44100.0, lowRateJunk },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto frames = (juce::int64) (3 * c.rate);
        const auto wav = writeAudioFile (folder / "source.wav", AudioFileType::wav, 2, c.rate, frames, signal);
        const auto file = folder / c.name;
        juce::ChildProcess lame;
        ASSERT_TRUE (lame.start (juce::StringArray { "lame", "--silent", "-V", "2", "-t", wav.getFullPathName(), file.getFullPathName() }));
        lame.waitForProcessToFinish (60000);

        juce::MemoryBlock bytes;
        ASSERT_TRUE (file.loadFileAsData (bytes) && bytes.getSize() > 1000);
        if (c.before != nothing)
        {
            // A silent 128 kbps frame holding a VBRI header, as such encoders put first; or 100
            // bytes of junk that start as a header would.
            juce::MemoryBlock first (c.before == vbriFrame ? 417 : 100, true);
            std::memcpy (first.getData(), c.before == vbriFrame ? "\xff\xfb\x90" : c.before == junk ? "\xff\xfb\x94" : "\xff\xf3\x94", 3);
            first[3] = bytes[3];
            if (c.before == vbriFrame)
                std::memcpy (static_cast<char*> (first.getData()) + 36, "VBRI", 4);
            first.append (bytes.getData(), bytes.getSize());
            ASSERT_TRUE (file.replaceWithData (first.getData(), first.getSize()));
        }

        auto reader = AudioFileOpening::createReader (file);
        ASSERT_NE (reader, nullptr);
        // The encoder's delay and padding, and the VBRI frame, add up to a few frames of 1,152.
        EXPECT_NEAR ((double) reader->lengthInSamples, (double) frames, 3500.0);
    }
}

// One damaged byte, and a frame of an MP3 file decodes to samples hundreds of millions times full
// scale: the preview took them for the file's peak and played the whole file near silent. Such reads
// are silence, and the rest of the file keeps its own peak, from the start or from a click.
TEST (Mp3Damage, FramesThatDecodeFarBeyondFullScaleAreSilence)
{
    TempFolder folder;
    const auto file = writeAudioFile (folder / "damaged.mp3", AudioFileType::mp3, 2, 44100.0, 3 * 44100,
                                      [] (int, juce::int64 f) { return sine441 (f, 0.25f); });
    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    bytes[5650] = (char) 0xff;
    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));

    const auto reader = PreviewScan::createReader (file);
    ASSERT_NE (reader, nullptr);
    const auto peak = PreviewScan::scan (*reader, file.getSize(), {}).peak;
    EXPECT_NEAR (peak, 0.25f, 0.05f);

    // Played from clicks all along the waveform.
    float loudest = 0.0f;
    juce::AudioBuffer<float> block (2, 512);
    for (int click = 0; click < 40; ++click)
        for (juce::int64 at = reader->lengthInSamples * click / 40, end = at + 20 * 512; at < end; at += 512)
        {
            reader->read (&block, 0, 512, at, true, true);
            loudest = juce::jmax (loudest, block.getMagnitude (0, 512));
        }
    EXPECT_LE (loudest, 1.0f);
}
