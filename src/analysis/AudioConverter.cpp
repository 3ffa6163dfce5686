#include "analysis/AudioConverter.h"
#include "analysis/WavHeaderCopy.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstring>
#include <memory>

namespace
{
// What an ISRC code is made of; hyphens, spaces and lower-case letters are dropped, not converted.
const char* const kIsrcMetadataCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The bit depth that the last "fmt " chunk of the header image claims: the chunk the reader keeps.
int claimedBitsPerSample (const juce::MemoryBlock& image)
{
    int bits = 0;
    const auto* bytes = static_cast<const char*> (image.getData());

    for (size_t pos = 12; pos + 8 <= image.getSize();)
    {
        const auto size = (size_t) juce::ByteOrder::littleEndianInt (bytes + pos + 4);
        if (size > image.getSize() - pos - 8)
            break;
        if (std::memcmp (bytes + pos, "fmt ", 4) == 0 && size >= 16)
            bits = juce::ByteOrder::littleEndianShort (bytes + pos + 22);
        pos += 8 + size + (size & 1);
    }

    return bits;
}
} // namespace

void AudioConverter::getFileInfo (const juce::File& file, double& sampleRate, int& bitsPerSample, juce::String& isrc)
{
    // Only the WAV format claims ".wav" files; it parses a copy of the header chunks, never the file.
    juce::MemoryBlock header;
    if (! WavHeaderCopy::copyHeader (file, header))
        return;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (new juce::MemoryInputStream (header, false),
                                                                          true));
    // For a depth it cannot use (above 64) the reader works one out from the byte rate: that is not
    // what the file says, so the file counts as unreadable.
    if (reader == nullptr || (int) reader->bitsPerSample != claimedBitsPerSample (header))
        return;

    sampleRate = reader->sampleRate;
    bitsPerSample = (int) reader->bitsPerSample;
    isrc = reader->metadataValues.getValue ("ISRC", {});

    if (isrc.isNotEmpty())
        isrc = isrc.retainCharacters (kIsrcMetadataCharacters);
}
