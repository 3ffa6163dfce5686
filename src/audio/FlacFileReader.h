#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// FLAC files, read through libFLAC's stream decoder in place of JUCE 7.0.5's FLAC reader. That one
// copies as many channels from every frame as the header (STREAMINFO) claims, reading through
// channel pointers that a frame carrying fewer does not have, and shifts negative samples left.
// Here every frame is checked against the header: its channels, bits per sample, rate and block
// size. A file whose first frame differs is refused; a later frame that differs ends the audio
// there (silence, from the start of the read that meets it, and the read reports failure). A length
// the header claims is believed only once a frame holding its last sample is found; else the frames
// are counted. Samples are given as JUCE's reader gives them, at 4 to 32 bits and up to 8
// channels, and reads seek anywhere.
//
// The reader reads only through the stream it is given (AudioFileOpening::openRegularFile's ends
// every read once the calling thread is asked to exit). No UI; one thread at a time.
class FlacFileReader final : public juce::AudioFormatReader
{
public:
    // Takes the stream; check isOpen() before reading.
    explicit FlacFileReader (juce::InputStream* stream);
    ~FlacFileReader() override;

    // False when the header is not sound, the first frame does not match it, or the calling thread
    // was asked to exit while the file was opened.
    bool isOpen() const noexcept;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    struct Decoder;
    std::unique_ptr<Decoder> decoder;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlacFileReader)
};

// The format AudioFileOpening registers for ".flac": reading only.
class FlacFileFormat final : public juce::AudioFormat
{
public:
    FlacFileFormat();

    juce::Array<int> getPossibleSampleRates() override;
    juce::Array<int> getPossibleBitDepths() override;
    bool canDoStereo() override { return true; }
    bool canDoMono() override { return true; }
    bool isCompressed() override { return true; }

    juce::AudioFormatReader* createReaderFor (juce::InputStream* stream, bool deleteStreamIfOpeningFails) override;
    juce::AudioFormatWriter* createWriterFor (juce::OutputStream*, double, unsigned int, int,
                                              const juce::StringPairArray&, int) override
    {
        return nullptr;
    }

    using juce::AudioFormat::createWriterFor;
};
