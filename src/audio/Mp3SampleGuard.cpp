#include "audio/Mp3SampleGuard.h"

#include <algorithm>
#include <cmath>

Mp3SampleGuard::Mp3SampleGuard (std::unique_ptr<juce::AudioFormatReader> mp3Reader)
    : juce::AudioFormatReader (nullptr, mp3Reader->getFormatName()),
      source (std::move (mp3Reader))
{
    sampleRate = source->sampleRate;
    bitsPerSample = source->bitsPerSample;
    usesFloatingPointData = source->usesFloatingPointData;
    numChannels = source->numChannels;
    lengthInSamples = source->lengthInSamples;
    metadataValues = source->metadataValues;
}

Mp3SampleGuard::~Mp3SampleGuard() = default;

bool Mp3SampleGuard::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                  juce::int64 startSampleInFile, int numSamples)
{
    const bool read = source->readSamples (destChannels, numDestChannels, startOffsetInDestBuffer, startSampleInFile, numSamples);

    if (! usesFloatingPointData || numSamples <= 0)
        return read;

    const auto damaged = [] (float s) { return ! std::isfinite (s) || std::abs (s) > kMaxMagnitude; };
    bool anyDamaged = false;

    for (int c = 0; c < numDestChannels && ! anyDamaged; ++c)
        if (destChannels[c] != nullptr)
        {
            const auto* samples = reinterpret_cast<const float*> (destChannels[c] + startOffsetInDestBuffer);
            anyDamaged = std::any_of (samples, samples + numSamples, damaged);
        }

    if (anyDamaged)
        for (int c = 0; c < numDestChannels; ++c)
            if (destChannels[c] != nullptr)
                std::fill_n (destChannels[c] + startOffsetInDestBuffer, numSamples, 0);

    return read;
}
