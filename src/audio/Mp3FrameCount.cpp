#include "audio/Mp3FrameCount.h"

#include <cstring>
#include <vector>

namespace
{
// How far past the tag the first frame is looked for, and how far a lost frame's successor is
// looked for, as decoders resynchronise after junk.
constexpr int kSearchBytes = 16384;

struct FrameHeader
{
    int version = 0, layer = 0, rate = 0, size = 0; // version: 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5; layer: 3 = I, 1 = III
};

// The 4-byte header at p with its frame's size in bytes; nothing for anything that is not a
// header, or a free-format one (bitrate index 0: the size is not stated).
std::optional<FrameHeader> parseHeader (const juce::uint8* p) noexcept
{
    const int version = (p[1] >> 3) & 3, layer = (p[1] >> 1) & 3, bitrateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3;
    if (p[0] != 0xff || (p[1] & 0xe0) != 0xe0 || version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;

    static constexpr int kRates[] = { 44100, 48000, 32000 };
    static constexpr short kBitrates[2][3][15] = {
        { { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 },    // MPEG-2/2.5 Layer I
          { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 },         // Layer II
          { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 } },       // Layer III
        { { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 }, // MPEG-1 Layer I
          { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 },    // Layer II
          { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320 } },   // Layer III
    };

    FrameHeader h;
    h.version = version;
    h.layer = layer;
    h.rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int bitrate = kBitrates[version == 3 ? 1 : 0][3 - layer] [bitrateIndex] * 1000;
    const int padding = (p[2] >> 1) & 1;

    if (layer == 3)
        h.size = (12 * bitrate / h.rate + padding) * 4;
    else
        h.size = ((layer == 1 && version != 3) ? 72 : 144) * bitrate / h.rate + padding;
    return h;
}

bool sameStream (const FrameHeader& a, const FrameHeader& b) noexcept
{
    return a.version == b.version && a.layer == b.layer && a.rate == b.rate;
}

// The offset of the first header in bytes[0, n) that starts a frame of the stream `like`, or -1.
// Without `like`, the first frame is one that the next frame's header follows at once (as decoders
// check it), so that bytes that only look like a header are not taken for the stream.
int findHeader (const juce::uint8* bytes, int n, const std::optional<FrameHeader>& like, FrameHeader& found)
{
    for (int i = 0; i + 4 <= n; ++i)
    {
        const auto h = parseHeader (bytes + i);
        if (! h || (like && ! sameStream (*h, *like)))
            continue;

        if (! like && i + h->size + 4 <= n)
            if (const auto next = parseHeader (bytes + i + h->size); ! next || ! sameStream (*next, *h))
                continue;

        found = *h;
        return i;
    }
    return -1;
}

// Where a Layer III frame's side information ends, where a Xing or Info header stands.
bool holdsFrameCount (const juce::uint8* frame, int available, const FrameHeader& h) noexcept
{
    const bool mono = (frame[3] >> 6) == 3;
    const int at = 4 + (h.version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    return h.layer == 1 && at + 8 <= available
        && (std::memcmp (frame + at, "Xing", 4) == 0 || std::memcmp (frame + at, "Info", 4) == 0)
        && (frame[at + 7] & 1) != 0;
}

// The bytes of the ID3v2 tag (footer included) at the stream's position; 0 when none starts there.
// Moves the stream.
juce::int64 id3v2TagBytes (juce::InputStream& in)
{
    juce::uint8 tag[10] = {};
    if (in.read (tag, 10) != 10 || std::memcmp (tag, "ID3", 3) != 0)
        return 0;

    // The tag's size is stored in 7-bit bytes; a footer adds ten more bytes.
    return 10 + (((juce::int64) (tag[6] & 0x7f) << 21) | ((tag[7] & 0x7f) << 14) | ((tag[8] & 0x7f) << 7) | (tag[9] & 0x7f))
         + ((tag[5] & 0x10) != 0 ? 10 : 0);
}
} // namespace

bool Mp3FrameCount::holdsHalfFrames (juce::InputStream& mp3Stream)
{
    const auto start = mp3Stream.getPosition();
    const auto tagBytes = id3v2TagBytes (mp3Stream);

    std::vector<juce::uint8> bytes ((size_t) kSearchBytes);
    const int got = mp3Stream.setPosition (start + tagBytes) ? mp3Stream.read (bytes.data(), kSearchBytes) : 0;
    mp3Stream.setPosition (start);

    FrameHeader first;
    return findHeader (bytes.data(), got, std::nullopt, first) >= 0 && first.version != 3 && first.layer == 1;
}

std::optional<juce::int64> Mp3FrameCount::countWithoutVbrHeader (juce::InputStream& mp3Stream)
{
    const auto start = mp3Stream.getPosition();
    juce::BufferedInputStream in (mp3Stream, 65536);
    const auto end = in.getTotalLength();

    juce::int64 position = start + id3v2TagBytes (in);

    std::vector<juce::uint8> bytes ((size_t) kSearchBytes);
    std::optional<FrameHeader> first;
    juce::int64 frames = 0;
    bool ok = true;

    while (position + 4 <= end)
    {
        in.setPosition (position);
        juce::uint8 header[4];
        if (in.read (header, 4) != 4)
            break;

        if (const auto h = parseHeader (header); first && h && sameStream (*h, *first))
        {
            ++frames;
            position += h->size;
            continue;
        }

        // The first frame, or junk to step over (a decoder resynchronises on the next header);
        // tags at the end (ID3v1, APE) hold none.
        in.setPosition (position);
        const int got = in.read (bytes.data(), kSearchBytes);
        FrameHeader found;
        const int offset = findHeader (bytes.data(), got, first, found);
        if (offset < 0)
            break;

        if (! first)
        {
            first = found;
            const int available = got - offset;
            if (holdsFrameCount (bytes.data() + offset, available, found))
            {
                ok = false; // JUCE's reader takes the count from it
                break;
            }
        }

        ++frames;
        position += offset + found.size;
    }

    mp3Stream.setPosition (start);
    if (! ok || ! first || frames == 0)
        return std::nullopt;
    return frames;
}
