#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <string>

// The one way audio files are opened for reading, by the preview, its waveform and the loudness
// panel. Anyone can put anything in a folder: a FIFO, device or socket named ".wav" would block the
// reader for ever, and JUCE 7.0.5's WAV reader loops for ever or crashes on some damaged headers
// (its AIFF reader allocates what they claim), so nothing is opened that is not a regular file,
// and a WAV or AIFF file's header is parsed from a checked copy. No UI; any thread.
namespace AudioFileOpening
{
    // More channels than any speaker layout has: such a header is damaged. JUCE's WAV and AIFF
    // readers take 32,768 channels or more as a negative count, and never finish a read of frames
    // over 5,760 bytes; 64 channels of 32 bits stay far below that.
    constexpr unsigned int kMaxChannels = 64;
    // Float samples may also be of 64 bits (WavDoubleReader).
    constexpr unsigned int kMaxBitsPerSample = 32;
    // Rates no recording has: a header claiming 1 Hz made a preview of a few kilobytes last for hours.
    constexpr double kMinSampleRate = 1000.0, kMaxSampleRate = 1536000.0;

    // Paths are the bytes of the file's name, UTF-8 or not: a juce::String would lose bytes that are
    // not UTF-8. The juce::File overloads are for callers that hold one.

    // A stream on the file when it is a regular file (or a link to one) at the moment it is opened;
    // null for anything else, and nothing can block on the way. Reads end (return 0) once the calling
    // thread is asked to exit, so that a worker stops at once whatever a format's reader is doing.
    std::unique_ptr<juce::InputStream> openRegularFile (const std::string& path);

    // A reader from the formats that claim the file's extension (WAV, AIFF, FLAC, Ogg Vorbis, MP3),
    // or null when none reads it or its channel count, sample size or rate is beyond what is read safely.
    std::unique_ptr<juce::AudioFormatReader> createReader (const std::string& path);
    std::unique_ptr<juce::AudioFormatReader> createReader (const juce::File& file);

    // The frames worth reading: a damaged header may claim far more than the file holds, and reading
    // that many frames of padding would keep a thread busy for minutes.
    juce::int64 readableLength (const juce::AudioFormatReader& reader, juce::int64 fileBytes);
}
