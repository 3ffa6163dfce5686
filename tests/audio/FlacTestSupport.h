#pragma once

#include <FLAC/stream_encoder.h>

#include <juce_core/juce_core.h>

#include <cmath>
#include <vector>

namespace tarsio::test
{
// A FLAC file made in memory by libFLAC's encoder (JUCE's writer has no 8 or 32 bits), with where
// each of its frames starts, so that a test can damage one.
struct FlacBytes
{
    juce::MemoryBlock bytes;
    std::vector<size_t> frameOffsets;
};

// The test signal: a sine at half scale with noise over every bit, different on each channel.
inline FLAC__int32 flacSample (int channel, juce::int64 frame, int bits)
{
    const auto half = (double) (1u << (bits - 2));
    const auto noise = (FLAC__int32) ((FLAC__uint32) ((juce::uint64) (frame + 1) * 2654435761u ^ (juce::uint32) (channel + 1) * 40503u));
    return (FLAC__int32) (std::sin ((double) frame * 0.01 + channel) * half) + (noise >> (36 - bits));
}

inline FlacBytes encodeFlac (int channels, int bits, unsigned int rate, int frames, unsigned int blockSize)
{
    struct Sink { juce::MemoryOutputStream out; std::vector<size_t> frames; } sink;
    const auto write = [] (const FLAC__StreamEncoder*, const FLAC__byte bytes[], size_t n, unsigned samples, unsigned, void* data)
    {
        auto& s = *static_cast<Sink*> (data);
        if (samples > 0)
            s.frames.push_back ((size_t) s.out.getPosition());
        return s.out.write (bytes, n) ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    };
    // Seeking back lets the encoder write the length and sizes into STREAMINFO at the end.
    const auto seek = [] (const FLAC__StreamEncoder*, FLAC__uint64 to, void* data)
    {
        return static_cast<Sink*> (data)->out.setPosition ((juce::int64) to) ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
                                                                             : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    };
    const auto tell = [] (const FLAC__StreamEncoder*, FLAC__uint64* at, void* data)
    {
        *at = (FLAC__uint64) static_cast<Sink*> (data)->out.getPosition();
        return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
    };

    std::vector<FLAC__int32> interleaved ((size_t) channels * (size_t) frames);
    for (size_t i = 0; i < interleaved.size(); ++i)
        interleaved[i] = flacSample ((int) (i % (size_t) channels), (juce::int64) (i / (size_t) channels), bits);

    auto* encoder = FLAC__stream_encoder_new();
    FLAC__stream_encoder_set_channels (encoder, (unsigned) channels);
    FLAC__stream_encoder_set_bits_per_sample (encoder, (unsigned) bits);
    FLAC__stream_encoder_set_sample_rate (encoder, rate);
    FLAC__stream_encoder_set_blocksize (encoder, blockSize);
    FLAC__stream_encoder_set_compression_level (encoder, 5);
    const bool ok = FLAC__stream_encoder_init_stream (encoder, write, seek, tell, nullptr, &sink) == FLAC__STREAM_ENCODER_INIT_STATUS_OK
                    && FLAC__stream_encoder_process_interleaved (encoder, interleaved.data(), (unsigned) frames)
                    && FLAC__stream_encoder_finish (encoder);
    FLAC__stream_encoder_delete (encoder);
    return ok ? FlacBytes { sink.out.getMemoryBlock(), sink.frames } : FlacBytes {};
}

// STREAMINFO's fields, at their places after "fLaC" and the block's header.
namespace StreamInfo
{
    inline void setChannels (juce::MemoryBlock& b, int channels) { b[20] = (char) ((b[20] & ~0x0e) | ((channels - 1) << 1)); }
    inline void setMaxBlockSize (juce::MemoryBlock& b, int size) { b[10] = (char) (size >> 8); b[11] = (char) size; }
    inline void setLength (juce::MemoryBlock& b, juce::uint64 frames)
    {
        b[21] = (char) ((b[21] & 0xf0) | ((frames >> 32) & 15));
        for (int i = 0; i < 4; ++i)
            b[22 + i] = (char) (frames >> (24 - 8 * i));
    }
}

// Puts frame `frame` of another encoding (same block size, so the same frame number) in place of
// this file's own: a sound frame that differs from this file's header.
inline void spliceFrame (FlacBytes& flac, const FlacBytes& other, size_t frame)
{
    const auto end = [] (const FlacBytes& f, size_t i) { return i + 1 < f.frameOffsets.size() ? f.frameOffsets[i + 1] : f.bytes.getSize(); };
    juce::MemoryBlock spliced (flac.bytes.getData(), flac.frameOffsets[frame]);
    spliced.append (static_cast<const char*> (other.bytes.getData()) + other.frameOffsets[frame], end (other, frame) - other.frameOffsets[frame]);
    spliced.append (static_cast<const char*> (flac.bytes.getData()) + end (flac, frame), flac.bytes.getSize() - end (flac, frame));
    flac.bytes = spliced;
}

} // namespace tarsio::test
