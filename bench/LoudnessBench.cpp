// Loudness measuring speed and memory.
// BM_MeasureOneMinuteStereoWav: 60 s of stereo 48 kHz 24-bit WAV, as "x_real_time" (seconds of
// audio measured per second).
// BM_MeasureOneHourAgainstFfmpeg: one hour of the same, measured by a child process of this
// benchmark and by `ffmpeg -af ebur128=peak=true` on the same file, alternately, in the same run:
// the best wall time and the peak resident memory of each whole process. The ffmpeg figures are
// left out where ffmpeg is not installed.
#include "analysis/LoudnessMeasurement.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <string>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
constexpr double kRate = 48000.0;
constexpr const char* kProbeVariable = "TARSIO_LOUDNESS_PROBE";

// Started again as a child with kProbeVariable naming a file: measures it, prints the values and
// leaves before the benchmark's main, so that the child's memory is the measurement's alone.
[[maybe_unused]] const bool probeRun = []
{
    const char* path = std::getenv (kProbeVariable);
    if (path == nullptr)
        return false;

    const auto result = LoudnessMeasurement::measureFile (juce::File (juce::String::fromUTF8 (path)), {});
    if (! result.has_value() || result->isError())
        std::_Exit (1);

    const auto status = juce::File ("/proc/self/status").loadFileAsString();
    const auto peakKb = status.fromFirstOccurrenceOf ("VmHWM:", false, false).getDoubleValue();
    std::printf ("%.9g %.9g %.0f\n", (double) result->lufs, (double) result->truePeak, peakKb);
    std::fflush (stdout);
    std::_Exit (0);
}();

// A tone with a slow level change and a second, quieter tone on the right, in blocks of a second.
juce::File writeBenchFile (const juce::File& file, int seconds)
{
    auto stream = file.createOutputStream();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (stream.get(), kRate, 2, 24, {}, 0));
    if (writer == nullptr)
        return {};
    stream.release();

    constexpr int blockFrames = 48000;
    juce::AudioBuffer<float> block (2, blockFrames);
    for (int second = 0; second < seconds; ++second)
    {
        const float level = 0.1f + 0.4f * (float) (second % 60) / 60.0f;
        for (int i = 0; i < blockFrames; ++i)
        {
            const auto t = (double) (second * blockFrames + i) / kRate;
            const auto phase = juce::MathConstants<double>::twoPi * 997.0 * t;
            block.setSample (0, i, level * (float) std::sin (phase));
            block.setSample (1, i, level * (float) std::cos (phase) + 0.05f * (float) std::sin (0.37 * phase));
        }
        writer->writeFromAudioSampleBuffer (block, 0, blockFrames);
    }
    return file;
}

juce::File benchFile (int seconds)
{
    static std::map<int, std::unique_ptr<juce::TemporaryFile>> files;
    auto& temp = files[seconds];
    if (temp == nullptr)
    {
        temp = std::make_unique<juce::TemporaryFile> (".wav");
        writeBenchFile (temp->getFile(), seconds);
    }
    return temp->getFile();
}

struct ChildRun
{
    bool ok = false;
    double seconds = 0.0;
    double peakMegabytes = 0.0;
    std::string output; // what the child wrote on the stream asked for
};

// The child's peak resident memory so far, from its own memory map (ru_maxrss would also count the
// benchmark's memory, which a spawned child shares until it executes).
double peakMegabytesOf (pid_t pid)
{
    const auto status = juce::File ("/proc/" + juce::String (pid) + "/status").loadFileAsString();
    const auto line = status.fromFirstOccurrenceOf ("VmHWM:", false, false);
    return line.isEmpty() ? 0.0 : line.getDoubleValue() / 1024.0;
}

// Runs args with the extra environment entry (may be empty), capturing stdout or stderr.
ChildRun runChild (const std::vector<std::string>& args, const std::string& extraEnv, bool captureStderr)
{
    ChildRun run;
    int pipeFds[2];
    if (pipe (pipeFds) != 0)
        return run;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_adddup2 (&actions, pipeFds[1], captureStderr ? 2 : 1);
    posix_spawn_file_actions_addopen (&actions, captureStderr ? 1 : 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose (&actions, pipeFds[0]);

    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back (const_cast<char*> (a.c_str()));
    argv.push_back (nullptr);

    std::vector<char*> envp;
    for (char** e = environ; *e != nullptr; ++e)
        envp.push_back (*e);
    if (! extraEnv.empty())
        envp.push_back (const_cast<char*> (extraEnv.c_str()));
    envp.push_back (nullptr);

    const auto start = juce::Time::getMillisecondCounterHiRes();
    pid_t pid = 0;
    const int spawned = posix_spawnp (&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy (&actions);
    close (pipeFds[1]);

    if (spawned == 0)
    {
        std::thread drain ([&run, fd = pipeFds[0]]
        {
            char buffer[4096];
            for (ssize_t n; (n = read (fd, buffer, sizeof (buffer))) > 0;)
                run.output.append (buffer, (size_t) n);
        });

        int status = 0;
        for (;;)
        {
            const auto peak = peakMegabytesOf (pid);
            const auto done = waitpid (pid, &status, WNOHANG);
            if (done != 0)
            {
                run.ok = done == pid && WIFEXITED (status) && WEXITSTATUS (status) == 0;
                break;
            }
            run.peakMegabytes = std::max (run.peakMegabytes, peak);
            usleep (2000);
        }
        run.seconds = (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
        drain.join();
    }
    close (pipeFds[0]);
    return run;
}

bool ffmpegInstalled()
{
    return runChild ({ "ffmpeg", "-hide_banner", "-version" }, {}, false).ok;
}

// The "I:" and "Peak:" values of ffmpeg's summary.
double summaryValue (const std::string& text, const std::string& key)
{
    const auto at = text.rfind (key);
    return at == std::string::npos ? std::nan ("") : std::atof (text.c_str() + at + key.size());
}

void BM_MeasureOneMinuteStereoWav (benchmark::State& state)
{
    const auto file = benchFile (60);
    for (auto _ : state)
    {
        const auto result = LoudnessMeasurement::measureFile (file, {});
        if (! result.has_value() || result->isError())
            state.SkipWithError ("measurement failed");
        benchmark::DoNotOptimize (result);
    }
    state.counters["x_real_time"] = benchmark::Counter (60.0 * (double) state.iterations(), benchmark::Counter::kIsRate);
}

void BM_MeasureOneHourAgainstFfmpeg (benchmark::State& state)
{
    const auto file = benchFile (3600);
    const auto path = file.getFullPathName().toStdString();
    const bool withFfmpeg = ffmpegInstalled();
    constexpr int kRounds = 3;

    for (auto _ : state)
    {
        ChildRun best, bestFfmpeg;
        best.seconds = bestFfmpeg.seconds = 1.0e9;

        for (int round = 0; round < kRounds; ++round)
        {
            const auto ours = runChild ({ "/proc/self/exe" }, std::string (kProbeVariable) + "=" + path, false);
            if (! ours.ok)
            {
                state.SkipWithError ("measurement failed");
                return;
            }
            if (ours.seconds < best.seconds)
                best = ours;
            best.peakMegabytes = std::max (best.peakMegabytes, ours.peakMegabytes);

            if (withFfmpeg)
            {
                const auto theirs = runChild ({ "ffmpeg", "-hide_banner", "-nostats", "-i", path, "-af",
                                                "ebur128=peak=true", "-f", "null", "-" }, {}, true);
                if (theirs.ok && theirs.seconds < bestFfmpeg.seconds)
                    bestFfmpeg = theirs;
                bestFfmpeg.peakMegabytes = std::max (bestFfmpeg.peakMegabytes, theirs.peakMegabytes);
            }
        }

        double lufs = 0.0, truePeak = 0.0, peakKb = 0.0;
        std::sscanf (best.output.c_str(), "%lf %lf %lf", &lufs, &truePeak, &peakKb);
        state.counters["tarsio_s"] = best.seconds;
        // Its own figure at its end: exact, where polling could miss the last moments.
        state.counters["tarsio_MB"] = std::max (best.peakMegabytes, peakKb / 1024.0);
        state.counters["tarsio_LUFS"] = lufs;
        state.counters["tarsio_dBTP"] = truePeak;

        if (withFfmpeg && bestFfmpeg.ok)
        {
            state.counters["ffmpeg_s"] = bestFfmpeg.seconds;
            state.counters["ffmpeg_MB"] = bestFfmpeg.peakMegabytes;
            state.counters["ffmpeg_LUFS"] = summaryValue (bestFfmpeg.output, "I:");
            state.counters["ffmpeg_dBTP"] = summaryValue (bestFfmpeg.output, "Peak:");
            state.counters["time_vs_ffmpeg"] = best.seconds / bestFfmpeg.seconds;
        }
    }
}
} // namespace

BENCHMARK (BM_MeasureOneMinuteStereoWav)->Unit (benchmark::kMillisecond)->UseRealTime();
BENCHMARK (BM_MeasureOneHourAgainstFfmpeg)->Unit (benchmark::kSecond)->UseRealTime()->Iterations (1);
