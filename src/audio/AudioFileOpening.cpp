#include "audio/AudioFileOpening.h"

#include "audio/AiffHeaderCopy.h"
#include "audio/FlacFileReader.h"
#include "audio/Mp3FrameCount.h"
#include "audio/Mp3HalfFrameReader.h"
#include "audio/Mp3SampleGuard.h"
#include "audio/WavDoubleReader.h"
#include "audio/WavHeaderCopy.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// A regular file read at an offset of its own. Opening without blocking and checking the opened
// file itself (not its name beforehand) leaves no moment in which a FIFO could be swapped in.
class RegularFileStream final : public juce::InputStream
{
public:
    RegularFileStream (int openFd, juce::int64 size) : fd (openFd), totalLength (size) {}
    ~RegularFileStream() override { ::close (fd); }

    juce::int64 getTotalLength() override { return totalLength; }
    bool isExhausted() override { return position >= totalLength; }
    juce::int64 getPosition() override { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jmax ((juce::int64) 0, newPosition);
        return true;
    }

    int read (void* destination, int maxBytes) override
    {
        if (maxBytes <= 0 || juce::Thread::currentThreadShouldExit())
            return 0;

        auto* out = static_cast<char*> (destination);
        int done = 0;
        while (done < maxBytes)
        {
            const auto got = ::pread (fd, out + done, (size_t) (maxBytes - done), (off_t) (position + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += (int) got;
        }
        position += done;
        return done;
    }

private:
    const int fd;
    const juce::int64 totalLength;
    juce::int64 position = 0;
};

// A file as the framework's reader sees it: a header built from the checked copy of the file's own,
// then the file's audio data read in place.
class CheckedHeaderStream final : public juce::InputStream
{
public:
    CheckedHeaderStream (std::unique_ptr<juce::InputStream> source, juce::MemoryBlock checkedHead,
                         WavHeaderCopy::DataRegion region)
        : file (std::move (source)), data (region), head (std::move (checkedHead))
    {
    }

    // A WAV's: RF64, so that data of any length fits, from the copied image ("RIFF", its size,
    // "WAVE", then the chunks).
    static juce::MemoryBlock wavHead (const juce::MemoryBlock& headerImage, WavHeaderCopy::DataRegion data)
    {
        const auto* chunks = static_cast<const char*> (headerImage.getData()) + 12;
        const auto chunkBytes = headerImage.getSize() - 12;

        juce::MemoryBlock head;
        juce::MemoryOutputStream out (head, false);
        out.write ("RF64", 4);
        out.writeInt (-1);
        out.write ("WAVEds64", 8);
        out.writeInt (28);
        out.writeInt64 ((juce::int64) (4 + 36 + chunkBytes + 8) + data.length);
        out.writeInt64 (data.length);
        out.writeInt64 (0);
        out.writeInt (0);
        out.write (chunks, chunkBytes);
        out.write ("data", 4);
        out.writeInt (-1);
        out.flush();
        return head;
    }

    juce::int64 getTotalLength() override { return (juce::int64) head.getSize() + data.length; }
    bool isExhausted() override { return position >= getTotalLength(); }
    juce::int64 getPosition() override { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jlimit ((juce::int64) 0, getTotalLength(), newPosition);
        return true;
    }

    int read (void* destination, int maxBytes) override
    {
        auto* out = static_cast<char*> (destination);
        int done = 0;
        const auto headSize = (juce::int64) head.getSize();

        if (position < headSize && maxBytes > 0)
        {
            done = (int) juce::jmin ((juce::int64) maxBytes, headSize - position);
            std::memcpy (out, static_cast<const char*> (head.getData()) + position, (size_t) done);
            position += done;
        }

        const auto wanted = juce::jmin ((juce::int64) (maxBytes - done), getTotalLength() - position);
        if (wanted > 0 && file->setPosition (data.offset + position - headSize))
        {
            const int got = file->read (out + done, (int) wanted);
            position += juce::jmax (0, got);
            done += juce::jmax (0, got);
        }
        return done;
    }

private:
    std::unique_ptr<juce::InputStream> file;
    const WavHeaderCopy::DataRegion data;
    const juce::MemoryBlock head;
    juce::int64 position = 0;
};

// The format's own test of a file's extension (juce::AudioFormat::canHandleFile), on the bytes of
// the path: ASCII letters in any case.
bool claimsExtensionOf (juce::AudioFormat& format, const std::string& path)
{
    const auto slash = path.rfind ('/');
    const auto dot = path.rfind ('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;

    const auto extension = path.substr (dot);
    for (const auto& e : format.getFileExtensions())
    {
        const auto wanted = e.toStdString();
        if (wanted.size() == extension.size()
            && std::equal (wanted.begin(), wanted.end(), extension.begin(),
                           [] (char a, char b) { return std::tolower ((unsigned char) a) == std::tolower ((unsigned char) b); }))
            return true;
    }
    return false;
}

bool isReadableSafely (const juce::AudioFormatReader& reader)
{
    // The PCM readers convert whole bytes of 8 to 32 bits only; other sizes end in an assertion.
    const auto format = reader.getFormatName();
    const bool pcm = format == "WAV file" || format == "AIFF file";
    const auto bits = reader.bitsPerSample;

    // An AIFF header's frame count is signed: a negative length would make the preview's bar and
    // seeks run backwards.
    return reader.numChannels > 0 && reader.numChannels <= AudioFileOpening::kMaxChannels && reader.lengthInSamples >= 0
        && bits > 0 && (bits <= AudioFileOpening::kMaxBitsPerSample || (reader.usesFloatingPointData && bits == 64))
        && (! pcm || bits % 8 == 0)
        && reader.sampleRate >= AudioFileOpening::kMinSampleRate && reader.sampleRate <= AudioFileOpening::kMaxSampleRate;
}
} // namespace

namespace AudioFileOpening
{
std::unique_ptr<juce::AudioFormatReader> createReader (const juce::File& file)
{
    return createReader (file.getFullPathName().toStdString());
}

std::unique_ptr<juce::InputStream> openRegularFile (const std::string& path)
{
    const int fd = ::open (path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;

    struct stat info {};
    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
    {
        ::close (fd);
        return nullptr;
    }

    return std::make_unique<RegularFileStream> (fd, (juce::int64) info.st_size);
}

std::unique_ptr<juce::AudioFormatReader> createReader (const std::string& path)
{
    juce::AudioFormatManager formats;
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);
    // Not JUCE's FLAC reader: it reads through channels that a damaged file's frames do not have.
    formats.registerFormat (new FlacFileFormat(), false);
    formats.registerFormat (new juce::OggVorbisAudioFormat(), false);
    formats.registerFormat (new juce::MP3AudioFormat(), false);

    std::unique_ptr<juce::AudioFormatReader> reader;

    for (int i = 0; i < formats.getNumKnownFormats() && reader == nullptr; ++i)
    {
        auto* format = formats.getKnownFormat (i);
        if (! claimsExtensionOf (*format, path))
            continue;

        auto stream = openRegularFile (path);
        if (stream == nullptr)
            return nullptr;

        if (dynamic_cast<juce::WavAudioFormat*> (format) != nullptr)
        {
            juce::MemoryBlock image;
            WavHeaderCopy::DataRegion data;
            if (! WavHeaderCopy::copyHeader (*stream, image, &data))
                continue;

            if (WavDoubleReader::narrowFormat (image))
            {
                const std::unique_ptr<juce::AudioFormatReader> header (format->createReaderFor (new juce::MemoryInputStream (image, false), true));
                if (header != nullptr && header->numChannels > 0 && header->numChannels <= kMaxChannels)
                    reader = std::make_unique<WavDoubleReader> (*header, std::move (stream), data);
                continue;
            }
            stream = std::make_unique<CheckedHeaderStream> (std::move (stream), CheckedHeaderStream::wavHead (image, data), data);
        }
        else if (dynamic_cast<juce::AiffAudioFormat*> (format) != nullptr)
        {
            juce::MemoryBlock head;
            WavHeaderCopy::DataRegion data;
            if (! AiffHeaderCopy::copyHeader (*stream, head, data))
                continue;
            stream = std::make_unique<CheckedHeaderStream> (std::move (stream), head, data);
        }

        const bool isMp3 = dynamic_cast<juce::MP3AudioFormat*> (format) != nullptr;
        const bool halfFrames = isMp3 && Mp3FrameCount::holdsHalfFrames (*stream);
        const auto mp3Frames = isMp3 ? Mp3FrameCount::countWithoutVbrHeader (*stream) : std::nullopt;

        // The reader owns the stream from here, or the format deletes it.
        reader.reset (format->createReaderFor (stream.release(), true));

        // In JUCE's unit: 1,152 samples a frame, halved below for the rates of 576.
        if (reader != nullptr && mp3Frames.has_value())
            reader->lengthInSamples = *mp3Frames * 1152;
        if (reader != nullptr && halfFrames)
            reader = std::make_unique<Mp3HalfFrameReader> (std::move (reader));
        if (reader != nullptr && isMp3)
            reader = std::make_unique<Mp3SampleGuard> (std::move (reader));
    }

    if (reader != nullptr && ! isReadableSafely (*reader))
        reader.reset();
    return reader;
}

// No codec we read packs more frames than this into one byte (FLAC silence at its largest block size).
constexpr juce::int64 kMaxFramesPerCompressedByte = 4096;

juce::int64 readableLength (const juce::AudioFormatReader& reader, juce::int64 fileBytes)
{
    const auto format = reader.getFormatName();
    const bool isPcm = format == "WAV file" || format == "AIFF file";
    const auto bytesPerFrame = (juce::int64) reader.numChannels * (juce::int64) (reader.bitsPerSample / 8);

    const auto limit = isPcm ? (bytesPerFrame > 0 ? fileBytes / bytesPerFrame : 0)
                             : fileBytes * kMaxFramesPerCompressedByte;
    return juce::jlimit ((juce::int64) 0, juce::jmax ((juce::int64) 0, limit), reader.lengthInSamples);
}
} // namespace AudioFileOpening
