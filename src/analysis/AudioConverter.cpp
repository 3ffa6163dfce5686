#include "analysis/AudioConverter.h"
#include "audio/WavDoubleReader.h"
#include "audio/WavHeaderCopy.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace
{
// What an ISRC code is made of; hyphens, spaces and lower-case letters are dropped, not converted.
const char* const kIsrcMetadataCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
// An ISRC has 12 characters; a field far longer is damaged, and the panel's editor crashes drawing
// a text of some 8 million pixels (a million characters fit in a header's INFO list).
constexpr int kMaxIsrcCharacters = 64;
} // namespace

void AudioConverter::getFileInfo (const juce::File& file, double& sampleRate, int& bitsPerSample, juce::String& isrc)
{
    getFileInfo (file.getFullPathName().toStdString(), sampleRate, bitsPerSample, isrc);
}

void AudioConverter::getFileInfo (const std::string& path, double& sampleRate, int& bitsPerSample, juce::String& isrc)
{
    // Only the WAV format claims ".wav" files; it parses a copy of the header chunks, never the file.
    juce::MemoryBlock header;
    if (! WavHeaderCopy::copyHeader (path, header))
        return;

    // 64-bit float samples, which the framework refuses: it reads the rest of the header narrowed.
    const bool doubles = WavDoubleReader::narrowFormat (header);
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (new juce::MemoryInputStream (header, false),
                                                                          true));
    if (reader == nullptr)
        return;

    sampleRate = reader->sampleRate;
    bitsPerSample = doubles ? 64 : (int) reader->bitsPerSample;
    isrc = reader->metadataValues.getValue ("ISRC", {});

    if (isrc.isNotEmpty())
        isrc = isrc.retainCharacters (kIsrcMetadataCharacters).substring (0, kMaxIsrcCharacters);
}
