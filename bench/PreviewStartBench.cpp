// Time from a play request to the preview's transport running, for ten-minute files, and the
// memory the start-up scan takes on top of what the process already holds.
#include "preview/AudioPlaybackThread.h"
#include "preview/PreviewScan.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace
{
// The process's resident memory and its peak since the last reset, in KiB (Linux).
long statusKiB (const char* key)
{
    std::ifstream status ("/proc/self/status");
    for (std::string line; std::getline (status, line);)
        if (line.rfind (key, 0) == 0)
            return std::stol (line.substr (std::string (key).size()));
    return -1;
}

void resetPeakResidentMemory()
{
    std::ofstream ("/proc/self/clear_refs") << "5";
}

// Ten minutes (or another length) of stereo 48 kHz: a quiet second, then a tone with a little
// noise; made once per run in a temporary folder, the MP3 with lame.
class BenchFiles
{
public:
    static BenchFiles& get()
    {
        static BenchFiles files;
        return files;
    }

    juce::File wav (int minutes)
    {
        const auto file = folder.getChildFile ("preview-" + juce::String (minutes) + "min.wav");
        if (! file.existsAsFile())
            writeWav (file, (juce::int64) minutes * 60 * 48000);
        return file;
    }

    juce::File mp3 (int minutes)
    {
        const auto file = folder.getChildFile ("preview-" + juce::String (minutes) + "min.mp3");
        if (! file.existsAsFile())
        {
            juce::ChildProcess lame;
            if (! lame.start (juce::StringArray { "lame", "--silent", "-b", "192", wav (minutes).getFullPathName(),
                                                  file.getFullPathName() })
                || ! lame.waitForProcessToFinish (600000) || lame.getExitCode() != 0)
                file.deleteFile();
        }
        return file;
    }

    ~BenchFiles() { folder.deleteRecursively(); }

private:
    BenchFiles()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("tarsio-bench", "", false))
    {
        folder.createDirectory();
    }

    static void writeWav (const juce::File& file, juce::int64 frames)
    {
        juce::WavAudioFormat wavFormat;
        auto stream = file.createOutputStream();
        std::unique_ptr<juce::AudioFormatWriter> writer (wavFormat.createWriterFor (stream.get(), 48000.0, 2, 16, {}, 0));
        if (writer == nullptr)
            return;
        stream.release();

        juce::Random random (1);
        juce::AudioBuffer<float> block (2, 48000);
        for (juce::int64 start = 0; start < frames; start += block.getNumSamples())
        {
            const int n = (int) juce::jmin ((juce::int64) block.getNumSamples(), frames - start);
            const float level = start < 48000 ? 0.005f : 0.6f;
            for (int i = 0; i < n; ++i)
            {
                const auto phase = juce::MathConstants<double>::twoPi * 440.0 * (double) (start + i) / 48000.0;
                block.setSample (0, i, level * (0.8f * (float) std::sin (phase) + 0.2f * (random.nextFloat() - 0.5f)));
                block.setSample (1, i, level * (0.8f * (float) std::cos (phase) + 0.2f * (random.nextFloat() - 0.5f)));
            }
            writer->writeFromAudioSampleBuffer (block, 0, n);
        }
    }

    juce::File folder;
};

void waitForRow (const AudioPlaybackThread& player, int row)
{
    while (player.currentRow.load() != row)
        std::this_thread::sleep_for (std::chrono::microseconds (50));
}

void measurePreviewStart (benchmark::State& state, const juce::File& file)
{
    if (! file.existsAsFile())
    {
        state.SkipWithError ("the benchmark file could not be made (is lame installed?)");
        return;
    }

    // The mixer is not pulled: the transport counts as running once started.
    juce::MixerAudioSource mixer;
    juce::AudioDeviceManager deviceManager;
    AudioPlaybackThread player;
    player.mixer = &mixer;
    player.deviceManager = &deviceManager;
    player.startThread();

    const long residentBefore = statusKiB ("VmRSS:");
    resetPeakResidentMemory();

    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        player.playFile (file.getFullPathName().toStdString(), 0);
        waitForRow (player, 0);
        state.SetIterationTime (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());

        if (! player.transportSource.isPlaying())
            state.SkipWithError ("the transport did not run");

        player.stopPlayback();
        waitForRow (player, -1);
    }

    state.counters["fileMiB"] = (double) file.getSize() / (1024.0 * 1024.0);
    state.counters["peakRssGrowthKiB"] = (double) (statusKiB ("VmHWM:") - residentBefore);
    state.counters["scanBlockKiB"] = PreviewScan::blockFramesFor (2) * 2.0 * sizeof (float) / 1024.0;
    player.shutdown();
}
} // namespace

static void BM_PreviewStart_Wav10Min (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().wav (10)); }
static void BM_PreviewStart_Mp310Min (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().mp3 (10)); }
// The same memory for a tenth of the length: the scan's memory does not grow with the file.
static void BM_PreviewStart_Wav1Min (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().wav (1)); }

BENCHMARK (BM_PreviewStart_Wav1Min)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (5);
BENCHMARK (BM_PreviewStart_Wav10Min)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (5);
BENCHMARK (BM_PreviewStart_Mp310Min)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (3);
