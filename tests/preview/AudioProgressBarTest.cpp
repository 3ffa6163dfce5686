#include <gtest/gtest.h>

#include "look/Palette.h"
#include "preview/AudioProgressBar.h"
#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstring>
#include <limits>

using tarsio::test::TempFolder;

namespace
{
juce::File writeBufferAsWav (const juce::File& file, const juce::AudioBuffer<float>& buffer, int bits)
{
    std::unique_ptr<juce::OutputStream> stream (file.createOutputStream());
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), 48000.0, (unsigned int) buffer.getNumChannels(), bits, {}, 0));
    EXPECT_NE (writer, nullptr);
    stream.release();
    writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
    return file;
}

// Writes a 16-bit WAV whose sample n of every channel is sampleAt (n).
juce::File writeWav (const juce::File& file, int frames, int channels, const std::function<float (int)>& sampleAt)
{
    juce::AudioBuffer<float> buffer (channels, frames);
    for (int ch = 0; ch < channels; ++ch)
        for (int n = 0; n < frames; ++n)
            buffer.setSample (ch, n, sampleAt (n));
    return writeBufferAsWav (file, buffer, 16);
}

juce::MouseEvent clickAt (juce::Component& target, float x)
{
    return tarsio::test::mouseEventAt (target, { x, (float) target.getHeight() * 0.5f });
}

juce::Colour pixelAt (juce::Component& component, int x, int y)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f).getPixelAt (x, y);
}
} // namespace

TEST (AudioProgressBar, StartsWithTheColumnHintAndTakesStatusTexts)
{
    AudioProgressBar bar;
    EXPECT_EQ (bar.getText(), "Left: original filenames, Right: suggested names from RULES (editable)");
    EXPECT_FALSE (bar.isPreviewActive());

    bar.setText (juce::String::fromUTF8 ("Added: a.wav \xe2\x86\x92 Kick1"));
    EXPECT_EQ (bar.getText(), juce::String::fromUTF8 ("Added: a.wav \xe2\x86\x92 Kick1"));
}

TEST (AudioProgressBar, SetProgressIgnoresNanAndInfinities)
{
    AudioProgressBar bar;
    bar.setProgress (12.5, 60.0, true);

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    bar.setProgress (nan, 60.0, false);
    bar.setProgress (1.0, nan, false);
    bar.setProgress (inf, 60.0, false);
    bar.setProgress (1.0, -inf, false);

    EXPECT_EQ (bar.getPositionSeconds(), 12.5);
    EXPECT_EQ (bar.getLengthSeconds(), 60.0);
    EXPECT_TRUE (bar.isPreviewActive());

    bar.setProgress (0.0, 0.0, false);
    EXPECT_FALSE (bar.isPreviewActive());
    EXPECT_EQ (bar.getLengthSeconds(), 0.0);
}

TEST (AudioProgressBar, ClickSeeksOnlyWhileAPreviewIsActive)
{
    AudioProgressBar bar;
    bar.setSize (200, 30);
    std::vector<double> seeks;
    bar.onSeek = [&] (double seconds) { seeks.push_back (seconds); };

    bar.mouseDown (clickAt (bar, 50.0f));
    bar.setProgress (0.0, 0.0, true);   // active but no length yet
    bar.mouseDown (clickAt (bar, 50.0f));
    EXPECT_TRUE (seeks.empty());

    bar.setProgress (3.0, 60.0, true);
    bar.mouseDown (clickAt (bar, 0.0f));
    bar.mouseDown (clickAt (bar, 50.0f));
    bar.mouseDown (clickAt (bar, 199.0f));
    bar.mouseDown (clickAt (bar, 250.0f));
    bar.mouseDown (clickAt (bar, -20.0f));
    ASSERT_EQ (seeks.size(), 5u);
    EXPECT_DOUBLE_EQ (seeks[0], 0.0);
    EXPECT_NEAR (seeks[1], 15.0, 1.0e-4);
    EXPECT_NEAR (seeks[2], 59.7, 1.0e-4);
    EXPECT_NEAR (seeks[3], 60.0, 1.0e-4);
    EXPECT_DOUBLE_EQ (seeks[4], 0.0);

    bar.setProgress (0.0, 0.0, false);
    bar.mouseDown (clickAt (bar, 100.0f));
    EXPECT_EQ (seeks.size(), 5u);
}

TEST (AudioProgressBar, TimeTextReplacesTheStatusWhilePlaying)
{
    AudioProgressBar bar;
    bar.setSize (300, 30);
    bar.setText ("Playing: a.wav - Click waveform to jump to position");

    bar.setProgress (75.9, 100.0, true);
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_EQ (bar.getText(), "01:15");

    bar.setProgress (-3.0, 100.0, true);
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_EQ (bar.getText(), "00:00");

    bar.setProgress (6000.0, 100.0, true);   // past the end: no fill, but the time shows
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_EQ (bar.getText(), "100:00");

    // Leaving preview mode keeps the last text until the page writes a new one.
    bar.setProgress (0.0, 0.0, false);
    bar.createComponentSnapshot (bar.getLocalBounds());
    EXPECT_EQ (bar.getText(), "100:00");
}

TEST (AudioProgressBar, ProgressFillFollowsThePosition)
{
    AudioProgressBar bar;
    bar.setSize (300, 30);

    const auto track = pixelAt (bar, 150, 8);
    bar.setProgress (0.0, 10.0, true);
    EXPECT_EQ (pixelAt (bar, 150, 8), track);   // position 0: no fill

    bar.setProgress (10.0, 10.0, true);
    EXPECT_NE (pixelAt (bar, 150, 8), track);   // the whole length: filled to the right end
    EXPECT_NE (pixelAt (bar, 280, 8), track);

    bar.setProgress (0.01, 10.0, true);         // just above 0: the minimum fill from x 4 only
    EXPECT_NE (pixelAt (bar, 20, 15), track);
    EXPECT_EQ (pixelAt (bar, 150, 8), track);

    // Bars too low for a fill still paint.
    bar.setSize (300, 2);
    bar.setProgress (5.0, 10.0, true);
    bar.createComponentSnapshot (bar.getLocalBounds());
    bar.setSize (0, 0);
    bar.createComponentSnapshot ({ 0, 0, 1, 1 });
}

TEST (AudioProgressBar, WaveformHasOneNormalisedPeakPerBin)
{
    TempFolder folder;
    AudioProgressBar bar;

    bar.loadWaveform (writeWav (folder / "short.wav", 3000, 1, [] (int n) { return n == 1001 ? -0.5f : 0.25f; }));
    const auto& peaks = bar.getWaveformPeaks();
    ASSERT_EQ (peaks.size(), 1500u);
    EXPECT_FLOAT_EQ (peaks[500], 1.0f);   // frames 1000 and 1001
    EXPECT_NEAR (peaks[0], 0.5f, 1.0e-3f);
    EXPECT_NEAR (peaks[1499], 0.5f, 1.0e-3f);

    bar.loadWaveform (writeWav (folder / "tooShort.wav", 1499, 2, [] (int) { return 0.5f; }));
    EXPECT_TRUE (bar.getWaveformPeaks().empty());
}

TEST (AudioProgressBar, WaveformLeavesOutTheRemainderAndUsesEveryChannel)
{
    TempFolder folder;
    AudioProgressBar bar;

    // 1501 bins' worth of frames: the last 1000, the loudest, are not shown.
    const int binSize = 1000;
    bar.loadWaveform (writeWav (folder / "long.wav", 1501 * binSize, 2, [] (int n)
    {
        if (n >= 1500 * binSize) return 1.0f;
        return n / binSize == 10 ? 0.5f : 0.25f;
    }));
    const auto& peaks = bar.getWaveformPeaks();
    ASSERT_EQ (peaks.size(), 1500u);
    EXPECT_FLOAT_EQ (peaks[10], 1.0f);
    EXPECT_NEAR (peaks[1499], 0.5f, 1.0e-3f);

    // A peak in the second channel only counts as well.
    juce::AudioBuffer<float> buffer (2, 3000);
    buffer.clear();
    buffer.setSample (0, 100, 0.2f);
    buffer.setSample (1, 2000, 0.8f);
    bar.loadWaveform (writeBufferAsWav (folder / "stereo.wav", buffer, 24));
    ASSERT_EQ (bar.getWaveformPeaks().size(), 1500u);
    EXPECT_FLOAT_EQ (bar.getWaveformPeaks()[1000], 1.0f);
    EXPECT_NEAR (bar.getWaveformPeaks()[50], 0.25f, 1.0e-3f);
}

TEST (AudioProgressBar, NearSilentFileShowsNoWaveform)
{
    TempFolder folder;
    AudioProgressBar bar;
    bar.loadWaveform (writeWav (folder / "loud.wav", 3000, 1, [] (int) { return 0.5f; }));
    ASSERT_FALSE (bar.getWaveformPeaks().empty());

    // 0.0005 survives 24-bit but not the 0.001 threshold.
    juce::AudioBuffer<float> buffer (1, 3000);
    buffer.clear();
    buffer.setSample (0, 10, 0.0005f);
    bar.loadWaveform (writeBufferAsWav (folder / "quiet.wav", buffer, 24));
    EXPECT_TRUE (bar.getWaveformPeaks().empty());
}

TEST (AudioProgressBar, DamagedOrMissingFilesGiveNoWaveformAndNoHang)
{
    TempFolder folder;
    AudioProgressBar bar;
    const auto waveformOf = [&] (const juce::File& file)
    {
        bar.loadWaveform (writeWav (folder / "loud.wav", 3000, 1, [] (int) { return 0.5f; }));
        bar.loadWaveform (file);
        return bar.getWaveformPeaks().size();
    };

    EXPECT_EQ (waveformOf (folder / "missing.wav"), 0u);
    EXPECT_EQ (waveformOf (folder.get()), 0u);

    const auto garbage = folder / "garbage.wav";
    juce::MemoryBlock noise (4096);
    juce::Random random (42);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    garbage.replaceWithData (noise.getData(), noise.getSize());
    EXPECT_EQ (waveformOf (garbage), 0u);

    // A header that claims 2 GB of samples over a file of a few kilobytes: the bins are spread over
    // the frames that are there, instead of reading 2 GB of padding.
    const auto lying = writeWav (folder / "lying.wav", 30000, 1, [] (int n) { return 0.1f + (float) (n % 100) / 250.0f; });
    {
        juce::MemoryBlock bytes;
        lying.loadFileAsData (bytes);
        auto* data = static_cast<char*> (bytes.getData());
        for (size_t i = 12; i + 8 <= bytes.getSize(); ++i)
        {
            if (std::memcmp (data + i, "data", 4) == 0)
            {
                const auto claimed = juce::ByteOrder::swapIfBigEndian ((juce::uint32) 0xfffffff0u);
                std::memcpy (data + i + 4, &claimed, sizeof (claimed));
                break;
            }
        }
        lying.replaceWithData (bytes.getData(), bytes.getSize());
    }
    ASSERT_EQ (waveformOf (lying), 1500u);
    EXPECT_GT (bar.getWaveformPeaks()[1000], 0.2f);

    // A file cut off in the middle of its data.
    const auto cut = writeWav (folder / "cut.wav", 30000, 2, [] (int n) { return n < 15000 ? 0.5f : 0.25f; });
    {
        juce::MemoryBlock bytes;
        cut.loadFileAsData (bytes);
        cut.replaceWithData (bytes.getData(), bytes.getSize() / 2);
    }
    bar.loadWaveform (cut);
    EXPECT_LE (bar.getWaveformPeaks().size(), 1500u);
}
