#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <functional>
#include <memory>
#include <vector>

// One pass over a file finds everything a preview needs before it starts: where it becomes
// audible, how loud it peaks, and the waveform the bar draws. Files are read block by block:
// memory stays at one block whatever length the file (or a damaged header) claims.
// UI-free; called on the preview worker, usable from any single thread.
namespace PreviewScan
{
    // A frame is audible when any channel's sample magnitude is strictly above this.
    constexpr float kAudibleLevel = 0.01f;
    // Peaks at or below this are treated as silence: unity gain, and no waveform.
    constexpr float kSilencePeak = 0.001f;
    // Upper bound of one block's sample memory, whatever the channel count.
    constexpr int kBlockBytes = 1 << 20;
    // The waveform's bins: the file's length divided by this, in whole frames per bin.
    constexpr int kWaveformBins = 1500;

    // A reader for the file (see AudioFileOpening::createReader), or null when it cannot be played.
    std::unique_ptr<juce::AudioFormatReader> createReader (const std::string& path);
    std::unique_ptr<juce::AudioFormatReader> createReader (const juce::File& file);

    struct Result
    {
        juce::int64 startFrame = 0; // first audible frame, 0 when none is
        float peak = 0.0f;          // largest sample magnitude over every channel
        // Peak of each bin over every channel, divided by the loudest bin. The frames after the last
        // whole bin are not shown; a bin whose read failed is left out. Empty for a file of fewer
        // than kWaveformBins frames or a near-silent one.
        std::vector<float> bins;
        bool completed = false;     // false when the scan was stopped before the end
    };

    // Frames per block for a channel count, so that one block stays within kBlockBytes.
    int blockFramesFor (int numChannels);

    // Reads the whole file (its readable length) from frame 0; shouldStop (may be empty) is asked before every block,
    // and a true answer ends the scan at once with completed false.
    Result scan (juce::AudioFormatReader& reader, juce::int64 fileBytes, const std::function<bool()>& shouldStop,
                 int blockFrames = 0);

    // Samples that are not numbers or infinite (a damaged float file) become silence, so that they
    // reach neither the peak, the waveform's drawing, nor the loudspeakers.
    void silenceNonFinite (juce::AudioBuffer<float>& buffer, int startSample, int numSamples) noexcept;

    // The gain that brings the peak to full scale; unity for silence.
    float gainForPeak (float peak) noexcept;
}
