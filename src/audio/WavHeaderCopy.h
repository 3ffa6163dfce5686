#pragma once

#include <juce_core/juce_core.h>

// A bounded walk over a WAV file's chunk list that copies only what the file-information reader
// needs (the "fmt " chunks, the ISRC items of the LIST/INFO chunks and the "axml" chunks, in file
// order) into a small RIFF image. A chunk of odd size is followed by its pad byte, or by the next
// chunk at once where its writer left the pad out. The framework's WAV reader then parses that image instead of the file itself, so a
// damaged or hostile file can neither make it allocate or read without bound, nor loop, nor divide
// by a rate of -1, and the audio data is never read. No UI; any thread.
namespace WavHeaderCopy
{
    // Largest metadata chunk copied; a larger one is left out of the image.
    constexpr juce::uint32 kMaxMetadataChunkBytes = 1u << 20;

    // Chunks walked before the walk gives up looking further.
    constexpr int kMaxChunks = 4096;

    // Where the audio data stands in the file; a data chunk cut off ends at the end of the file.
    struct DataRegion
    {
        juce::int64 offset = 0, length = 0;
    };

    // Fills image and returns true when the stream holds a RIFF (or RF64, or BW64) WAVE with a sane "fmt "
    // chunk and a "data" chunk header, and sets data (when given) to the first data chunk. A chunk
    // that runs past the end of the file (a recording cut off) ends the walk: the chunks before it are
    // copied, it and any after are not. A header whose sizes were never filled in (RIFF and data
    // sizes of 0) has its data run to the end of the file. Returns false for anything else (empty,
    // damaged, cut before its data, not a WAV).
    bool copyHeader (juce::InputStream& source, juce::MemoryBlock& image, DataRegion* data = nullptr);

    // The same for a file (the path's bytes, UTF-8 or not); false also when it is not a regular file.
    bool copyHeader (const std::string& path, juce::MemoryBlock& image);
}
