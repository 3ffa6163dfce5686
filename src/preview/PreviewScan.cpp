#include "preview/PreviewScan.h"

#include "audio/AudioFileOpening.h"

#include <algorithm>
#include <cmath>

namespace PreviewScan
{
std::unique_ptr<juce::AudioFormatReader> createReader (const std::string& path)
{
    return AudioFileOpening::createReader (path);
}

std::unique_ptr<juce::AudioFormatReader> createReader (const juce::File& file)
{
    return AudioFileOpening::createReader (file);
}

int blockFramesFor (int numChannels)
{
    const int bytesPerFrame = (int) sizeof (float) * juce::jmax (1, numChannels);
    return juce::jlimit (1, 65536, kBlockBytes / bytesPerFrame);
}

namespace
{
    // Index of the first sample above the audible level, or -1.
    int firstAudible (const float* samples, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
            if (std::abs (samples[i]) > kAudibleLevel)
                return i;
        return -1;
    }
}

Result scan (juce::AudioFormatReader& reader, juce::int64 fileBytes, const std::function<bool()>& shouldStop,
             int blockFrames)
{
    Result result;
    const int numChannels = (int) reader.numChannels;
    const juce::int64 length = AudioFileOpening::readableLength (reader, fileBytes);

    if (numChannels <= 0 || length <= 0)
    {
        result.completed = true;
        return result;
    }

    if (blockFrames <= 0)
        blockFrames = blockFramesFor (numChannels);

    // Reads never cross a bin's edge, so a failed read costs only its own bin, as when each bin was read alone.
    const juce::int64 binFrames = length / kWaveformBins;
    const juce::int64 binnedEnd = binFrames * kWaveformBins;
    std::vector<float> binPeaks (binFrames > 0 ? (size_t) kWaveformBins : 0, 0.0f);
    std::vector<bool> binReadable (binPeaks.size(), true);

    juce::AudioBuffer<float> block (numChannels, blockFrames);
    bool foundStart = false;

    for (juce::int64 position = 0; position < length;)
    {
        if (shouldStop && shouldStop())
            return result;

        const juce::int64 bin = position < binnedEnd ? position / binFrames : -1;
        const juce::int64 end = juce::jmin (position + blockFrames, bin >= 0 ? (bin + 1) * binFrames : length);
        const int n = (int) (end - position);

        // A failed read counts as silence, as a short read past the real data does.
        if (! reader.read (&block, 0, n, position, true, true))
        {
            block.clear();
            if (bin >= 0)
                binReadable[(size_t) bin] = false;
        }

        silenceNonFinite (block, 0, n);

        float blockPeak = 0.0f;
        for (int ch = 0; ch < numChannels; ++ch)
        {
            // Each channel is searched only up to the earliest audible frame found so far.
            const juce::int64 limit = foundStart ? juce::jmin ((juce::int64) n, result.startFrame - position)
                                                 : (juce::int64) n;
            if (limit > 0)
            {
                const int hit = firstAudible (block.getReadPointer (ch), (int) limit);
                if (hit >= 0)
                {
                    result.startFrame = position + hit;
                    foundStart = true;
                }
            }

            blockPeak = juce::jmax (blockPeak, block.getMagnitude (ch, 0, n));
        }

        result.peak = juce::jmax (result.peak, blockPeak);
        if (bin >= 0)
            binPeaks[(size_t) bin] = juce::jmax (binPeaks[(size_t) bin], blockPeak);
        position = end;
    }

    for (size_t i = 0; i < binPeaks.size(); ++i)
        if (binReadable[i])
            result.bins.push_back (binPeaks[i]);

    // Drawn relative to the loudest bin; a near-silent file shows none.
    const auto loudest = result.bins.empty() ? 0.0f : *std::max_element (result.bins.begin(), result.bins.end());
    if (loudest > kSilencePeak)
        for (auto& peak : result.bins)
            peak /= loudest;
    else
        result.bins.clear();

    result.completed = true;
    return result;
}

void silenceNonFinite (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        auto* samples = buffer.getWritePointer (ch, startSample);
        for (int i = 0; i < numSamples; ++i)
            if (! std::isfinite (samples[i]))
                samples[i] = 0.0f;
    }
}

float gainForPeak (float peak) noexcept
{
    return peak > kSilencePeak ? 1.0f / peak : 1.0f;
}
}
