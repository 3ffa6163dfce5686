#include "analysis/LoudnessMeasurement.h"

#include "audio/AudioFileOpening.h"

#include <cmath>
#include <limits>
#include <vector>

#include <sys/stat.h>

namespace
{
    // Without short-term mode the gating buffer is 400 ms, as it always was for the loudness: the
    // block sums, and so the values, stay the same to the last bit.
    constexpr int kMode = EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK;

    // libebur128 takes at most 64 channels; anything beyond is refused by it anyway, and a header's
    // channel count must not size a block before that.
    constexpr unsigned int kMaxChannels = 64;

    // libebur128 builds the K-weighting's high shelf (at 1,681.97 Hz) for the file's own rate, which
    // only works below half the rate. At lower rates the filter is unstable or mirrored: noise at
    // 2 kHz measured +inf LUFS, at 2.5 kHz -inf (as if silent), at 3.35 kHz +2,628 LUFS.
    constexpr double kMinSampleRate = 2.0 * 1681.974450955533;

    // Measurements of a file that changes meanwhile before it is reported as an error.
    constexpr int kMaxMeasureAttempts = 3;

    bool isSameVersion (const struct stat& a, const struct stat& b) noexcept
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
            && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    }
}

LoudnessAnalyzer::LoudnessAnalyzer (int channelCount, int rateHz, const std::vector<int>& roles)
    : channels (channelCount), sampleRate (rateHz)
{
    if (channels <= 0 || sampleRate <= 0)
        return;

    state = ebur128_init ((unsigned int) channels, (unsigned long) sampleRate, kMode);

    for (size_t channel = 0; state != nullptr && channel < roles.size() && channel < (size_t) channels; ++channel)
        ebur128_set_channel (state, (unsigned int) channel, roles[channel]);
}

LoudnessAnalyzer::~LoudnessAnalyzer()
{
    if (state != nullptr)
        ebur128_destroy (&state);
}

bool LoudnessAnalyzer::addFrames (const float* interleaved, size_t frames) noexcept
{
    return ebur128_add_frames_float (state, interleaved, frames) == EBUR128_SUCCESS;
}

float LoudnessAnalyzer::integratedLoudness() const noexcept
{
    double loudness = -std::numeric_limits<double>::infinity();
    if (ebur128_loudness_global (state, &loudness) != EBUR128_SUCCESS)
        return kNotAnalysedValue;

    return (float) loudness;
}

float LoudnessAnalyzer::truePeakDb() const noexcept
{
    float peak = 0.0f;

    for (int channel = 0; channel < channels; ++channel)
    {
        double channelPeak = 0.0;
        if (ebur128_true_peak (state, (unsigned int) channel, &channelPeak) == EBUR128_SUCCESS)
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

std::vector<int> channelRoles (int numChannels, juce::uint32 channelMask)
{
    // libebur128 weighs Mp060 to Mp110 (and their mirrors) as surrounds, everything else but
    // UNUSED as a front.
    constexpr int kLeftSurround = EBUR128_Mp110, kRightSurround = EBUR128_Mm110;
    static constexpr int kRoleOfSpeaker[] = {
        EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, // FL FR FC LFE
        kLeftSurround, kRightSurround,                               // BL BR
        EBUR128_Mp030, EBUR128_Mm030,                                // FLC FRC
        kLeftSurround,                                               // BC
        EBUR128_Mp090, EBUR128_Mm090,                                // SL SR
        EBUR128_Tp000,                                               // TC
        EBUR128_Up030, EBUR128_Up000, EBUR128_Um030,                 // TFL TFC TFR
        kLeftSurround, kLeftSurround, kRightSurround,                // TBL TBC TBR
    };

    std::vector<int> roles;
    if (channelMask == kNoChannelMask)
    {
        if (numChannels <= 6)
            return roles;

        roles = { EBUR128_LEFT, EBUR128_RIGHT, EBUR128_CENTER, EBUR128_UNUSED, kLeftSurround, kRightSurround };
        for (int channel = 6; channel < numChannels; ++channel)
            roles.push_back (channel % 2 == 0 ? kLeftSurround : kRightSurround);
        return roles;
    }

    // The file's channels follow the mask's speakers in bit order.
    for (int bit = 0; bit < 32 && (int) roles.size() < numChannels; ++bit)
        if ((channelMask >> bit) & 1u)
            roles.push_back (bit < (int) std::size (kRoleOfSpeaker) ? kRoleOfSpeaker[bit] : EBUR128_CENTER);

    while ((int) roles.size() < numChannels)
        roles.push_back (EBUR128_CENTER);

    return roles;
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
    const auto mask = (juce::uint32) reader.metadataValues.getValue ("ChannelMask", "0").getLargeIntValue();
    LoudnessAnalyzer analyzer (numChannels, (int) rate, channelRoles (numChannels, mask));
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

        // A sample that is not a finite number (a damaged float file) has no loudness: the file is
        // an error, not "inf dBTP". Any such sample makes the sum of the block's products with zero
        // a NaN.
        float poison = 0.0f;
        for (int channel = 0; channel < numChannels; ++channel)
        {
            const float* source = block.getReadPointer (channel);
            for (int frame = 0; frame < count; ++frame)
            {
                interleaved[(size_t) frame * (size_t) numChannels + (size_t) channel] = source[frame];
                poison += source[frame] * 0.0f;
            }
        }

        if (std::isnan (poison))
            return LoudnessResult{};

        if (! analyzer.addFrames (interleaved.data(), (size_t) count))
            return LoudnessResult{};
    }

    if (exitRequested())
        return std::nullopt;

    // Silence's -inf is shown as it is; any other value that is not a number is no measurement.
    const float loudness = analyzer.integratedLoudness(), truePeak = analyzer.truePeakDb();
    if (loudness == kNotAnalysedValue || ! (std::isfinite (loudness) || loudness < 0.0f) || ! std::isfinite (truePeak))
        return LoudnessResult{};

    return LoudnessResult { loudness, truePeak };
}

std::optional<LoudnessResult> measureFile (const std::string& path, const std::function<bool()>& shouldExit)
{
    // A file written over, cut or replaced while it is read would give values of neither version:
    // it is measured again, and is an error while it keeps changing (an export under way) or once
    // it is gone.
    for (int attempt = 0; attempt < kMaxMeasureAttempts; ++attempt)
    {
        struct stat before {}, after {};
        if (::stat (path.c_str(), &before) != 0)
            break;

        const auto reader = AudioFileOpening::createReader (path);
        const auto result = reader == nullptr ? std::optional<LoudnessResult> (LoudnessResult{})
                                              : measure (*reader, AudioFileOpening::readableLength (*reader, (juce::int64) before.st_size), shouldExit);

        if (! result.has_value() || (::stat (path.c_str(), &after) == 0 && isSameVersion (before, after)))
            return result;
    }

    return LoudnessResult{};
}

std::optional<LoudnessResult> measureFile (const juce::File& file, const std::function<bool()>& shouldExit)
{
    return measureFile (file.getFullPathName().toStdString(), shouldExit);
}
}
