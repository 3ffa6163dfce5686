#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// JUCE 7.0.5's MP3 decoder turns a damaged frame into samples far beyond full scale (tens to
// billions), read as a success: the preview's peak took them, so the whole file played near
// silent, and the loudspeakers got them wherever the preview read differently from its scan.
// No sound stream decodes beyond about twice full scale: a read holding a sample beyond
// kMaxMagnitude (or one not finite) is taken as damage and given as silence, as a failed FLAC read
// is. No UI; one thread at a time.
class Mp3SampleGuard final : public juce::AudioFormatReader
{
public:
    static constexpr float kMaxMagnitude = 2.0f;

    // Takes an MP3 reader (its samples are floats).
    explicit Mp3SampleGuard (std::unique_ptr<juce::AudioFormatReader> mp3Reader);
    ~Mp3SampleGuard() override;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    std::unique_ptr<juce::AudioFormatReader> source;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Mp3SampleGuard)
};
