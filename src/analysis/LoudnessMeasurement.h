#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

#include <ebur128.h>

#include <functional>
#include <optional>
#include <vector>

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

// The libebur128 state of one file: integrated loudness and true peak, filtered once.
class LoudnessAnalyzer final
{
public:
    // roles: one libebur128 channel role per channel (LoudnessMeasurement::channelRoles); empty
    // keeps libebur128's own map.
    LoudnessAnalyzer (int channelCount, int rateHz, const std::vector<int>& roles = {});
    ~LoudnessAnalyzer();

    // False when libebur128 refused the state (channel count or rate it does not support).
    bool isReady() const noexcept { return state != nullptr; }

    // Feeds interleaved frames (channels values per frame); false on failure.
    bool addFrames (const float* interleaved, size_t frames) noexcept;

    float integratedLoudness() const noexcept;
    // The largest true peak over every channel, in dBTP.
    float truePeakDb() const noexcept;

    ebur128_state* state = nullptr;
    int channels = 0;
    int sampleRate = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LoudnessAnalyzer)
};

namespace LoudnessMeasurement
{
    // 20 log10 (peak), floored at kTruePeakFloorDb; the floor for a peak of 0 or less.
    float peakToDb (float peak) noexcept;

    // The WAVE_FORMAT_EXTENSIBLE speaker mask: 0 where the file has none.
    constexpr juce::uint32 kNoChannelMask = 0;

    // libebur128 roles weighing the channels as BS.1770 does: from the speaker mask where there is
    // one, else by the usual order (L, R, C, LFE, Ls, Rs, then further surrounds). LFE never
    // counts, side and back surrounds count as surrounds; up to six channels without a mask keep
    // libebur128's own map (mono counts once, not as dual mono). Channels past the mask's speakers
    // count as fronts.
    std::vector<int> channelRoles (int numChannels, juce::uint32 channelMask);

    // Measures `frames` frames of the reader from frame 0, block by block. shouldExit (may be
    // empty) is asked before every block and once more at the end: a true answer gives nothing.
    // A format libebur128 does not take or cannot weigh (rates below 3,364 Hz), a failed read or a
    // value that is not a number (other than silence's -inf) gives the error result.
    std::optional<LoudnessResult> measure (juce::AudioFormatReader& reader, juce::int64 frames,
                                           const std::function<bool()>& shouldExit);

    // Opens the file (the path's bytes, UTF-8 or not) with the basic formats and measures the frames
    // it really holds; the error result when no reader takes it. A file written over or replaced
    // while it is read is measured again; one that keeps changing, or is gone, gives the error result.
    std::optional<LoudnessResult> measureFile (const std::string& path, const std::function<bool()>& shouldExit);
    std::optional<LoudnessResult> measureFile (const juce::File& file, const std::function<bool()>& shouldExit);
}
