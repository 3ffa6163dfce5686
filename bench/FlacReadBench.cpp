// FLAC decoding speed: the project's reader against JUCE's on the same file, in the same run.
// BM_ReadWholeFlac: ten minutes of stereo 44.1 kHz 24-bit FLAC opened and read from start to end
// in blocks of 8,192 frames, as the preview's scan and the loudness measurement read; argument 0
// is JUCE's reader, 1 the project's. "x_real_time" is seconds of audio read per second.
// BM_SeekAndReadFlac: the same file opened once, then 100 clicks along the waveform: a seek and
// 4,096 frames read from each place.
#include "audio/FlacFileReader.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace
{
constexpr double kRate = 44100.0;
constexpr int kSeconds = 600;

// A tone with a slow level change and a little noise, so that the frames compress as music does.
struct TempFile
{
    ~TempFile() { file.deleteFile(); }
    juce::File file;
};

const juce::File& benchFile()
{
    static const TempFile temp { []
    {
        const auto f = juce::File::createTempFile (".flac");
        auto stream = f.createOutputStream();
        std::unique_ptr<juce::AudioFormatWriter> writer (juce::FlacAudioFormat().createWriterFor (stream.get(), kRate, 2, 24, {}, 5));
        if (writer == nullptr)
            return juce::File();
        stream.release();

        juce::Random noise (1);
        juce::AudioBuffer<float> block (2, 44100);
        for (int second = 0; second < kSeconds; ++second)
        {
            for (int i = 0; i < block.getNumSamples(); ++i)
            {
                const double t = (second * block.getNumSamples() + i) / kRate;
                const auto level = 0.3 + 0.2 * std::sin (t * 0.5);
                block.setSample (0, i, (float) (level * std::sin (t * 2 * juce::MathConstants<double>::pi * 440.0) + 0.01 * noise.nextFloat()));
                block.setSample (1, i, (float) (level * std::sin (t * 2 * juce::MathConstants<double>::pi * 660.0) + 0.01 * noise.nextFloat()));
            }
            writer->writeFromAudioSampleBuffer (block, 0, block.getNumSamples());
        }
        return f;
    }() };
    return temp.file;
}

std::unique_ptr<juce::AudioFormatReader> openWith (bool project)
{
    auto stream = benchFile().createInputStream();
    if (stream == nullptr)
        return nullptr;
    juce::FlacAudioFormat juceFormat;
    FlacFileFormat projectFormat;
    auto& format = project ? static_cast<juce::AudioFormat&> (projectFormat) : juceFormat;
    return std::unique_ptr<juce::AudioFormatReader> (format.createReaderFor (stream.release(), true));
}

void setLabel (benchmark::State& state)
{
    state.SetLabel (state.range (0) == 0 ? "JUCE's reader" : "the project's reader");
}

void BM_ReadWholeFlac (benchmark::State& state)
{
    benchFile(); // written before the clock runs
    juce::AudioBuffer<float> block (2, 8192);
    for (auto _ : state)
    {
        const auto reader = openWith (state.range (0) == 1);
        if (reader == nullptr || reader->lengthInSamples != (juce::int64) (kSeconds * kRate))
        {
            state.SkipWithError ("the file was not read");
            return;
        }
        for (juce::int64 at = 0; at < reader->lengthInSamples; at += block.getNumSamples())
            reader->read (&block, 0, block.getNumSamples(), at, true, true);
        benchmark::DoNotOptimize (block.getSample (0, 0));
    }
    state.counters["x_real_time"] = benchmark::Counter ((double) kSeconds * (double) state.iterations(), benchmark::Counter::kIsRate);
    setLabel (state);
}

void BM_SeekAndReadFlac (benchmark::State& state)
{
    const auto reader = openWith (state.range (0) == 1);
    if (reader == nullptr)
    {
        state.SkipWithError ("the file was not read");
        return;
    }
    juce::AudioBuffer<float> block (2, 4096);
    juce::Random clicks (2);
    for (auto _ : state)
        for (int i = 0; i < 100; ++i)
            reader->read (&block, 0, block.getNumSamples(), (juce::int64) (clicks.nextDouble() * (double) (reader->lengthInSamples - 4096)), true, true);
    setLabel (state);
}
} // namespace

BENCHMARK (BM_ReadWholeFlac)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (BM_SeekAndReadFlac)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond);
