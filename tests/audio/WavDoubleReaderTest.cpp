// WAV files of 64-bit float samples, as DAWs export them, read by every reader the application has:
// the ISRC panel's rate, depth and ISRC, the preview's peak, start and waveform, a seek into the
// middle, and the loudness. They showed Error everywhere, the framework's reader refusing them.
#include "analysis/AudioConverter.h"
#include "analysis/PanelTestSupport.h"
#include "audio/AudioFileOpening.h"
#include "preview/PreviewScan.h"

using namespace tarsio::test;

namespace
{
// A float WAV (tag 3, or WAVE_FORMAT_EXTENSIBLE with a speaker mask) of the samples at 32 or 64 bits.
juce::MemoryBlock floatWav (int bits, juce::uint32 mask, int channels, const SampleAt& sampleAt)
{
    juce::MemoryOutputStream fmtBody, samples;
    fmtBody.writeShort ((short) (mask != 0 ? 0xfffe : 3));
    fmtBody.writeShort ((short) channels);
    fmtBody.writeInt (48000);
    fmtBody.writeInt (48000 * channels * bits / 8);
    fmtBody.writeShort ((short) (channels * bits / 8));
    fmtBody.writeShort ((short) bits);
    if (mask != 0)
    {
        fmtBody.writeShort (22);
        fmtBody.writeShort ((short) bits);
        fmtBody.writeInt ((int) mask);
        fmtBody.write ("\x03\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
    }
    for (int f = 0; f < 96000; ++f)
        for (int c = 0; c < channels; ++c)
            bits == 64 ? samples.writeDouble (sampleAt (c, f)) : samples.writeFloat (sampleAt (c, f));

    juce::MemoryBlock list ("INFO", 4);
    list.append (chunk ("ISRC", { "USABC1234567", 13 }).getData(), 22);
    return riff ({ chunk ("fmt ", fmtBody.getMemoryBlock()), chunk ("LIST", list), chunk ("data", samples.getMemoryBlock()) });
}

juce::String readByAll (const juce::File& file)
{
    double rate = 0.0; int bits = 0; juce::String isrc;
    AudioConverter::getFileInfo (file, rate, bits, isrc);
    const auto reader = PreviewScan::createReader (file);
    if (reader == nullptr)
        return "no reader";
    const auto scan = PreviewScan::scan (*reader, file.getSize(), {});
    juce::AudioBuffer<float> middle ((int) reader->numChannels, 100);
    reader->read (&middle, 0, 100, 50000, true, true);
    const auto loudness = LoudnessMeasurement::measureFile (file, {}).value_or (LoudnessResult {});
    return juce::String (rate) + "-" + juce::String (bits) + "|" + isrc + "|" + juce::String (reader->lengthInSamples) + " "
         + juce::String (scan.startFrame) + " " + juce::String (scan.peak) + " " + juce::String ((int) scan.bins.size())
         + " " + juce::String (middle.getSample ((int) reader->numChannels - 1, 99)) + "|" + juce::String (loudness.lufs) + " " + juce::String (loudness.truePeak);
}
} // namespace

TEST (WavDoubleReader, SixtyFourBitFloatFilesReadAsTheirThirtyTwoBitTwins)
{
    TempFolder folder;
    const auto late = [] (int c, int f) { return f < 1000 ? 0.0f : sine (-20.0 + c, 997.0) (c, f); };
    // 5.1 with side surrounds: the mask makes the last two weigh as surrounds.
    const struct { int channels; juce::uint32 mask; } cases[] = { { 2, 0 }, { 1, 0 }, { 6, 0x60f } };
    for (const auto& c : cases)
    {
        const auto twin = readByAll (writeBytes (folder / "32.wav", floatWav (32, c.mask, c.channels, late)));
        ASSERT_TRUE (twin.startsWith ("48000-32|USABC1234567|96000 1000 ") && ! twin.contains ("-999")) << twin;
        EXPECT_EQ (readByAll (writeBytes (folder / "64.wav", floatWav (64, c.mask, c.channels, late))),
                   twin.replace ("48000-32|", "48000-64|")) << c.channels;
    }
}
