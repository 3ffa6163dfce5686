#include "audio/Mp3HalfFrameReader.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int kScratchFrames = 1152;
// How far past the tag the first frame is looked for, as JUCE's reader skips junk before it.
constexpr int kFrameSearchBytes = 16384;

// The 4-byte frame header at p: sync, a known version, a layer, a bitrate other than "bad" and a
// known rate.
bool isFrameHeader (const juce::uint8* p) noexcept
{
    return p[0] == 0xff && (p[1] & 0xe0) == 0xe0 && ((p[1] >> 3) & 3) != 1 && ((p[1] >> 1) & 3) != 0
        && (p[2] >> 4) != 15 && ((p[2] >> 2) & 3) != 3;
}
} // namespace

bool Mp3HalfFrameReader::holdsHalfFrames (juce::InputStream& mp3Stream)
{
    const auto start = mp3Stream.getPosition();
    juce::uint8 tag[10] = {};
    juce::int64 skip = 0;

    if (mp3Stream.read (tag, 10) == 10 && std::memcmp (tag, "ID3", 3) == 0)
    {
        // The tag's size is stored in 7-bit bytes; a footer adds ten more bytes.
        skip = 10 + (((juce::int64) (tag[6] & 0x7f) << 21) | ((tag[7] & 0x7f) << 14) | ((tag[8] & 0x7f) << 7) | (tag[9] & 0x7f))
             + ((tag[5] & 0x10) != 0 ? 10 : 0);
    }

    juce::uint8 bytes[kFrameSearchBytes] = {};
    const int got = mp3Stream.setPosition (start + skip) ? mp3Stream.read (bytes, kFrameSearchBytes) : 0;
    mp3Stream.setPosition (start);

    for (int i = 0; i + 4 <= got; ++i)
    {
        if (isFrameHeader (bytes + i))
        {
            const int version = (bytes[i + 1] >> 3) & 3, layer = (bytes[i + 1] >> 1) & 3;
            return version != 3 && layer == 1;   // not MPEG-1; Layer III
        }
    }

    return false;
}

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
