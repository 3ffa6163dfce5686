#include "analysis/LoudnessMeasurement.h"

#include "preview/PreviewScan.h"

#include <cmath>
#include <limits>
#include <vector>

namespace
{
    // Both states see the same blocks; the true-peak state also keeps short-term loudness.
    constexpr int kPeakMode = EBUR128_MODE_S | EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK;
    constexpr int kLoudnessMode = EBUR128_MODE_I;

    // libebur128 takes at most 64 channels; anything beyond is refused by it anyway, and a header's
    // channel count must not size a block before that.
    constexpr unsigned int kMaxChannels = 64;

    // libebur128 1.2.6 accepts 16 and 17 Hz but then writes past its own buffers.
    constexpr double kMinSampleRate = 18.0;
}

LoudnessAnalyzer::LoudnessAnalyzer (int channelCount, int rateHz)
    : channels (channelCount), sampleRate (rateHz)
{
    if (channels <= 0 || sampleRate <= 0)
        return;

    peakState = ebur128_init ((unsigned int) channels, (unsigned long) sampleRate, kPeakMode);
    loudnessState = ebur128_init ((unsigned int) channels, (unsigned long) sampleRate, kLoudnessMode);
}

LoudnessAnalyzer::~LoudnessAnalyzer()
{
    if (peakState != nullptr)
        ebur128_destroy (&peakState);

    if (loudnessState != nullptr)
        ebur128_destroy (&loudnessState);
}

bool LoudnessAnalyzer::addFrames (const float* interleaved, size_t frames) noexcept
{
    return ebur128_add_frames_float (peakState, interleaved, frames) == EBUR128_SUCCESS
        && ebur128_add_frames_float (loudnessState, interleaved, frames) == EBUR128_SUCCESS;
}

float LoudnessAnalyzer::integratedLoudness() const noexcept
{
    double loudness = -std::numeric_limits<double>::infinity();
    if (ebur128_loudness_global (loudnessState, &loudness) != EBUR128_SUCCESS)
        return kNotAnalysedValue;

    return (float) loudness;
}

float LoudnessAnalyzer::truePeakDb() const noexcept
{
    float peak = 0.0f;

    for (int channel = 0; channel < channels; ++channel)
    {
        double channelPeak = 0.0;
        if (ebur128_true_peak (peakState, (unsigned int) channel, &channelPeak) == EBUR128_SUCCESS)
            peak = std::max (peak, (float) channelPeak);
    }

    return LoudnessMeasurement::peakToDb (peak);
}

namespace LoudnessMeasurement
{
float peakToDb (float peak) noexcept
{
    if (! (peak > 0.0f))
        return kTruePeakFloorDb;

    return std::max (20.0f * std::log10 (peak), kTruePeakFloorDb);
}

std::optional<LoudnessResult> measure (juce::AudioFormatReader& reader, juce::int64 frames,
                                       const std::function<bool()>& shouldExit)
{
    const auto exitRequested = [&shouldExit] { return shouldExit && shouldExit(); };

    // A rate beyond int (a 32-bit header field can hold one) must not be truncated into one.
    const double rate = reader.sampleRate;
    if (reader.numChannels == 0 || reader.numChannels > kMaxChannels
        || ! (rate >= kMinSampleRate && rate <= (double) std::numeric_limits<int>::max()))
        return LoudnessResult{};

    const int numChannels = (int) reader.numChannels;
    LoudnessAnalyzer analyzer (numChannels, (int) rate);
    if (! analyzer.isReady())
        return LoudnessResult{};

    juce::AudioBuffer<float> block (numChannels, kAnalysisBlockFrames);
    std::vector<float> interleaved ((size_t) numChannels * (size_t) kAnalysisBlockFrames);

    for (juce::int64 position = 0; position < frames; position += kAnalysisBlockFrames)
    {
        if (exitRequested())
            return std::nullopt;

        const int count = (int) std::min ((juce::int64) kAnalysisBlockFrames, frames - position);

        if (! reader.read (&block, 0, count, position, true, true))
            return LoudnessResult{};

        for (int channel = 0; channel < numChannels; ++channel)
        {
            const float* source = block.getReadPointer (channel);
            for (int frame = 0; frame < count; ++frame)
                interleaved[(size_t) frame * (size_t) numChannels + (size_t) channel] = source[frame];
        }

        if (! analyzer.addFrames (interleaved.data(), (size_t) count))
            return LoudnessResult{};
    }

    if (exitRequested())
        return std::nullopt;

    const float loudness = analyzer.integratedLoudness();
    if (loudness == kNotAnalysedValue)
        return LoudnessResult{};

    return LoudnessResult { loudness, analyzer.truePeakDb() };
}

std::optional<LoudnessResult> measureFile (const juce::File& file, const std::function<bool()>& shouldExit)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
        return LoudnessResult{};

    return measure (*reader, PreviewScan::readableLength (*reader, file.getSize()), shouldExit);
}
}
