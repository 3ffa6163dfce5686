// A preview's start as the user meets it, for ten-minute files: from the click on the rename page to
// the transport running, and the longest the window froze meanwhile, against one plain decode of the
// same file; with the memory the start takes on top of what the process already holds.
#include "WindowBench.h"
#include "preview/PreviewScan.h"
#include "rename/Rename.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include <chrono>
#include <fstream>
#include <string>

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

// While it exists, ALSA's default output is alsa-lib's null device behind a plug: a real device
// that the audio thread pulls (unpaced, faster than real time), with no sound card. The benchmarks
// after it find no device again, as their idle figures assume.
class NullAlsaDevice final
{
public:
    NullAlsaDevice()
    {
        if (const auto* old = getenv ("ALSA_CONFIG_PATH"))
            previous = old;
        config.replaceWithText ("pcm.!default { type plug  slave { pcm { type null }  format S32_LE  rate 48000  channels 2 } }\n");
        setenv ("ALSA_CONFIG_PATH", config.getFullPathName().toRawUTF8(), 1);
    }

    ~NullAlsaDevice()
    {
        if (previous.has_value())
            setenv ("ALSA_CONFIG_PATH", previous->c_str(), 1);
        else
            unsetenv ("ALSA_CONFIG_PATH");
        config.deleteFile();
    }

private:
    juce::File config = juce::File::createTempFile (".asoundrc");
    std::optional<std::string> previous;
};

// One plain decode of the whole file, in blocks, as a reference for the preview's start.
double plainDecodeMs (const juce::File& file)
{
    const auto start = juce::Time::getMillisecondCounterHiRes();
    auto reader = PreviewScan::createReader (file);
    juce::AudioBuffer<float> block ((int) reader->numChannels, 65536);
    for (juce::int64 position = 0; position < reader->lengthInSamples; position += block.getNumSamples())
        reader->read (&block, 0, block.getNumSamples(), position, true, true);
    return juce::Time::getMillisecondCounterHiRes() - start;
}

// From a click on a row's play button of the rename page, shown in a window with the message loop
// and its audio output on a device, to the preview's transport running; the longest time the message
// thread was held meanwhile and until the bar drew the waveform; one plain decode of the file, taken
// in every iteration, as the reference. A first play scans the file (its time is moved, so nothing
// is known of it); a second play finds what the first one's scan kept.
void measurePreviewStart (benchmark::State& state, const juce::File& file, bool secondPlay)
{
    if (! file.existsAsFile())
    {
        state.SkipWithError ("the benchmark file could not be made (is lame installed?)");
        return;
    }

    const juce::ScopedJuceInitialiser_GUI gui;
    const NullAlsaDevice device;
    juce::MixerAudioSource mixer;
    juce::AudioSourcePlayer sourcePlayer;
    juce::AudioDeviceManager deviceManager;
    sourcePlayer.setSource (&mixer);
    deviceManager.initialise (0, 2, nullptr, true);
    deviceManager.addAudioCallback (&sourcePlayer);

    const long residentBefore = statusKiB ("VmRSS:");
    resetPeakResidentMemory();
    double decodeMs = 0.0, longestHoldMs = 0.0, idleHoldMs = 0.0, waveformShownMs = 0.0;
    {
        Rename page;
        page.setAudioOutput (&mixer, &deviceManager);
        page.addList ({ file.getFullPathName().toStdString() });
        bench::ScopedWindow window (page, 860, 587);
        auto& player = page.playbackThread;
        auto& playButton = page.rowInView (0)->playButton;
        const auto click = [&] { playButton.setToggleState (! playButton.getToggleState(), juce::sendNotificationSync); };
        const auto stop = [&] { click(); bench::pumpUntil ([&] { return player.currentRow.load() < 0; }); bench::pumpFor (50); };

        // The same watch over a second of doing nothing: what the machine's load alone costs the loop.
        {
            bench::MessageThreadWatch idle;
            bench::pumpFor (1000);
            idleHoldMs = idle.longestHoldMs();
        }

        for (auto _ : state)
        {
            decodeMs += plainDecodeMs (file);
            file.setLastModificationTime (juce::Time::getCurrentTime());
            if (secondPlay)
            {
                click();
                bench::pumpUntil ([&] { return page.progressBar.isPreviewActive(); });
                stop();
            }

            bench::MessageThreadWatch watch;
            const auto start = std::chrono::steady_clock::now();
            click();
            bench::pumpUntil ([&] { return player.transportSource.isPlaying(); });
            state.SetIterationTime (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count());
            bench::pumpUntil ([&] { return page.progressBar.isPreviewActive(); });
            waveformShownMs += std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
            bench::pumpFor (100);
            longestHoldMs = juce::jmax (longestHoldMs, watch.longestHoldMs());

            if (page.progressBar.getWaveformPeaks().size() != 1500u)
                state.SkipWithError ("the waveform did not arrive");
            stop();
        }
    }

    deviceManager.removeAudioCallback (&sourcePlayer);
    sourcePlayer.setSource (nullptr);
    const auto iterations = (double) state.iterations();
    state.counters["plainDecodeMs"] = decodeMs / iterations;
    state.counters["waveformShownMs"] = waveformShownMs / iterations;
    state.counters["longestMessageHoldMs"] = longestHoldMs;
    state.counters["idleMessageHoldMs"] = idleHoldMs;
    state.counters["fileMiB"] = (double) file.getSize() / (1024.0 * 1024.0);
    state.counters["peakRssGrowthKiB"] = (double) (statusKiB ("VmHWM:") - residentBefore);
}
} // namespace

static void BM_PreviewStart_Wav10Min (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().wav (10), false); }
static void BM_PreviewStart_Mp310Min (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().mp3 (10), false); }
static void BM_PreviewStart_Mp310MinSecondPlay (benchmark::State& state) { measurePreviewStart (state, BenchFiles::get().mp3 (10), true); }

BENCHMARK (BM_PreviewStart_Wav10Min)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (5);
BENCHMARK (BM_PreviewStart_Mp310Min)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (BM_PreviewStart_Mp310MinSecondPlay)->UseManualTime()->Unit (benchmark::kMillisecond)->Iterations (5);
