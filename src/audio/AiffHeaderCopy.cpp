#include "audio/AiffHeaderCopy.h"

namespace
{
// COMM holds 18 bytes, AIFC's adds a compression type and its name (a string of at most 255).
constexpr juce::uint32 kMaxCommBytes = 18 + 4 + 256;
constexpr juce::uint32 kMaxFverBytes = 64;

bool hasId (const char* bytes, const char* id) noexcept
{
    return std::memcmp (bytes, id, 4) == 0;
}

bool readExactly (juce::InputStream& in, void* dest, size_t size)
{
    return in.read (dest, (int) size) == (int) size;
}

void writeChunk (juce::MemoryOutputStream& out, const char* id, const juce::MemoryBlock& body)
{
    out.write (id, 4);
    out.writeIntBigEndian ((int) body.getSize());
    out << body;
    if ((body.getSize() & 1) != 0)
        out.writeByte (0);
}
} // namespace

bool AiffHeaderCopy::copyHeader (juce::InputStream& source, juce::MemoryBlock& head, WavHeaderCopy::DataRegion& data)
{
    juce::BufferedInputStream in (source, 4096);
    const auto fileSize = in.getTotalLength();
    char header[12];
    if (! readExactly (in, header, sizeof (header)) || ! hasId (header, "FORM")
        || ! (hasId (header + 8, "AIFF") || hasId (header + 8, "AIFC")))
        return false;

    const auto formEnd = 8 + (juce::int64) juce::ByteOrder::bigEndianInt (header + 4);
    const auto walkEnd = juce::jmin (formEnd, fileSize);
    juce::MemoryBlock comm, fver;
    juce::uint32 soundSize = 0;
    bool sawSound = false;

    for (int count = 0; count < WavHeaderCopy::kMaxChunks && ! sawSound && in.getPosition() + 8 <= walkEnd; ++count)
    {
        char chunkHeader[8];
        if (! readExactly (in, chunkHeader, sizeof (chunkHeader)))
            return false;

        const auto size = juce::ByteOrder::bigEndianInt (chunkHeader + 4);
        const auto bodyStart = in.getPosition();

        if (hasId (chunkHeader, "SSND"))
        {
            // A recording cut off ends at the end of the file, as the reader reads it.
            char offset[8];
            if (size < 8 || ! readExactly (in, offset, sizeof (offset)))
                return false;

            const auto start = bodyStart + 8 + (juce::int64) juce::ByteOrder::bigEndianInt (offset);
            data = { juce::jmin (start, fileSize), juce::jlimit ((juce::int64) 0, fileSize - juce::jmin (start, fileSize), bodyStart + (juce::int64) size - start) };
            soundSize = size;
            sawSound = true;
            break;
        }

        // A chunk that runs past the end of the file ends the walk: nothing after it can be found.
        if ((juce::int64) size > fileSize - bodyStart)
            break;

        const bool isComm = hasId (chunkHeader, "COMM"), isFver = hasId (chunkHeader, "FVER");
        if (isComm && (size < 18 || size > kMaxCommBytes))
            return false;

        if ((isComm && comm.isEmpty()) || (isFver && fver.isEmpty() && size <= kMaxFverBytes))
        {
            auto& body = isComm ? comm : fver;
            body.setSize (size);
            if (! readExactly (in, body.getData(), size))
                return false;
        }

        in.setPosition (bodyStart + size + (size & 1));
    }

    if (comm.isEmpty() || ! sawSound)
        return false;

    juce::MemoryOutputStream chunks;
    if (! fver.isEmpty())
        writeChunk (chunks, "FVER", fver);
    writeChunk (chunks, "COMM", comm);

    juce::MemoryOutputStream out (head, false);
    out.write ("FORM", 4);
    out.writeIntBigEndian ((int) juce::jmin ((juce::int64) std::numeric_limits<int>::max(), 4 + (juce::int64) chunks.getDataSize() + 16 + data.length));
    out.write (header + 8, 4);
    out << chunks.getMemoryBlock();
    out.write ("SSND", 4);
    out.writeIntBigEndian ((int) soundSize);
    out.writeIntBigEndian (0);
    out.writeIntBigEndian (0);
    return true;
}
