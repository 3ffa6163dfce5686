#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <ebur128.h>

#include <functional>
#include <optional>

// Integrated loudness (LUFS) and true peak (dBTP) of one audio file, measured with libebur128.
// No UI; every function runs on the thread that calls it (the "AudioAnalysis" worker in the
// application, the test thread in the tests).

// Reported for both values when a file cannot be measured; also the panel's "not measured yet".
constexpr float kNotAnalysedValue = -999.0f;
// Frames read from the file and fed to libebur128 at a time: memory stays at one block whatever
// length the file (or a damaged header) claims.
constexpr int kAnalysisBlockFrames = 8192;
// True peaks below this (and silence) are reported as this.
constexpr float kTruePeakFloorDb = -100.0f;

struct LoudnessResult
{
    float lufs = kNotAnalysedValue;     // -inf when no 400 ms block passes the gates
    float truePeak = kNotAnalysedValue; // dBTP, floored at kTruePeakFloorDb

    bool isError() const noexcept { return lufs == kNotAnalysedValue; }
};

// The two libebur128 states of one file: the true peak (with short-term and integrated loudness)
// and the integrated loudness on its own.
class LoudnessAnalyzer final
{
public:
    LoudnessAnalyzer (int channelCount, int rateHz);
    ~LoudnessAnalyzer();

    // False when libebur128 refused either state (channel count or rate it does not support).
    bool isReady() const noexcept { return peakState != nullptr && loudnessState != nullptr; }

    // Feeds interleaved frames (channels values per frame) to both states; false on failure.
    bool addFrames (const float* interleaved, size_t frames) noexcept;

    float integratedLoudness() const noexcept;
    // The largest true peak over every channel, in dBTP.
    float truePeakDb() const noexcept;

    ebur128_state* peakState = nullptr;
    ebur128_state* loudnessState = nullptr;
    int channels = 0;
    int sampleRate = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoudnessAnalyzer)
};

namespace LoudnessMeasurement
{
    // 20 log10 (peak), floored at kTruePeakFloorDb; the floor for a peak of 0 or less.
    float peakToDb (float peak) noexcept;

    // Measures `frames` frames of the reader from frame 0, block by block. shouldExit (may be
    // empty) is asked before every block and once more at the end: a true answer gives nothing.
    // A format libebur128 does not take, or a failed read, gives the error result.
    std::optional<LoudnessResult> measure (juce::AudioFormatReader& reader, juce::int64 frames,
                                           const std::function<bool()>& shouldExit);

    // Opens the file with the basic formats and measures the frames it really holds; the error
    // result when no reader takes it.
    std::optional<LoudnessResult> measureFile (const juce::File& file, const std::function<bool()>& shouldExit);
}
