#pragma once

// What the loudness and ISRC tests share: WAV files written by the framework or built byte by byte,
// and the loudness panel's rows as a user sees them.
#include "support/TestSupport.h"

#include "analysis/AudioAnalysisComponent.h"
#include "analysis/ISRCListComponent.h"
#include "analysis/LoudnessMeasurement.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <array>

#include <gtest/gtest.h>

namespace tarsio::test
{
using SampleAt = std::function<float (int channel, int frame)>;

// A WAV written by the framework's writer (32 bits are float samples). The layout's speakers make
// the channel mask; a discrete layout writes a plain header without one.
inline juce::File writeWav (const juce::File& file, const juce::AudioChannelSet& layout, double rate, int bits,
                            int frames, const SampleAt& sampleAt, const juce::StringPairArray& metadata = {})
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);
    std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (stream.release(), rate, layout, bits, metadata, 0));
    juce::AudioBuffer<float> samples (layout.size(), frames);
    for (int c = 0; c < layout.size(); ++c)
        for (int i = 0; i < frames; ++i)
            samples.setSample (c, i, sampleAt (c, i));
    writer->writeFromAudioSampleBuffer (samples, 0, frames);
    return file;
}

// Mono and stereo as the framework writes them; more channels without a speaker mask.
inline juce::AudioChannelSet channels (int n) { return n <= 2 ? juce::AudioChannelSet::canonicalChannelSet (n) : juce::AudioChannelSet::discreteChannels (n); }

// A sine at a level in dBFS on the channels listed (on every channel when none is).
inline SampleAt sine (double dbfs, double hz = 997.0, double rate = 48000.0, std::vector<int> on = {})
{
    const auto gain = std::pow (10.0, dbfs / 20.0);
    return [=] (int c, int f) { return on.empty() || std::count (on.begin(), on.end(), c) ? (float) (gain * std::sin (6.283185307179586 * hz * f / rate)) : 0.0f; };
}

// Pink-ish noise (white noise through an economy pinking filter) at a gain, the same on every channel.
inline SampleAt pinkNoise (float gain)
{
    auto state = std::make_shared<std::pair<juce::Random, std::array<float, 3>>>();
    return [=] (int, int f)
    {
        auto& [random, b] = *state;
        if (f == 0)
            *state = { juce::Random (1), {} };
        const float white = random.nextFloat() * 2.0f - 1.0f;
        b = { 0.99765f * b[0] + white * 0.099046f, 0.963f * b[1] + white * 0.2965164f, 0.57f * b[2] + white * 1.0526913f };
        return gain * (b[0] + b[1] + b[2] + white * 0.1848f) / 3.0f;
    };
}

// Two minutes of stereo: long enough that a stop request lands mid-file.
inline juce::File longWav (const juce::File& file) { return writeWav (file, channels (2), 48000.0, 16, 5760000, sine (-6.0)); }


// Hand-built RIFF: a chunk with its body and pad byte, under its true size or any size declared.
inline juce::MemoryBlock chunk (const char* id, const juce::MemoryBlock& body, juce::int64 declaredSize = -1)
{
    const auto size = juce::ByteOrder::swapIfBigEndian ((juce::uint32) (declaredSize >= 0 ? declaredSize : (juce::int64) body.getSize()));
    juce::MemoryBlock out (id, 4);
    for (const auto& [bytes, count] : std::vector<std::pair<const void*, size_t>> { { &size, 4 }, { body.getData(), body.getSize() }, { "", body.getSize() & 1 } })
        out.append (bytes, count);
    return out;
}

inline juce::MemoryBlock riff (std::initializer_list<juce::MemoryBlock> chunks, const char* id = "RIFF")
{
    juce::MemoryBlock body ("WAVE", 4);
    for (const auto& c : chunks)
        body.append (c.getData(), c.getSize());
    return chunk (id, body);
}

// A "fmt " chunk of any values, sane or not (tag 1 integer PCM, 3 float, 0xfffe extensible).
inline juce::MemoryBlock fmt (short channels, int rate, short bits, short tag = 1, int bytesPerSecond = 88200)
{
    const short align = (short) (channels * bits / 8);
    juce::MemoryBlock body;
    for (const auto& [field, size] : std::vector<std::pair<const void*, size_t>> { { &tag, 2 }, { &channels, 2 }, { &rate, 4 }, { &bytesPerSecond, 4 }, { &align, 2 }, { &bits, 2 } })
        body.append (field, size);
    return chunk ("fmt ", body);
}

inline juce::File writeBytes (const juce::File& file, const juce::MemoryBlock& bytes) { file.replaceWithData (bytes.getData(), bytes.getSize()); return file; }


// What the loudness panel's row at index shows, "-" while the row is out of view.
inline juce::String shown (AudioAnalysisComponent& panel, int index)
{
    auto* row = panel.shownRow (index);
    return row == nullptr ? "-" : row->nameLabel.getText() + "|" + row->lufsLabel.getText() + "|" + row->truePeakLabel.getText();
}
} // namespace tarsio::test
