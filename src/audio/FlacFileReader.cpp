#include "audio/FlacFileReader.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
// The name JUCE's reader has, by which the other readers' code knows a compressed format.
constexpr const char* kFormatName = "FLAC file";
}

// libFLAC's decoder, the header's values and the last frame decoded (or, after a seek, its part
// from the target on).
struct FlacFileReader::Decoder
{
    explicit Decoder (juce::InputStream& source) : stream (source) {}

    ~Decoder()
    {
        if (flac != nullptr)
            FLAC__stream_decoder_delete (flac);
    }

    // Reads the header and the first frame and finds the length; false when the file is refused.
    bool open()
    {
        if (flac == nullptr
            || FLAC__stream_decoder_init_stream (flac, onRead, onSeek, onTell, onLength, onEof, onWrite, onMetadata,
                                                 onError, this) != FLAC__STREAM_DECODER_INIT_STATUS_OK
            || ! FLAC__stream_decoder_process_until_end_of_metadata (flac) || ! hasInfo)
            return false;

        // The format's own bounds: 1 to 8 channels, 4 to 32 bits, blocks of at most 65,535 frames.
        if (channels < 1 || channels > 8 || bits < 4 || bits > 32 || rate == 0 || maxBlock == 0)
            return false;
        samples.assign ((size_t) channels * maxBlock, 0);

        if (! step())
            return false;

        // A claimed length stands once a frame holds its last sample; else the frames are counted.
        const auto firstBlock = (FLAC__uint64) blockLength;
        if (claimedLength > 0 && (claimedLength <= firstBlock || seekTo ((juce::int64) claimedLength - 1)))
            length = (juce::int64) claimedLength; // 36 bits at most
        else if (! countFrames())
            return false;

        return ! juce::Thread::currentThreadShouldExit();
    }

    // Makes the buffered block hold `position`, decoding on when it lies within reach of the next
    // frame and seeking otherwise; false when no frame that matches the header holds it.
    bool fetch (juce::int64 position)
    {
        const auto next = blockStart + blockLength;
        return following && position >= next && position - next < (juce::int64) maxBlock ? step() : seekTo (position);
    }

    bool step()
    {
        blockStart += blockLength;
        blockLength = 0;
        delivered = differs = false;
        return settle (FLAC__stream_decoder_process_single (flac) && delivered);
    }

    bool seekTo (juce::int64 position)
    {
        blockStart = position;
        blockLength = 0;
        delivered = differs = false;
        return settle (FLAC__stream_decoder_seek_absolute (flac, (FLAC__uint64) position) && delivered);
    }

    // After a failure the decoder may be aborted or lost in a seek: made ready for the next seek.
    bool settle (bool ok)
    {
        following = ok;
        if (! ok)
            FLAC__stream_decoder_flush (flac);
        return ok;
    }

    bool countFrames()
    {
        if (! FLAC__stream_decoder_reset (flac) || ! FLAC__stream_decoder_process_until_end_of_metadata (flac))
            return false;

        counting = true;
        length = 0;
        while (FLAC__stream_decoder_process_single (flac))
        {
            const auto state = FLAC__stream_decoder_get_state (flac);
            if (state != FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC && state != FLAC__STREAM_DECODER_READ_FRAME)
                break;
        }
        counting = false;

        blockStart = 0;
        blockLength = 0;
        return settle (FLAC__stream_decoder_reset (flac) && FLAC__stream_decoder_process_until_end_of_metadata (flac));
    }

    static FLAC__StreamDecoderReadStatus onRead (const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* data)
    {
        auto& stream = static_cast<Decoder*> (data)->stream;
        const auto wanted = (int) juce::jmin (*bytes, (size_t) std::numeric_limits<int>::max());
        const auto got = wanted > 0 ? stream.read (buffer, wanted) : 0;
        *bytes = (size_t) juce::jmax (0, got);

        if (got > 0)
            return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
        return juce::Thread::currentThreadShouldExit() ? FLAC__STREAM_DECODER_READ_STATUS_ABORT
                                                      : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }

    static FLAC__StreamDecoderSeekStatus onSeek (const FLAC__StreamDecoder*, FLAC__uint64 offset, void* data)
    {
        auto& stream = static_cast<Decoder*> (data)->stream;
        return offset <= (FLAC__uint64) std::numeric_limits<juce::int64>::max() && stream.setPosition ((juce::int64) offset)
                   ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
                   : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    }

    static FLAC__StreamDecoderTellStatus onTell (const FLAC__StreamDecoder*, FLAC__uint64* offset, void* data)
    {
        const auto position = static_cast<Decoder*> (data)->stream.getPosition();
        *offset = (FLAC__uint64) juce::jmax ((juce::int64) 0, position);
        return position >= 0 ? FLAC__STREAM_DECODER_TELL_STATUS_OK : FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    }

    static FLAC__StreamDecoderLengthStatus onLength (const FLAC__StreamDecoder*, FLAC__uint64* bytes, void* data)
    {
        const auto total = static_cast<Decoder*> (data)->stream.getTotalLength();
        *bytes = (FLAC__uint64) juce::jmax ((juce::int64) 0, total);
        return total >= 0 ? FLAC__STREAM_DECODER_LENGTH_STATUS_OK : FLAC__STREAM_DECODER_LENGTH_STATUS_UNSUPPORTED;
    }

    static FLAC__bool onEof (const FLAC__StreamDecoder*, void* data)
    {
        return static_cast<Decoder*> (data)->stream.isExhausted();
    }

    static FLAC__StreamDecoderWriteStatus onWrite (const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                   const FLAC__int32* const buffer[], void* data)
    {
        auto& d = *static_cast<Decoder*> (data);
        const auto& header = frame->header;

        // A frame that is not what the header says ends the audio here.
        if (header.channels != d.channels || header.bits_per_sample != d.bits || header.sample_rate != d.rate
            || header.blocksize == 0 || header.blocksize > d.maxBlock
            || std::any_of (buffer, buffer + d.channels, [] (const FLAC__int32* channel) { return channel == nullptr; }))
        {
            d.differs = true;
            return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
        }

        d.delivered = true;
        if (d.counting)
        {
            d.length += header.blocksize;
            return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
        }

        // Full scale in 32 bits, as JUCE's readers give integer samples; shifted as unsigned, so
        // that out-of-range samples of a damaged frame wrap instead of overflowing.
        // (Locals, as the samples written could alias the header's fields: the loop vectorises.)
        const unsigned int shift = 32 - d.bits, frames = header.blocksize;
        for (unsigned int c = 0; c < d.channels; ++c)
        {
            const auto* in = buffer[c];
            auto* out = d.samples.data() + (size_t) c * d.maxBlock;
            for (unsigned int i = 0; i < frames; ++i)
                out[i] = (FLAC__int32) ((FLAC__uint32) in[i] << shift);
        }
        d.blockLength = (int) frames;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    static void onMetadata (const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* data)
    {
        auto& d = *static_cast<Decoder*> (data);
        // Only the first STREAMINFO counts: the buffer is sized by it.
        if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO || d.hasInfo)
            return;

        const auto& info = metadata->data.stream_info;
        d.channels = info.channels;
        d.bits = info.bits_per_sample;
        d.rate = info.sample_rate;
        d.maxBlock = info.max_blocksize;
        d.claimedLength = info.total_samples;
        d.hasInfo = true;
    }

    // libFLAC gives a frame that fails its checksum as silence and skips what it cannot sync to.
    static void onError (const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    juce::InputStream& stream;
    FLAC__StreamDecoder* const flac = FLAC__stream_decoder_new();

    bool hasInfo = false;
    unsigned int channels = 0, bits = 0, rate = 0, maxBlock = 0;
    FLAC__uint64 claimedLength = 0;
    juce::int64 length = 0; // frames, counted while `counting`

    // The buffered block: blockLength frames from blockStart, channel after channel, maxBlock apart.
    std::vector<FLAC__int32> samples;
    juce::int64 blockStart = 0;
    int blockLength = 0;
    // The decoder's next frame follows the buffered block.
    bool following = false;
    bool delivered = false, differs = false, counting = false;
    // Reads from here on meet a frame that does not match the header (damaged), or no frame at all
    // (the audio ends early: a frame was lost).
    juce::int64 damagedFrom = std::numeric_limits<juce::int64>::max(), endsAt = damagedFrom;
    bool opened = false;
};

FlacFileReader::FlacFileReader (juce::InputStream* stream) : juce::AudioFormatReader (stream, kFormatName)
{
    lengthInSamples = 0;
    usesFloatingPointData = false;
    if (stream == nullptr)
        return;

    decoder = std::make_unique<Decoder> (*stream);
    decoder->opened = decoder->open();
    if (decoder->opened)
    {
        sampleRate = decoder->rate;
        bitsPerSample = decoder->bits;
        numChannels = decoder->channels;
        lengthInSamples = decoder->length;
    }
}

FlacFileReader::~FlacFileReader() = default;

bool FlacFileReader::isOpen() const noexcept
{
    return decoder != nullptr && decoder->opened;
}

bool FlacFileReader::readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                                  juce::int64 startSampleInFile, int numSamples)
{
    const int channels = isOpen() ? juce::jmin (numDestChannels, (int) numChannels) : 0;
    bool intact = isOpen();
    const int firstOffset = startOffsetInDestBuffer, requested = numSamples;

    while (intact && numSamples > 0 && startSampleInFile < lengthInSamples)
    {
        auto& d = *decoder;
        const auto blockEnd = d.blockStart + d.blockLength;

        if (startSampleInFile >= d.blockStart && startSampleInFile < blockEnd)
        {
            const auto from = (size_t) (startSampleInFile - d.blockStart);
            const int count = (int) juce::jmin ((juce::int64) numSamples, juce::jmin (blockEnd, lengthInSamples) - startSampleInFile);

            for (int c = 0; c < channels; ++c)
                if (destChannels[c] != nullptr)
                    std::memcpy (destChannels[c] + startOffsetInDestBuffer, d.samples.data() + (size_t) c * d.maxBlock + from,
                                 (size_t) count * sizeof (int));

            startOffsetInDestBuffer += count;
            startSampleInFile += count;
            numSamples -= count;
        }
        else
        {
            const bool tried = startSampleInFile < d.damagedFrom && startSampleInFile < d.endsAt;
            if (tried && d.fetch (startSampleInFile))
                continue;

            // Silence from here on. Only a frame unlike the header fails the read: a lost frame
            // ends the audio early, as a cut file does, and a read given up because the thread is
            // asked to exit says nothing about the file.
            if (startSampleInFile >= d.damagedFrom || juce::Thread::currentThreadShouldExit())
                intact = false;
            else if (tried && d.differs)
                d.damagedFrom = startSampleInFile, intact = false;
            else if (tried)
                d.endsAt = startSampleInFile;
            break;
        }
    }

    // Past the audio, or past where it could be decoded: silence. A failed read is silence whole:
    // JUCE's float reads leave its samples unconverted (integers read as floats: noise up to 3e38,
    // which the device plays at full scale) and its file source plays them all the same.
    if (! intact)
        startOffsetInDestBuffer = firstOffset, numSamples = requested;
    if (numSamples > 0)
        for (int c = 0; c < numDestChannels; ++c)
            if (destChannels[c] != nullptr)
                std::memset (destChannels[c] + startOffsetInDestBuffer, 0, (size_t) numSamples * sizeof (int));

    return intact;
}

FlacFileFormat::FlacFileFormat() : juce::AudioFormat (kFormatName, ".flac") {}

juce::Array<int> FlacFileFormat::getPossibleSampleRates()
{
    return { 8000, 11025, 12000, 16000, 22050, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 352800, 384000 };
}

juce::Array<int> FlacFileFormat::getPossibleBitDepths()
{
    return { 8, 16, 24, 32 };
}

juce::AudioFormatReader* FlacFileFormat::createReaderFor (juce::InputStream* stream, bool deleteStreamIfOpeningFails)
{
    auto reader = std::make_unique<FlacFileReader> (stream);
    if (reader->isOpen())
        return reader.release();

    if (! deleteStreamIfOpeningFails)
        reader->input = nullptr;
    return nullptr;
}
