#pragma once

#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

namespace tarsio::test
{
// A short mono WAV written by the framework's own writer, with the given metadata.
inline juce::File writeWavFile (const juce::File& file, double sampleRate, int bitsPerSample,
                                const juce::StringPairArray& metadata = {})
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file),
                                                                          sampleRate, 1, bitsPerSample, metadata, 0));
    juce::AudioBuffer<float> tone (1, 64);
    for (int i = 0; i < tone.getNumSamples(); ++i)
        tone.setSample (0, i, 0.25f * (float) std::sin (i * 0.3));
    writer->writeFromAudioSampleBuffer (tone, 0, tone.getNumSamples());
    return file;
}

// An ISRC stored the way most tools store it: the "ISRC" item of the LIST/INFO chunk. The empty
// broadcast-XML key keeps the writer from also putting it into an axml chunk, which takes only
// exactly twelve characters.
inline juce::StringPairArray infoListIsrc (const juce::String& value)
{
    juce::StringPairArray metadata;
    metadata.set (juce::WavAudioFormat::riffInfoSource, value);
    metadata.set (juce::WavAudioFormat::internationalStandardRecordingCode, "");
    return metadata;
}

// An ISRC stored in the broadcast "axml" chunk (EBU Core XML) only.
inline juce::StringPairArray axmlIsrc (const juce::String& value)
{
    juce::StringPairArray metadata;
    metadata.set (juce::WavAudioFormat::internationalStandardRecordingCode, value);
    return metadata;
}

//==============================================================================
// Hand-built RIFF pieces, for files the framework's writer does not make.
inline juce::MemoryBlock chunkHeader (const char* id, juce::uint32 declaredSize)
{
    juce::MemoryOutputStream out;
    out.write (id, 4);
    out.writeInt ((int) declaredSize);
    return out.getMemoryBlock();
}

// A chunk with its true size and, after an odd body, its pad byte.
inline juce::MemoryBlock chunk (const char* id, const juce::MemoryBlock& body)
{
    juce::MemoryOutputStream out;
    out << chunkHeader (id, (juce::uint32) body.getSize()) << body;
    if ((body.getSize() & 1) != 0)
        out.writeByte (0);
    return out.getMemoryBlock();
}

inline juce::MemoryBlock fmtBody (int channels, int sampleRate, int bitsPerSample, int formatTag = 1,
                                  std::optional<int> bytesPerSecond = std::nullopt)
{
    juce::MemoryOutputStream out;
    out.writeShort ((short) formatTag);
    out.writeShort ((short) channels);
    out.writeInt (sampleRate);
    out.writeInt (bytesPerSecond.value_or (sampleRate * channels * bitsPerSample / 8));
    out.writeShort ((short) (channels * bitsPerSample / 8));
    out.writeShort ((short) bitsPerSample);
    return out.getMemoryBlock();
}

inline juce::MemoryBlock bytes (const char* text, size_t size)
{
    return juce::MemoryBlock (text, size);
}

// A LIST/INFO chunk from items given as id and value; each value is stored with its terminating
// zero, so its size is odd whenever the text's length is even, followed by a pad byte.
inline juce::MemoryBlock infoList (std::initializer_list<std::pair<const char*, const char*>> items)
{
    juce::MemoryOutputStream body;
    body.write ("INFO", 4);
    for (const auto& [id, value] : items)
        body << chunk (id, bytes (value, std::strlen (value) + 1));
    return chunk ("LIST", body.getMemoryBlock());
}

// "RIFF" with the size its chunks make (or declaredSize), "WAVE" and the chunks.
inline juce::MemoryBlock riff (std::initializer_list<juce::MemoryBlock> chunks, juce::int64 declaredSize = -1)
{
    juce::MemoryOutputStream body;
    for (const auto& c : chunks)
        body << c;

    juce::MemoryOutputStream out;
    out << chunkHeader ("RIFF", (juce::uint32) (declaredSize >= 0 ? declaredSize : (juce::int64) body.getDataSize() + 4));
    out.write ("WAVE", 4);
    out << body.getMemoryBlock();
    return out.getMemoryBlock();
}

inline juce::File writeBytesTo (const juce::File& file, const juce::MemoryBlock& content)
{
    file.replaceWithData (content.getData(), content.getSize());
    return file;
}
} // namespace tarsio::test
