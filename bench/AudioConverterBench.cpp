// The ISRC panel reads each file's information on the message thread while it takes files in:
// the time must not grow with the length of the audio.
#include "analysis/AudioConverter.h"

#include <benchmark/benchmark.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <unistd.h>

namespace
{
// A WAV whose data chunk holds dataBytes (left sparse on disk), with an ISRC after the data.
juce::File writeLongWav (const juce::File& file, juce::uint32 dataBytes)
{
    juce::MemoryOutputStream fmt;
    fmt.writeShort (1);
    fmt.writeShort (2);
    fmt.writeInt (48000);
    fmt.writeInt (48000 * 6);
    fmt.writeShort (6);
    fmt.writeShort (24);

    const char isrc[] = "ISRC\x10\0\0\0US-ABC-12-34567\0";
    const auto riffSize = 4 + 8 + 16 + 8 + (juce::int64) dataBytes + 12 + (juce::int64) sizeof (isrc) - 1;

    juce::MemoryOutputStream head;
    head.write ("RIFF", 4);
    head.writeInt ((int) riffSize);
    head.write ("WAVEfmt ", 8);
    head.writeInt (16);
    head << fmt.getMemoryBlock();
    head.write ("data", 4);
    head.writeInt ((int) dataBytes);
    file.replaceWithData (head.getData(), head.getDataSize());

    const auto dataEnd = (juce::int64) head.getDataSize() + dataBytes;
    if (::truncate (file.getFullPathName().toRawUTF8(), (off_t) dataEnd) != 0)
        return {};

    juce::FileOutputStream tail (file);
    tail.setPosition (dataEnd);
    tail.write ("LIST", 4);
    tail.writeInt (4 + (int) sizeof (isrc) - 1);
    tail.write ("INFO", 4);
    tail.write (isrc, sizeof (isrc) - 1);
    return file;
}

void BM_GetFileInfo (benchmark::State& state)
{
    const auto folder = juce::File::createTempFile ("isrc-bench");
    folder.createDirectory();
    const auto file = writeLongWav (folder.getChildFile ("long.wav"), (juce::uint32) state.range (0));

    for (auto _ : state)
    {
        double sampleRate = 0.0;
        int bits = 0;
        juce::String isrc;
        AudioConverter::getFileInfo (file, sampleRate, bits, isrc);
        if (isrc != "USABC1234567")
            state.SkipWithError ("ISRC not read");
        benchmark::DoNotOptimize (sampleRate);
    }

    folder.deleteRecursively();
}
} // namespace

// 6 bytes per frame: from about a second to about 4 hours of 48 kHz stereo 24-bit audio.
BENCHMARK (BM_GetFileInfo)->Arg (6 * 48000)->Arg (6 * 48000 * 600)->Arg (0xF0000000)->Unit (benchmark::kMicrosecond);
