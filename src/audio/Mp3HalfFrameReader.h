#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <vector>

// MP3 files of the lower rates (MPEG-2 and 2.5 Layer III: 8 to 24 kHz, as low-bitrate voice and
// podcast encodes are), read through JUCE 7.0.5's MP3 reader. That reader takes every frame for 1,152
// samples, where a frame of these rates holds 576: it claims twice the length, and seeks to about
// twice the time asked; read past the real end, it played earlier parts of the file again.
// This reader gives the true length and reads the file straight through: a jump forward decodes up
// to the place, a jump back starts again at the file's first frame, where JUCE's seek is right.
// No UI; one thread at a time.
class Mp3HalfFrameReader final : public juce::AudioFormatReader
{
public:
    // Takes JUCE's reader, not yet read from, of a stream Mp3FrameCount::holdsHalfFrames takes.
    explicit Mp3HalfFrameReader (std::unique_ptr<juce::AudioFormatReader> mp3Reader);
    ~Mp3HalfFrameReader() override;

    bool readSamples (int* const* destChannels, int numDestChannels, int startOffsetInDestBuffer,
                      juce::int64 startSampleInFile, int numSamples) override;

private:
    bool skipTo (juce::int64 frame);

    std::unique_ptr<juce::AudioFormatReader> source;
    juce::int64 sourcePosition = 0;   // where the source reads next without seeking
    bool sourceEnded = false;          // it ran out of frames before sourcePosition
    std::vector<float> scratch;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Mp3HalfFrameReader)
};
