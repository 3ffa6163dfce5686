#include "analysis/AudioConverter.h"
#include "analysis/WavFileSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarsio::test;

namespace
{
struct FileInfo
{
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    juce::String isrc;
};

FileInfo readInfo (const juce::File& file, FileInfo start = {})
{
    AudioConverter::getFileInfo (file, start.sampleRate, start.bitsPerSample, start.isrc);
    return start;
}

// The content with the four bytes at offset replaced by id.
juce::MemoryBlock renamed (juce::MemoryBlock content, size_t offset, const char* id)
{
    content.copyFrom (id, (int) offset, 4);
    return content;
}

// Built when a test runs: the framework's streams must not exist before it is set up.
juce::MemoryBlock pcm16Mono44k() { return chunk ("fmt ", fmtBody (1, 44100, 16)); }
juce::MemoryBlock twoFrames()    { return chunk ("data", bytes ("\1\0\2\0", 4)); }
} // namespace

TEST (AudioConverter, ReadsTheRateAndDepthOfTheHeader)
{
    TempFolder folder;
    const struct { double rate; int bits; } formats[] = { { 48000, 16 }, { 44100, 24 }, { 22050, 8 }, { 88200, 24 },
                                                          { 96000, 32 } };

    for (const auto& f : formats)
    {
        const auto info = readInfo (writeWavFile (folder / "tone.wav", f.rate, f.bits));
        EXPECT_EQ (info.sampleRate, f.rate);
        EXPECT_EQ (info.bitsPerSample, f.bits);
        EXPECT_EQ (info.isrc, "") << "no ISRC stored";
    }
}

TEST (AudioConverter, AnIsrcKeepsOnlyCapitalLettersAndDigits)
{
    TempFolder folder;
    const auto file = folder / "tone.wav";

    EXPECT_EQ (readInfo (writeWavFile (file, 44100, 16, infoListIsrc ("US-ABC-12-34567"))).isrc, "USABC1234567");
    EXPECT_EQ (readInfo (writeWavFile (file, 44100, 16, infoListIsrc ("usabc1234567"))).isrc, "1234567");
    EXPECT_EQ (readInfo (writeWavFile (file, 44100, 16, infoListIsrc ("FR Z03 98 00212"))).isrc, "FRZ039800212");
    EXPECT_EQ (readInfo (writeWavFile (file, 44100, 16, infoListIsrc ("us-abc"))).isrc, "");
}

TEST (AudioConverter, FindsTheIsrcOfTheBroadcastXmlChunk)
{
    TempFolder folder;
    const auto file = writeWavFile (folder / "tone.wav", 48000, 24, axmlIsrc ("GBAYE0601498"));
    const auto info = readInfo (file);
    EXPECT_EQ (info.isrc, "GBAYE0601498");
    EXPECT_EQ (info.sampleRate, 48000.0);
}

TEST (AudioConverter, FindsTheIsrcWhereverOtherToolsPutIt)
{
    TempFolder folder;

    // Items with an odd size followed by a pad byte, as the RIFF rules have them; the ISRC comes
    // after such an item.
    const auto padded = riff ({ pcm16Mono44k(),
                                infoList ({ { "INAM", "Kick" }, { "ISRC", "USABC1234567" }, { "ISFT", "Rec" } }),
                                twoFrames() });
    EXPECT_EQ (readInfo (writeBytesTo (folder / "padded.wav", padded)).isrc, "USABC1234567");

    // The metadata after the audio data, behind a list of cue labels.
    juce::MemoryOutputStream labels;
    labels.write ("adtl", 4);
    labels << chunk ("labl", bytes ("\1\0\0\0Verse\0", 10));
    const auto trailing = riff ({ pcm16Mono44k(), twoFrames(), chunk ("LIST", labels.getMemoryBlock()),
                                  infoList ({ { "ISRC", "FRZ039800212" } }) });
    EXPECT_EQ (readInfo (writeBytesTo (folder / "trailing.wav", trailing)).isrc, "FRZ039800212");

    // Extra bytes after the RIFF (an appended tag) are not walked.
    auto tagged = trailing;
    tagged.append ("TAG\xff\xff\xff\xff", 7);
    EXPECT_EQ (readInfo (writeBytesTo (folder / "tagged.wav", tagged)).sampleRate, 44100.0);
}

TEST (AudioConverter, ReadsAnRF64Header)
{
    TempFolder folder;
    juce::MemoryOutputStream ds64;
    const auto info = infoList ({ { "ISRC", "DEA123456789" } });
    const juce::int64 riffSize = 4 + 44 + (juce::int64) pcm16Mono44k().getSize() + 12 + (juce::int64) info.getSize();
    ds64.writeInt64 (riffSize);
    ds64.writeInt64 (4); // data bytes
    ds64.writeInt64 (2); // frames
    ds64.writeInt (0);   // no table

    juce::MemoryOutputStream out;
    out << chunkHeader ("RF64", 0xffffffff);
    out.write ("WAVE", 4);
    out << chunk ("ds64", ds64.getMemoryBlock()) << pcm16Mono44k() << chunkHeader ("data", 0xffffffff);
    out.write ("\1\0\2\0", 4);
    out << info;

    const auto read = readInfo (writeBytesTo (folder / "big.wav", out.getMemoryBlock()));
    EXPECT_EQ (read.sampleRate, 44100.0);
    EXPECT_EQ (read.bitsPerSample, 16);
    EXPECT_EQ (read.isrc, "DEA123456789");
}

// Whatever the file holds, the reader returns and leaves what it was given alone.
TEST (AudioConverter, AnUnreadableFileLeavesTheOutputsAsTheyWere)
{
    TempFolder folder;
    const FileInfo before { 1.0, 3, "BEFORE" };

    const auto good = riff ({ pcm16Mono44k(), infoList ({ { "ISRC", "USABC1234567" } }), twoFrames() });
    const auto half = juce::MemoryBlock (good.getData(), good.getSize() / 2);

    const struct { const char* what; juce::MemoryBlock content; } cases[] = {
        { "empty", {} },
        { "text", bytes ("not audio at all", 16) },
        { "RIFF header only", bytes ("RIFF\4\0\0\0WAVE", 12) },
        { "not WAVE", renamed (riff ({ pcm16Mono44k(), twoFrames() }), 8, "AVI ") },
        { "cut in half", half },
        { "no data chunk", riff ({ pcm16Mono44k(), infoList ({ { "ISRC", "USABC1234567" } }) }) },
        { "no format chunk", riff ({ infoList ({ { "ISRC", "USABC1234567" } }), twoFrames() }) },
        { "format chunk too short", riff ({ chunk ("fmt ", bytes ("\1\0\1\0\x44\xac\0\0", 8)), twoFrames() }) },
        { "data longer than the file", riff ({ pcm16Mono44k(), chunkHeader ("data", 0xfffffff0), bytes ("\1\0", 2) }) },
        { "huge extension chunk", riff ({ chunkHeader ("bext", 0xfffffff0), pcm16Mono44k(), twoFrames() }) },
        { "huge format chunk", riff ({ chunkHeader ("fmt ", 0x7ffffff0), twoFrames() }) },
        { "label list cut off", riff ({ pcm16Mono44k(), twoFrames(), chunkHeader ("LIST", 0x100000), bytes ("adtl", 4) }) },
        { "rate of -1 with an impossible depth",
          riff ({ chunk ("fmt ", fmtBody (1, -1, 65535, 1, std::numeric_limits<int>::min())), twoFrames() }) },
        { "no channels", riff ({ chunk ("fmt ", fmtBody (0, 44100, 16)), twoFrames() }) },
        { "negative channel count", riff ({ chunk ("fmt ", fmtBody (-2, 44100, 16, 0xfffe, 176400)), twoFrames() }) },
        { "zero rate", riff ({ chunk ("fmt ", fmtBody (1, 0, 16)), twoFrames() }) },
        { "depth over 32 bits", riff ({ chunk ("fmt ", fmtBody (1, 44100, 48)), twoFrames() }) },
        { "RF64 without ds64", renamed (riff ({ pcm16Mono44k(), twoFrames() }), 0, "RF64") },
    };

    for (const auto& c : cases)
    {
        const auto read = readInfo (writeBytesTo (folder / "damaged.wav", c.content), before);
        EXPECT_EQ (read.sampleRate, 1.0) << c.what;
        EXPECT_EQ (read.bitsPerSample, 3) << c.what;
        EXPECT_EQ (read.isrc, "BEFORE") << c.what;
    }
}

TEST (AudioConverter, WhatIsNoRegularFileIsNotOpened)
{
    TempFolder folder;
    const FileInfo before { 1.0, 3, "BEFORE" };

    // Opening a FIFO would wait for a writer forever.
    const auto fifo = folder / "pipe.wav";
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);
    const auto folderNamedWav = folder / "folder.wav";
    ASSERT_TRUE (folderNamedWav.createDirectory());

    for (const auto& file : { fifo, folderNamedWav, folder / "missing.wav" })
    {
        const auto read = readInfo (file, before);
        EXPECT_EQ (read.sampleRate, 1.0) << file.getFileName();
        EXPECT_EQ (read.isrc, "BEFORE") << file.getFileName();
    }
}
