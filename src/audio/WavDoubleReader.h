#pragma once

#include "audio/WavHeaderCopy.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// WAV files of 64-bit float samples, as DAWs export at their mixing precision. JUCE 7.0.5's WAV
// reader refuses them, so they showed Error in the preview and both panels. The framework still
// parses their header once it is narrowed to 32-bit float (rate, channels, speaker mask, ISRC);
// this reader then gives the samples as they stand in the file, as floats. No UI; one thread at a time.
class WavDoubleReader final : public juce::AudioFormatReader
{
public:
    // When the checked header image (WavHeaderCopy) has a "fmt " chunk of 64-bit IEEE float samples
    // (format tag 3, or the float sub-format of WAVE_FORMAT_EXTENSIBLE), rewrites it in place as
    // 32-bit float and returns true; else leaves it and returns false.
    static bool narrowFormat (juce::MemoryBlock& headerImage);

    // header: the framework's reader of the narrowed image; file: the file's stream, taken; data:
    // where its samples stand.
    WavDoubleReader (const juce::AudioFormatReader& header, std::unique_ptr<juce::InputStream> file,
                     WavHeaderCopy::DataRegion data);

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    const juce::int64 dataOffset;
    juce::HeapBlock<char> block;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WavDoubleReader)
};
