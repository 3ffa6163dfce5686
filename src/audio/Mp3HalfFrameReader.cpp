#include "audio/Mp3HalfFrameReader.h"

#include <algorithm>

namespace
{
constexpr int kScratchFrames = 1152;
} // namespace

Mp3HalfFrameReader::Mp3HalfFrameReader (std::unique_ptr<juce::AudioFormatReader> mp3Reader)
    : juce::AudioFormatReader (nullptr, mp3Reader->getFormatName()),
      source (std::move (mp3Reader)),
      scratch ((size_t) kScratchFrames * 2)
{
    sampleRate = source->sampleRate;
    bitsPerSample = source->bitsPerSample;
    usesFloatingPointData = source->usesFloatingPointData;
    numChannels = source->numChannels;
    // JUCE counts the frames (from the VBR header, or the file's size) times 1,152.
    lengthInSamples = source->lengthInSamples / 2;
    metadataValues = source->metadataValues;
}

Mp3HalfFrameReader::~Mp3HalfFrameReader() = default;

bool Mp3HalfFrameReader::skipTo (juce::int64 frame)
{
    if (frame < sourcePosition)
    {
        // Back to the first frame (JUCE seeks there exactly), then on from there.
        sourcePosition = 0;
        sourceEnded = false;
    }

    float* channels[] = { scratch.data(), scratch.data() + kScratchFrames };

    while (sourcePosition < frame && ! sourceEnded)
    {
        const int n = (int) std::min ((juce::int64) kScratchFrames, frame - sourcePosition);
        sourceEnded = ! source->readSamples (reinterpret_cast<int* const*> (channels), 2, 0, sourcePosition, n);
        sourcePosition += n;
    }

    return ! sourceEnded;
}

bool Mp3HalfFrameReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                      juce::int64 startSampleInFile, int numSamples)
{
    const auto clear = [&] (int offset, int count)
    {
        for (int c = 0; c < numDestChannels; ++c)
            if (destChannels[c] != nullptr)
                std::fill_n (destChannels[c] + offset, count, 0);
    };

    if (numSamples <= 0)
        return true;

    if (! skipTo (startSampleInFile))
    {
        clear (startOffsetInDestBuffer, numSamples);
        return false;
    }

    // Only ever asked for where it stands, the source never seeks; once out of frames it is not
    // asked again, since it would seek to find the place.
    sourceEnded = ! source->readSamples (destChannels, numDestChannels, startOffsetInDestBuffer, sourcePosition, numSamples);
    sourcePosition += numSamples;
    return ! sourceEnded;
}
