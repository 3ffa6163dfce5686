// Whatever anyone can put in a folder under an audio file's name, through every reader the
// application has: the ISRC panel's file information, the preview's reader, its one pass (the
// start, the peak and the waveform) and its playback clicked along the waveform, and the loudness
// measurement. None may crash, hang, allocate without bound or let a value that is not a number
// reach a row, the drawing or the loudspeakers.
#include "analysis/AudioConverter.h"
#include "analysis/PanelTestSupport.h"
#include "audio/FlacTestSupport.h"
#include "preview/MonoToStereoNormalizedSource.h"
#include "preview/PreviewScan.h"

#include <juce_audio_devices/juce_audio_devices.h>

#include <sys/stat.h>

using namespace tarsio::test;

namespace
{
// An AIFF file of any channel count and sample size (44.1 kHz), big-endian as the format is.
juce::MemoryBlock aiff (short channels, short bits, int frames, int dataBytes)
{
    juce::MemoryOutputStream out;
    out.write ("FORM", 4); out.writeIntBigEndian (4 + 26 + 16 + dataBytes); out.write ("AIFFCOMM", 8); out.writeIntBigEndian (18);
    out.writeShortBigEndian (channels); out.writeIntBigEndian (frames); out.writeShortBigEndian (bits);
    out.write ("\x40\x0e\xac\x44\0\0\0\0\0\0", 10);
    out.write ("SSND", 4); out.writeIntBigEndian (8 + dataBytes); out.writeIntBigEndian (0); out.writeIntBigEndian (0);
    out.writeRepeatedByte (0x11, (size_t) dataBytes);
    return out.getMemoryBlock();
}

juce::MemoryBlock floats (std::initializer_list<float> samples)
{
    juce::MemoryBlock body;
    for (int i = 0; i < 2000; ++i)
        for (auto sample : samples)
            body.append (&sample, sizeof (sample));
    return chunk ("data", body);
}

// 20 frames of 1,152 of 16-bit stereo FLAC at 44.1 kHz (23,040 frames), damaged as given.
juce::MemoryBlock flac (const std::function<void (FlacBytes&)>& damage)
{
    auto file = encodeFlac (2, 16, 44100, 23040, 1152);
    damage (file);
    return file.bytes;
}

// Blocks as the audio device pulls them through the preview's chain, from the start and then from
// the middle, as a click on the waveform seeks: true when every sample is a finite number.
bool playsFiniteAndSeeks (juce::AudioFormatReader* reader)
{
    const auto rate = reader->sampleRate, middle = (double) reader->lengthInSamples / 2 / rate;
    juce::AudioFormatReaderSource source (reader, true);
    MonoToStereoNormalizedSource normalised (&source, reader->numChannels == 1, 1.0f);
    juce::AudioTransportSource transport;
    transport.setSource (&normalised, 0, nullptr, rate, 2);
    transport.prepareToPlay (1024, rate);
    transport.start();

    juce::AudioBuffer<float> block (2, 1024);
    bool finite = true;
    for (int i = 0; i < 8; ++i)
    {
        if (i == 4)
            transport.setPosition (middle);
        transport.getNextAudioBlock ({ &block, 0, 1024 });
        for (int c = 0; c < 2; ++c)
            finite = finite && std::all_of (block.getReadPointer (c), block.getReadPointer (c) + 1024, [] (float s) { return std::isfinite (s); });
    }
    transport.setSource (nullptr);
    return finite;
}
} // namespace

TEST (HostileFiles, EveryReaderRefusesThemOrGivesFiniteValues)
{
    TempFolder folder;
    const auto pcm = fmt (1, 44100, 16), audio = chunk ("data", juce::MemoryBlock (6000, true));
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    juce::MemoryBlock rf64Sizes (28, true); // RIFF size 2^63 - 1, data size 6000
    rf64Sizes.copyFrom ("\xff\xff\xff\xff\xff\xff\xff\x7f\x70\x17", 0, 10);
    const struct { const char* name; juce::MemoryBlock bytes; bool plays, measures; } cases[] = {
        { "cut in a label list after its audio.wav", riff ({ pcm, audio, chunk ("LIST", {}, 0xfffffff0), { "adtl", 4 } }), true, true },
        { "a label list of empty items.wav", riff ({ pcm, audio, chunk ("LIST", { "adtl\0\0\0\0\0\0\0\0", 12 }, 0x7ffffff0) }), true, true },
        { "a bext chunk of 4 GB.wav", riff ({ chunk ("bext", {}, 0xfffffff0), pcm, audio }), false, false },
        { "32768 channels.wav", riff ({ fmt ((short) 0x8000, 44100, 16), audio }), false, false },
        { "65535 channels.wav", riff ({ fmt (-1, 44100, 16), audio }), false, false },
        { "3000 channels.wav", riff ({ fmt (3000, 44100, 16, 1, 44100 * 6000), audio }), false, false },
        { "rate -1 and 65535 bits.wav", riff ({ fmt (1, -1, -1, 1, std::numeric_limits<int>::min()), audio }), false, false },
        { "12 bits.wav", riff ({ fmt (1, 44100, 12), audio }), false, false },
        { "65535 bits at a 16-bit byte rate.wav", riff ({ fmt (1, 44100, -1, 1, 88200), audio }), false, false },
        { "a rate of 1 Hz.wav", riff ({ fmt (2, 1, 16, 1, 4), audio }), false, false },
        { "an RF64 size of 2^63.wav", riff ({ chunk ("ds64", rf64Sizes), pcm, audio }, "RF64"), true, true },
        { "frames of 7500 bytes.aiff", aiff (2, 30000, 2, 15000), false, false },
        { "32767 channels.aiff", aiff (32767, 16, 1, 65534), false, false },
        { "a short header.wav", { riff ({ pcm, audio }).getData(), 30 }, false, false },
        { "not a number.wav", riff ({ fmt (1, 44100, 32, 3), floats ({ 0.5f, nan, -0.25f }) }), true, false },
        { "infinite.wav", riff ({ fmt (2, 44100, 32, 3), floats ({ 0.5f, inf, -inf, 0.25f }) }), true, false },
        { "fifo.wav", {}, false, false },
        { "8 channels in the header, 2 in the frames.flac", flac ([] (auto& f) { StreamInfo::setChannels (f.bytes, 8); }), false, false },
        { "frames longer than the header's largest.flac", flac ([] (auto& f) { StreamInfo::setMaxBlockSize (f.bytes, 1024); }), false, false },
        { "a largest block of 0 in the header.flac", flac ([] (auto& f) { StreamInfo::setMaxBlockSize (f.bytes, 0); }), false, false },
        { "a frame of one channel in the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (1, 16, 44100, 23040, 1152), 10); }), true, false },
        { "a frame at 48 kHz in the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (2, 16, 48000, 23040, 1152), 10); }), true, false },
        { "a 24-bit frame in the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (2, 24, 44100, 23040, 1152), 10); }), true, false },
        { "a frame of 4608 in the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (2, 16, 44100, 4 * 23040, 4608), 10); }), true, false },
        { "cut in a frame.flac", flac ([] (auto& f) { f.bytes.setSize (f.frameOffsets[10] + 40); }), true, true },
        { "a frame failing its checksum.flac", flac ([] (auto& f) { f.bytes[f.frameOffsets[10] + 300] ^= 0x55; }), true, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = folder / c.name;
        ASSERT_TRUE (c.bytes.isEmpty() ? ::mkfifo (file.getFullPathName().toRawUTF8(), 0600) == 0 : writeBytes (file, c.bytes).existsAsFile());

        double rate = 0.0; int bits = 0; juce::String isrc;
        AudioConverter::getFileInfo (file, rate, bits, isrc);

        const auto reader = PreviewScan::createReader (file);
        EXPECT_EQ (reader != nullptr, c.plays);
        if (reader != nullptr)
        {
            const auto scan = PreviewScan::scan (*reader, file.getSize(), {});
            EXPECT_TRUE (scan.completed && std::isfinite (scan.peak) && scan.peak <= 1.0f);
            EXPECT_TRUE (std::all_of (scan.bins.begin(), scan.bins.end(), [] (float b) { return b >= 0.0f && b <= 1.0f; }));
            EXPECT_TRUE (playsFiniteAndSeeks (PreviewScan::createReader (file).release()));
        }

        const auto loudness = LoudnessMeasurement::measureFile (file, {});
        ASSERT_TRUE (loudness.has_value());
        EXPECT_EQ (! loudness->isError(), c.measures) << loudness->lufs << " LUFS " << loudness->truePeak << " dBTP";
        EXPECT_FALSE (std::isnan (loudness->lufs) || std::isnan (loudness->truePeak) || loudness->truePeak == inf);
    }
}
