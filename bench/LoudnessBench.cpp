// Measuring speed of one file: 60 s of stereo 48 kHz 24-bit WAV, read in blocks and fed to both
// libebur128 states. Reported as "x_real_time": seconds of audio measured per second.
#include "analysis/LoudnessMeasurement.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{
constexpr double kRate = 48000.0;
constexpr int kSeconds = 60;

// A tone with a slow level change, written once per run into the temporary folder.
juce::File benchFile()
{
    static const juce::TemporaryFile temp (".wav");
    const auto file = temp.getFile();
    if (file.existsAsFile())
        return file;

    auto stream = file.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), kRate, 2, 24, {}, 0));
    if (writer == nullptr)
        return file;
    stream.release();

    constexpr int blockFrames = 48000;
    juce::AudioBuffer<float> block (2, blockFrames);
    for (int second = 0; second < kSeconds; ++second)
    {
        const float level = 0.1f + 0.4f * (float) second / (float) kSeconds;
        for (int i = 0; i < blockFrames; ++i)
        {
            const auto phase = juce::MathConstants<double>::twoPi * 997.0 * (double) (second * blockFrames + i) / kRate;
            block.setSample (0, i, level * (float) std::sin (phase));
            block.setSample (1, i, level * (float) std::cos (phase));
        }
        writer->writeFromAudioSampleBuffer (block, 0, blockFrames);
    }
    return file;
}

void BM_MeasureOneMinuteStereoWav (benchmark::State& state)
{
    const auto file = benchFile();
    for (auto _ : state)
    {
        const auto result = LoudnessMeasurement::measureFile (file, {});
        if (! result.has_value() || result->isError())
            state.SkipWithError ("measurement failed");
        benchmark::DoNotOptimize (result);
    }
    state.counters["x_real_time"] = benchmark::Counter ((double) kSeconds * (double) state.iterations(),
                                                        benchmark::Counter::kIsRate);
}
}

BENCHMARK (BM_MeasureOneMinuteStereoWav)->Unit (benchmark::kMillisecond)->UseRealTime();
