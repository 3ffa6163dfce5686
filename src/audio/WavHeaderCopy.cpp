#include "audio/WavHeaderCopy.h"

#include "audio/AudioFileOpening.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace
{
constexpr juce::uint32 kMaxFormatChunkBytes = 1024;

bool hasId (const char* bytes, const char* id) noexcept
{
    return std::memcmp (bytes, id, 4) == 0;
}

juce::uint32 readUInt32 (const char* bytes) noexcept
{
    return juce::ByteOrder::littleEndianInt (bytes);
}

bool readExactly (juce::InputStream& in, void* dest, size_t size)
{
    return in.read (dest, (int) size) == (int) size;
}

void appendChunk (juce::MemoryOutputStream& out, const char* id, const void* body, size_t size)
{
    out.write (id, 4);
    out.writeInt ((int) size);
    out.write (body, size);

    if ((size & 1) != 0)
        out.writeByte (0);
}

// Chunk and INFO item IDs are four printable ASCII characters ("data", "LIST", "fmt ", "ISRC" ...).
bool isChunkId (const char* bytes) noexcept
{
    for (int i = 0; i < 4; ++i)
        if (bytes[i] < 0x20 || bytes[i] > 0x7e)
            return false;
    return true;
}

// The framework matches INFO IDs whatever their letter case.
bool isIsrcId (const char* bytes) noexcept
{
    for (int i = 0; i < 4; ++i)
        if (std::toupper ((unsigned char) bytes[i]) != "ISRC"[i])
            return false;
    return true;
}

// Where the chunk after one of oddSize ending at end starts. Some writers leave out the pad byte
// after an odd size, as common readers allow. The pad is a zero, which no ID starts with: where an
// ID stands at once, there is no pad (whatever the bytes after it look like: the next ID's last
// letters and its size often make one too). idAt (offset, dest) reads four bytes, or fails.
template <typename ReadId>
juce::int64 nextChunkStart (juce::int64 end, juce::int64 oddSize, ReadId&& idAt)
{
    char id[4];
    if ((oddSize & 1) == 0 || (idAt (end, id) && isChunkId (id)))
        return end;
    return end + 1;
}

// JUCE 7.0.5's INFO parser ends its walk at an item of zero length, reads the body of an item whose
// ID it does not know (ITRK, any other) as the next item, and loses its place after an odd size and
// its pad. Only the ISRC is read from the list, so the copy holds the list's ISRC items alone, each
// with its pad counted in its size.
juce::MemoryBlock isrcInfoItems (const char* list, size_t size)
{
    juce::MemoryOutputStream out;
    out.write (list, 4); // "INFO"

    const auto idAt = [list, size] (juce::int64 offset, char* dest)
    {
        if (offset < 0 || (size_t) offset + 4 > size)
            return false;
        std::memcpy (dest, list + offset, 4);
        return true;
    };

    size_t pos = 4;
    while (pos + 8 <= size)
    {
        const auto itemSize = (size_t) readUInt32 (list + pos + 4);
        if (itemSize > size - pos - 8)
            break;

        if (itemSize > 0 && isIsrcId (list + pos))
        {
            const auto paddedSize = itemSize + (itemSize & 1);
            out.write ("ISRC", 4);
            out.writeInt ((int) paddedSize);
            out.write (list + pos + 8, itemSize);
            if (paddedSize != itemSize)
                out.writeByte (0);
        }

        pos = (size_t) nextChunkStart ((juce::int64) (pos + 8 + itemSize), (juce::int64) itemSize, idAt);
    }

    return out.getMemoryBlock();
}

// JUCE 7.0.5 parses an axml chunk as XML by recursion, one level per element open (some
// thousands of them overflow the stack), and asserts on bytes that are not UTF-8 and on a tag or
// attribute name that starts with a digit, '-' or '.', and on one of the names it looks for written
// in other letter case, also within a document type's entities. Such a chunk is left out: the ISRC it may hold sits four levels deep under
// ASCII names.
constexpr int kMaxAxmlDepth = 64;

bool isNameStart (unsigned char c) noexcept { return std::isalpha (c) || c == '_' || c == ':'; }
bool isNameChar (unsigned char c) noexcept { return std::isalnum (c) || c == '_' || c == ':' || c == '-' || c == '.'; }

bool isAxmlParsedSafely (const char* xml, size_t size)
{
    if (! juce::CharPointer_UTF8::isValidString (xml, (int) size))
        return false;

    const std::string_view text (xml, size);
    const auto skipPast = [&text] (size_t from, const char* end) { const auto at = text.find (end, from); return at == std::string_view::npos ? text.size() : at + std::strlen (end); };
    // A name, or no name at all (the parser stops there without asserting); false for one it asserts on.
    const auto nameAt = [&text] (size_t& i)
    {
        if (i < text.size() && ((unsigned char) text[i] >= 0x80 || (isNameChar ((unsigned char) text[i]) && ! isNameStart ((unsigned char) text[i]))))
            return false;
        while (i < text.size() && isNameChar ((unsigned char) text[i]))
            ++i;
        return i >= text.size() || (unsigned char) text[i] < 0x80;
    };

    int depth = 0;
    for (size_t i = text.find ('<'); i < text.size(); i = text.find ('<', i))
    {
        ++i;
        if (text.compare (i, 3, "!--") == 0) { i = skipPast (i, "-->"); continue; }
        if (text.compare (i, 8, "![CDATA[") == 0) { i = skipPast (i, "]]>"); continue; }
        if (i < text.size() && text[i] == '?') { i = skipPast (i, ">"); continue; }
        // A document type: its entities are parsed again where they are used (no ISRC needs one).
        if (i < text.size() && text[i] == '!')
            return false;
        if (i < text.size() && text[i] == '/') { depth = std::max (0, depth - 1); i = skipPast (i, ">"); continue; }

        // Where the name is missing, the parser looks for it past spaces, comments and processing
        // instructions.
        for (bool skipped = true; skipped;)
        {
            while (i < text.size() && std::isspace ((unsigned char) text[i]))
                ++i;
            skipped = text.compare (i, 4, "<!--") == 0 || text.compare (i, 2, "<?") == 0;
            if (skipped)
                i = text[i + 1] == '!' ? skipPast (i + 4, "-->") : skipPast (i + 2, "?>");
        }
        const auto nameStart = i;
        if (! nameAt (i))
            return false;

        const auto name = text.substr (nameStart, i - nameStart);
        for (const std::string_view wanted : { "ebucore:ebuCoreMain", "ebucore:coreMetadata", "ebucore:identifier", "dc:identifier" })
            if (name.size() == wanted.size() && name != wanted
                && std::equal (name.begin(), name.end(), wanted.begin(),
                               [] (char a, char b) { return std::tolower ((unsigned char) a) == std::tolower ((unsigned char) b); }))
                return false;

        // Attributes up to the tag's end; quoted values are stepped over.
        bool selfClosing = false;
        while (i < text.size() && text[i] != '>')
        {
            const auto c = (unsigned char) text[i];
            if (c == '"' || c == '\'')
                i = skipPast (i + 1, c == '"' ? "\"" : "'");
            else if (c == '/' && i + 1 < text.size() && text[i + 1] == '>')
                { selfClosing = true; ++i; }
            else if (isNameChar (c) || c >= 0x80)
                { if (! nameAt (i)) return false; }
            else
                ++i;
        }
        if (! selfClosing && ++depth > kMaxAxmlDepth)
            return false;
    }
    return true;
}

// Rates and channel counts of zero or below make no readable file; a rate of -1 would also make
// the framework divide INT_MIN by it when the bit depth is out of range. For a depth above 64 the
// framework works one out from the byte rate instead: not what the file says, so no readable file.
bool isSaneFormat (const char* fmt, size_t size) noexcept
{
    if (size < 16)
        return false;

    const auto channels = (juce::int16) juce::ByteOrder::littleEndianShort (fmt + 2);
    const auto sampleRate = (juce::int32) readUInt32 (fmt + 4);
    const auto bits = juce::ByteOrder::littleEndianShort (fmt + 14);
    // JUCE's reader gives each channel a speaker of its own and asserts past some 960 of them; no
    // reader here takes more than kMaxChannels anyway.
    return channels > 0 && channels <= (int) AudioFileOpening::kMaxChannels && sampleRate > 0 && bits <= 64;
}
} // namespace

bool WavHeaderCopy::copyHeader (const std::string& path, juce::MemoryBlock& image)
{
    const auto source = AudioFileOpening::openRegularFile (path);
    return source != nullptr && copyHeader (*source, image);
}

bool WavHeaderCopy::copyHeader (juce::InputStream& source, juce::MemoryBlock& image, DataRegion* data)
{
    // The chunks wanted are small and mostly close together: one read of the disk serves most files
    // (an intake reads ten thousand of them on the message thread).
    juce::BufferedInputStream in (source, 4096);
    const auto fileSize = in.getTotalLength();
    char header[12];
    if (! readExactly (in, header, sizeof (header)) || ! hasId (header + 8, "WAVE"))
        return false;

    // BW64 (the broadcast form for object-based audio) is RF64 under another name.
    const bool isRF64 = hasId (header, "RF64") || hasId (header, "BW64");
    if (! isRF64 && ! hasId (header, "RIFF"))
        return false;

    juce::int64 riffEnd = 8 + (juce::int64) readUInt32 (header + 4);
    juce::int64 rf64DataSize = -1;

    // Writers fill in the sizes when they finish: a recording ended by a crash or a power cut leaves
    // the RIFF size at 0, and a data size of 0 then means its audio runs to the end of the file.
    const bool unfinished = ! isRF64 && readUInt32 (header + 4) == 0;
    if (unfinished)
        riffEnd = fileSize;

    if (isRF64)
    {
        char ds64[36];
        if (! readExactly (in, ds64, sizeof (ds64)) || ! hasId (ds64, "ds64") || readUInt32 (ds64 + 4) < 28)
            return false;

        // Sizes past the file's own would overflow the sums below; the walk ends at the file's end anyway.
        riffEnd = 8 + (juce::int64) juce::jmin ((juce::uint64) juce::ByteOrder::littleEndianInt64 (ds64 + 8), (juce::uint64) fileSize);
        rf64DataSize = (juce::int64) juce::ByteOrder::littleEndianInt64 (ds64 + 16);
        const auto ds64Size = (juce::int64) readUInt32 (ds64 + 4);
        if (riffEnd < 12 || rf64DataSize < 0 || 20 + ds64Size > fileSize)
            return false;

        in.setPosition (20 + ds64Size + (ds64Size & 1));
    }

    juce::MemoryOutputStream chunks;
    bool sawFormat = false, sawData = false;
    const auto walkEnd = juce::jmin (riffEnd, fileSize);

    for (int count = 0; count < kMaxChunks && in.getPosition() + 8 <= walkEnd; ++count)
    {
        char chunkHeader[8];
        if (! readExactly (in, chunkHeader, sizeof (chunkHeader)))
            return false;

        auto size = (juce::int64) readUInt32 (chunkHeader + 4);
        if (isRF64 && hasId (chunkHeader, "data") && size == 0xffffffff)
            size = rf64DataSize;

        const auto bodyStart = in.getPosition();
        // A body that runs past the end of the file: a recording cut off (most often in its audio
        // data), or a length that lies. Nothing after it can be found; what came before stands.
        const bool isData = hasId (chunkHeader, "data");
        if (unfinished && isData && size == 0)
            size = fileSize - bodyStart;
        if (isData && ! sawData && data != nullptr)
            *data = { bodyStart, juce::jmin (size, fileSize - bodyStart) };

        if (size > fileSize - bodyStart)
        {
            sawData = sawData || isData;
            break;
        }

        const bool isFormat = hasId (chunkHeader, "fmt ");
        const bool isAxml = hasId (chunkHeader, "axml");
        bool isList = false;

        if (hasId (chunkHeader, "LIST") && size >= 4)
        {
            // Only the INFO list is wanted; label lists and others are stepped over unread.
            char listType[4];
            if (! readExactly (in, listType, sizeof (listType)))
                return false;

            isList = hasId (listType, "INFO") || hasId (listType, "info");
            in.setPosition (bodyStart);
        }

        if (isFormat && size > kMaxFormatChunkBytes)
            return false;

        if (isFormat || ((isList || isAxml) && size <= kMaxMetadataChunkBytes))
        {
            juce::HeapBlock<char> body ((size_t) size);
            if (! readExactly (in, body, (size_t) size))
                return false;

            if (isFormat)
            {
                if (! isSaneFormat (body, (size_t) size))
                    return false;

                appendChunk (chunks, "fmt ", body, (size_t) size);
                sawFormat = true;
            }
            else if (isAxml)
            {
                if (isAxmlParsedSafely (body, (size_t) size))
                    appendChunk (chunks, "axml", body, (size_t) size);
            }
            else
            {
                const auto list = isrcInfoItems (body, (size_t) size);
                appendChunk (chunks, "LIST", list.getData(), list.getSize());
            }
        }

        sawData = sawData || isData;
        in.setPosition (nextChunkStart (bodyStart + size, size, [&in, walkEnd] (juce::int64 offset, char* dest)
        {
            return offset + 4 <= walkEnd && in.setPosition (offset) && readExactly (in, dest, 4);
        }));
    }

    if (! sawFormat || ! sawData)
        return false;

    juce::MemoryOutputStream out (image, false);
    out.write ("RIFF", 4);
    out.writeInt ((int) (4 + chunks.getDataSize()));
    out.write ("WAVE", 4);
    out << chunks.getMemoryBlock();
    return true;
}
