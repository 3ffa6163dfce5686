// The loudness and ISRC panels with ten thousand WAV files, each in a window with the message loop
// running: the intake (addList, and for the loudness panel the queueing of every file) and the
// longest hold of the message thread meanwhile; the background work that follows (headers read,
// files measured) and its longest hold; idle CPU over 5 s after it; CLEAR AUDIO FILES; destroying
// the panel with its rows. Goals: idle under 2 %, clear and destroy well under 200 ms.
#include "analysis/AudioAnalysisComponent.h"
#include "analysis/ISRCListComponent.h"

#include "WindowBench.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <benchmark/benchmark.h>

namespace
{
constexpr int kFiles = 10000;

// Ten thousand short WAV files (a tenth of a second, with an ISRC), written once per run.
const std::vector<std::string>& benchFiles()
{
    static const struct Files
    {
        juce::File folder = juce::File::createTempFile ("panels-bench");
        std::vector<std::string> paths;

        Files()
        {
            folder.createDirectory();
            juce::MemoryBlock wav;
            {
                juce::StringPairArray metadata;
                metadata.set (juce::WavAudioFormat::riffInfoSource, "US-ABC-12-34567");
                auto* stream = new juce::MemoryOutputStream (wav, false);
                std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (stream, 48000.0, 2, 24, metadata, 0));
                juce::AudioBuffer<float> tone (2, 4800);
                for (int i = 0; i < tone.getNumSamples(); ++i)
                {
                    tone.setSample (0, i, 0.25f * std::sin ((float) i * 0.13f));
                    tone.setSample (1, i, 0.2f * std::sin ((float) i * 0.07f));
                }
                writer->writeFromAudioSampleBuffer (tone, 0, tone.getNumSamples());
            }
            for (int i = 0; i < kFiles; ++i)
            {
                const auto file = folder.getChildFile ("Take " + juce::String (i).paddedLeft ('0', 5) + " Kick In.wav");
                file.replaceWithData (wav.getData(), wav.getSize());
                paths.push_back (file.getFullPathName().toStdString());
            }
        }

        ~Files() { folder.deleteRecursively(); }
    } files;

    return files.paths;
}

double msSince (double start) { return juce::Time::getMillisecondCounterHiRes() - start; }

template <typename Panel, typename Intake, typename Clear>
void runPanel (benchmark::State& state, Intake&& intake, const std::function<bool (Panel&)>& settled, Clear&& clear)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto& files = benchFiles();

    for (auto _ : state)
    {
        auto panel = std::make_unique<Panel>();
        auto window = std::make_unique<bench::ScopedWindow> (*panel, 860, 587);
        auto watch = std::make_unique<bench::MessageThreadWatch>();

        auto start = juce::Time::getMillisecondCounterHiRes();
        intake (*panel, files);
        const auto intakeMs = msSince (start);
        bench::pumpFor (50);
        state.counters["intake_ms"] = intakeMs;
        state.counters["hold_ms"] = watch->longestHoldMs();
        state.SetIterationTime (intakeMs / 1000.0);

        // Until every header is read (ISRC) or every file measured (loudness), in the background.
        start = juce::Time::getMillisecondCounterHiRes();
        watch->reset();
        if (! bench::pumpUntil ([&] { return settled (*panel); }, 300000))
            state.SkipWithError ("the panel did not settle");
        state.counters["settle_ms"] = msSince (start);
        state.counters["settle_hold_ms"] = watch->longestHoldMs();

        // The watch's own 1 ms timer would be most of what is measured.
        watch.reset();
        state.counters["idle_cpu_pct"] = bench::idleCpuPercent (5000);

        start = juce::Time::getMillisecondCounterHiRes();
        clear (*panel);
        state.counters["clear_ms"] = msSince (start);

        intake (*panel, files);
        start = juce::Time::getMillisecondCounterHiRes();
        window.reset();
        panel.reset();
        state.counters["destroy_ms"] = msSince (start);
    }
}

void BM_IsrcPanelTenThousandFiles (benchmark::State& state)
{
    runPanel<ISRCListComponent> (state, [] (ISRCListComponent& panel, const std::vector<std::string>& files) { panel.addList (files); },
                                 [] (ISRCListComponent& panel) { return ! panel.isReadingHeaders(); },
                                 [] (ISRCListComponent& panel) { panel.clearRows(); });
}

void BM_LoudnessPanelTenThousandFiles (benchmark::State& state)
{
    runPanel<AudioAnalysisComponent> (state,
                                      [] (AudioAnalysisComponent& panel, const std::vector<std::string>& files)
                                      {
                                          panel.addList (files);
                                          panel.startBackgroundAnalysis();
                                      },
                                      [] (AudioAnalysisComponent& panel)
                                      {
                                          for (const auto& path : panel.filePaths)
                                              if (panel.analysingByFile.at (path))
                                                  return false;
                                          return true;
                                      },
                                      [] (AudioAnalysisComponent& panel) { panel.clearList(); });
}
} // namespace

BENCHMARK (BM_IsrcPanelTenThousandFiles)->Unit (benchmark::kMillisecond)->UseManualTime()->Iterations (1);
BENCHMARK (BM_LoudnessPanelTenThousandFiles)->Unit (benchmark::kMillisecond)->UseManualTime()->Iterations (1);


// The reference for idle CPU: an empty component in the same kind of window.
static void BM_PanelsReferenceEmptyWindow (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    for (auto _ : state)
    {
        juce::Component empty;
        bench::ScopedWindow window (empty, 860, 587);
        state.counters["idle_cpu_pct"] = bench::idleCpuPercent (5000);
    }
}
BENCHMARK (BM_PanelsReferenceEmptyWindow)->Unit (benchmark::kMillisecond)->Iterations (1);
