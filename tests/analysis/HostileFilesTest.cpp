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
// An AIFF file of any channel count and sample size (44.1 kHz), big-endian as the format is, with
// any chunks (whole, headers included) between COMM and SSND.
juce::MemoryBlock aiff (short channels, short bits, int frames, int dataBytes, const juce::MemoryBlock& chunks = {})
{
    juce::MemoryOutputStream out;
    out.write ("FORM", 4); out.writeIntBigEndian (4 + 26 + (int) chunks.getSize() + 16 + dataBytes); out.write ("AIFFCOMM", 8); out.writeIntBigEndian (18);
    out.writeShortBigEndian (channels); out.writeIntBigEndian (frames); out.writeShortBigEndian (bits);
    out.write ("\x40\x0e\xac\x44\0\0\0\0\0\0", 10);
    out << chunks;
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
// the middle, as a click on the waveform seeks: true when every sample is a finite number within
// full scale (the reader's own; no gain here).
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
            finite = finite && std::all_of (block.getReadPointer (c), block.getReadPointer (c) + 1024, [] (float s) { return std::abs (s) <= 1.0f; });
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
    const auto axml = [&] (const juce::String& xml) { return riff ({ pcm, chunk ("axml", { xml.toRawUTF8(), xml.getNumBytesAsUTF8() }), audio }); };
    juce::MemoryBlock extensible (40, true); // 2054 channels, every speaker in the mask
    extensible.copyFrom ("\xfe\xff\x06\x08\x44\xac\0\0\0\0\0\0\0\0\x10\0\x16\0\x10\0\xff\xff\xff\xff\x01\0\0\0\0\0\x10\0", 0, 32);
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
        { "2054 speakers.wav", riff ({ chunk ("fmt ", extensible), audio }), false, false },
        { "an axml 300,000 elements deep.wav", axml (juce::String::repeatedString ("<a>", 300000)), true, true },
        { "an axml tag name of digits.wav", axml ("<ebucore:ebuCoreMain><1a/></ebucore:ebuCoreMain>"), true, true },
        { "an axml ending in a tag's opening.wav", axml ("<a><"), true, true },
        { "an axml entity holding a tag name of digits.wav", axml ("<!DOCTYPE a [<!ENTITY x \"<1b/>\">]><a>&x;</a>"), true, true },
        { "an axml tag name of a dash after a declaration.wav", axml ("<<?xml version=\"1.0\"?>-a>"), true, true },
        { "an axml tag name in other letter case.wav", axml ("<ebucore:ebuCoreMain><ebucore:COREMetadata/></ebucore:ebuCoreMain>"), true, true },
        { "an axml attribute name of digits.wav", axml ("<a 1b=\"c\"/>"), true, true },
        { "an axml cut in a UTF-8 character.wav", riff ({ pcm, chunk ("axml", { "<a>\xf8", 4 }), audio }), true, true },
        { "frames of 7500 bytes.aiff", aiff (2, 30000, 2, 15000), false, false },
        { "a length of -5 frames.aiff", aiff (2, 16, -5, 4000), false, false },
        { "a marker name that is not UTF-8.aiff", aiff (2, 16, 1000, 4000, { "MARK\0\0\0\x0a\0\x01\0\x01\0\0\0\0\x01\xf8", 18 }), true, true },
        { "an INST chunk of 4 GB.aiff", aiff (2, 16, 1000, 4000, { "INST\xff\xff\xff\xf0", 8 }), false, false },
        { "32767 channels.aiff", aiff (32767, 16, 1, 65534), false, false },
        { "a short header.wav", { riff ({ pcm, audio }).getData(), 30 }, false, false },
        { "not a number.wav", riff ({ fmt (1, 44100, 32, 3), floats ({ 0.5f, nan, -0.25f }) }), true, false },
        { "infinite.wav", riff ({ fmt (2, 44100, 32, 3), floats ({ 0.5f, inf, -inf, 0.25f }) }), true, false },
        { "fifo.wav", {}, false, false },
        { "8 channels in the header, 2 in the frames.flac", flac ([] (auto& f) { StreamInfo::setChannels (f.bytes, 8); }), false, false },
        { "frames longer than the header's largest.flac", flac ([] (auto& f) { StreamInfo::setMaxBlockSize (f.bytes, 1024); }), false, false },
        { "a largest block of 0 in the header.flac", flac ([] (auto& f) { StreamInfo::setMaxBlockSize (f.bytes, 0); }), false, false },
        { "a frame of one channel in the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (1, 16, 44100, 23040, 1152), 10); }), true, false },
        { "a frame of one channel just after the middle.flac", flac ([] (auto& f) { spliceFrame (f, encodeFlac (1, 16, 44100, 23040, 1152), 11); }), true, false },
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

// Chunks of odd size, before the format and before the audio, followed by their pad byte or, as
// some writers leave it out, by the next chunk at once: every reader reads the whole file as if they
// were not there (the ISRC too, in a list whose last item's pad is left out).
TEST (OddSizedChunks, EveryReaderReadsThemWithOrWithoutTheirPadByte)
{
    TempFolder folder;
    juce::MemoryBlock tone;
    for (int i = 0; i < 48000; ++i)
    {
        const auto sample = (juce::int16) (9000.0 * std::sin (i * 0.13) * (i % 2 == 0 ? 1.0 : 0.5));
        tone.append (&sample, 2);
    }
    const auto pcm = fmt (2, 48000, 16, 1, 192000), audio = chunk ("data", tone);
    const auto unpadded = [] (juce::MemoryBlock c) { c.setSize (c.getSize() - 1); return c; };
    juce::MemoryBlock items ("INFO", 4);
    items.append (chunk ("ISRC", { "USABC1234567", 13 }).getData(), 8 + 13 + 1);
    const auto evenList = chunk ("LIST", items);
    items.setSize (items.getSize() - 1); // the last item's pad left out
    const auto list = chunk ("LIST", items), junk = chunk ("junk", { "odd", 3 }), bext = chunk ("bext", juce::MemoryBlock (603, true));
    const struct { const char* name; juce::MemoryBlock bytes; } cases[] = {
        { "odd junk first.wav", riff ({ junk, pcm, list, audio }) }, { "odd bext before data.wav", riff ({ pcm, bext, list, audio }) },
        { "odd list before data.wav", riff ({ pcm, list, audio }) }, { "odd junk first, no pad.wav", riff ({ unpadded (junk), pcm, list, audio }) },
        { "odd bext before data, no pad.wav", riff ({ pcm, unpadded (bext), list, audio }) },
        { "odd list before data, no pad.wav", riff ({ pcm, unpadded (list), audio }) },
    };

    // Rate, depth and ISRC; the preview's peak and waveform; loudness and true peak.
    const auto readByAll = [] (const juce::File& file)
    {
        double rate = 0.0; int bits = 0; juce::String isrc;
        AudioConverter::getFileInfo (file, rate, bits, isrc);
        const auto reader = PreviewScan::createReader (file);
        const auto scan = reader == nullptr ? PreviewScan::Result {} : PreviewScan::scan (*reader, file.getSize(), {});
        const auto loudness = LoudnessMeasurement::measureFile (file, {}).value_or (LoudnessResult {});
        return juce::String (rate) + "-" + juce::String (bits) + "|" + isrc + "|" + juce::String (scan.peak) + " " + juce::String ((int) scan.bins.size())
             + "|" + juce::String (loudness.lufs) + " " + juce::String (loudness.truePeak);
    };
    const auto plain = readByAll (writeBytes (folder / "plain.wav", riff ({ pcm, evenList, audio })));
    EXPECT_TRUE (plain.startsWith ("48000-16|USABC1234567|") && ! plain.contains ("-999")) << plain;
    for (const auto& c : cases)
        EXPECT_EQ (readByAll (writeBytes (folder / c.name, c.bytes)), plain) << c.name;
}
