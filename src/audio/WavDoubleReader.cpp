#include "audio/WavDoubleReader.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{
// Frames read from the file at a time, whatever the channel count (at most 64 channels: 4 MB).
constexpr int kBlockFrames = 8192;

void putShort (char* at, int value) noexcept { at[0] = (char) value; at[1] = (char) (value >> 8); }
void putInt (char* at, juce::int64 value) noexcept
{
    for (int i = 0; i < 4; ++i)
        at[i] = (char) (value >> (8 * i));
}
} // namespace

bool WavDoubleReader::narrowFormat (juce::MemoryBlock& headerImage)
{
    // The image is "RIFF", its size, "WAVE", then whole chunks, each padded to an even size.
    auto* bytes = static_cast<char*> (headerImage.getData());
    const auto size = headerImage.getSize();

    for (size_t pos = 12; pos + 8 <= size;)
    {
        const auto chunkSize = (size_t) juce::ByteOrder::littleEndianInt (bytes + pos + 4);
        char* body = bytes + pos + 8;
        if (chunkSize > size - pos - 8)
            return false;

        if (std::memcmp (bytes + pos, "fmt ", 4) == 0)
        {
            if (chunkSize < 16)
                return false;
            const auto tag = juce::ByteOrder::littleEndianShort (body), channels = juce::ByteOrder::littleEndianShort (body + 2);
            const bool extensibleFloat = tag == 0xfffe && chunkSize >= 40 && juce::ByteOrder::littleEndianInt (body + 24) == 3;
            if (juce::ByteOrder::littleEndianShort (body + 14) != 64 || (tag != 3 && ! extensibleFloat))
                return false;

            putInt (body + 8, (juce::int64) juce::ByteOrder::littleEndianInt (body + 4) * channels * 4);
            putShort (body + 12, channels * 4);
            putShort (body + 14, 32);
            if (extensibleFloat)
                putShort (body + 18, 32);
            return true;
        }
        pos += 8 + chunkSize + (chunkSize & 1);
    }
    return false;
}

WavDoubleReader::WavDoubleReader (const juce::AudioFormatReader& header, std::unique_ptr<juce::InputStream> file,
                                  WavHeaderCopy::DataRegion data)
    : juce::AudioFormatReader (file.release(), header.getFormatName()), dataOffset (data.offset)
{
    sampleRate = header.sampleRate;
    numChannels = header.numChannels;
    bitsPerSample = 64;
    usesFloatingPointData = true;
    metadataValues = header.metadataValues;
    lengthInSamples = numChannels > 0 ? data.length / ((juce::int64) numChannels * 8) : 0;
    block.malloc ((size_t) kBlockFrames * numChannels * 8);
}

bool WavDoubleReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                   juce::int64 startSampleInFile, int numSamples)
{
    const auto frameBytes = (int) numChannels * 8;
    bool complete = true;

    while (numSamples > 0)
    {
        const int n = std::min (numSamples, kBlockFrames);
        int got = 0;

        if (startSampleInFile >= 0 && startSampleInFile < lengthInSamples)
        {
            const auto wanted = (int) std::min ((juce::int64) n, lengthInSamples - startSampleInFile);
            if (input->setPosition (dataOffset + startSampleInFile * frameBytes))
                got = std::max (0, input->read (block, wanted * frameBytes)) / frameBytes;
            complete = complete && got == wanted;
        }

        for (int c = 0; c < numDestChannels; ++c)
        {
            if (destChannels[c] == nullptr)
                continue;

            auto* out = reinterpret_cast<float*> (destChannels[c]) + startOffsetInDestBuffer;
            for (int i = 0; i < n; ++i)
            {
                double value = 0.0;
                if (i < got && c < (int) numChannels)
                {
                    auto bits = juce::ByteOrder::littleEndianInt64 (block + (size_t) i * (size_t) frameBytes + (size_t) c * 8);
                    std::memcpy (&value, &bits, sizeof (value));
                }
                // Beyond float's range is infinite, which the preview and the loudness treat as damage.
                out[i] = std::isnan (value) || std::abs (value) <= FLT_MAX ? (float) value : (value > 0 ? INFINITY : -INFINITY);
            }
        }

        startOffsetInDestBuffer += n;
        startSampleInFile += n;
        numSamples -= n;
    }

    return complete;
}
