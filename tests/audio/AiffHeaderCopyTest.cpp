// AIFF files are read through a checked copy of their header: the preview and the loudness panel
// must still get every sample, rate and length that the framework's reader gets from the file itself.
#include "audio/AudioFileOpening.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

TEST (AiffHeaderCopy, ReadsTheSamplesTheFrameworkReadsFromTheFile)
{
    juce::StringPairArray markers;
    for (const auto& [key, value] : { std::pair { "NumCuePoints", "1" }, { "Cue0Identifier", "1" }, { "Cue0Offset", "10" },
                                      { "NumCueLabels", "1" }, { "CueLabel0Identifier", "1" }, { "CueLabel0Text", "odd" },
                                      { "NumCueNotes", "1" }, { "CueNote0Identifier", "1" }, { "CueNote0Text", "a note" } })
        markers.set (key, value);
    const struct { const char* name; int channels, bits; double rate; juce::StringPairArray metadata; size_t cutTo; } cases[] = {
        { "8-bit mono.aiff", 1, 8, 8000.0, {}, 0 }, { "16-bit stereo, markers.aiff", 2, 16, 44100.0, markers, 0 },
        { "24-bit 6 channels.aif", 6, 24, 96000.0, {}, 0 }, { "16-bit stereo, cut off.aiff", 2, 16, 44100.0, markers, 3001 },
    };

    TempFolder folder;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::MemoryBlock bytes;
        {
            std::unique_ptr<juce::AudioFormatWriter> writer (juce::AiffAudioFormat().createWriterFor (new juce::MemoryOutputStream (bytes, false), c.rate, (unsigned int) c.channels, c.bits, c.metadata, 0));
            juce::AudioBuffer<float> samples (c.channels, 2000);
            for (int ch = 0; ch < c.channels; ++ch)
                for (int i = 0; i < 2000; ++i)
                    samples.setSample (ch, i, (float) std::sin (i * 0.01 * (ch + 1)) * 0.9f);
            writer->writeFromAudioSampleBuffer (samples, 0, 2000);
        }
        const auto file = folder / c.name;
        file.replaceWithData (bytes.getData(), c.cutTo > 0 ? c.cutTo : bytes.getSize());

        const auto checked = AudioFileOpening::createReader (file);
        std::unique_ptr<juce::AudioFormatReader> own (juce::AiffAudioFormat().createReaderFor (file.createInputStream().release(), true));
        ASSERT_TRUE (checked != nullptr && own != nullptr);
        EXPECT_EQ (std::tie (checked->sampleRate, checked->numChannels, checked->bitsPerSample, checked->lengthInSamples),
                   std::tie (own->sampleRate, own->numChannels, own->bitsPerSample, own->lengthInSamples));

        juce::AudioBuffer<float> a (c.channels, 2100), b (c.channels, 2100);
        checked->read (&a, 0, 2100, 0, true, true);
        own->read (&b, 0, 2100, 0, true, true);
        for (int ch = 0; ch < c.channels; ++ch)
            EXPECT_EQ (std::memcmp (a.getReadPointer (ch), b.getReadPointer (ch), 2100 * sizeof (float)), 0) << "channel " << ch;
    }
}
