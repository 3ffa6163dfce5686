#pragma once

#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <functional>

namespace tarsio::test
{
// Sample value of one channel at one frame.
using SampleAt = std::function<float (int channel, juce::int64 frame)>;

// Writes a WAV file with JUCE's own writer (32 bits are float samples), generated in blocks so that
// long files need little memory. Returns whether the writer took the format.
inline bool writeWav (const juce::File& file, int channels, double rate, int bits, juce::int64 frames,
                      const SampleAt& sampleAt)
{
    file.deleteFile();
    auto stream = file.createOutputStream();
    if (stream == nullptr)
        return false;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), rate, (unsigned int) channels,
                                                                          bits, {}, 0));
    if (writer == nullptr)
        return false;
    stream.release();

    constexpr int blockFrames = 16384;
    juce::AudioBuffer<float> block (channels, blockFrames);
    for (juce::int64 start = 0; start < frames; start += blockFrames)
    {
        const int count = (int) std::min ((juce::int64) blockFrames, frames - start);
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < count; ++i)
                block.setSample (c, i, sampleAt (c, start + i));
        if (! writer->writeFromAudioSampleBuffer (block, 0, count))
            return false;
    }
    return true;
}

// A sine of the given peak amplitude, the same on every channel.
inline SampleAt sine (double amplitude, double hz, double rate)
{
    return [=] (int, juce::int64 frame)
    {
        return (float) (amplitude * std::sin (juce::MathConstants<double>::twoPi * hz * (double) frame / rate));
    };
}

inline SampleAt silence()
{
    return [] (int, juce::int64) { return 0.0f; };
}

// Long enough that a stop request lands mid-file: two minutes of stereo at 48 kHz take about a
// second to measure in a Debug build.
constexpr juce::int64 kLongFrames = 2 * 60 * 48000;

inline double dbToGain (double db) { return std::pow (10.0, db / 20.0); }
} // namespace tarsio::test
