// Ten thousand files on the rename page, as users see them: the real main component (or the page
// alone, to tell its share) in a desktop window with the message loop running. Intake goes through
// the drop target in drops of 5,000, so the 200 ms intake tick is part of what is measured; the
// drops of BM_RealDropIntake are real drags from a GTK drag source.
#include "app/MainComponent.h"
#include "e2e/DropFiles.h"
#include "WindowBench.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <utility>

namespace
{
constexpr int kSessionFiles = 20000;
const char* const kStems[] = { "Kick_01", "Kick In", "SNARE TOP", "Room", "Overheads", "Track", "Bass DI",
                               "Lead Vox", "Gtr Left", "Hi-Hat", "Synth Pad", "Print Final v" };
const char* const kExtensions[] = { ".wav", ".aif", ".flac", ".mp3", ".ogg", ".WAV" };

// Real files, made once per process: the panels read every WAV they are given. The WAVs hold a
// hundredth of a second of silence; the others are a few bytes no reader accepts.
class Session final
{
public:
    Session()
    {
        folder.createDirectory();
        juce::MemoryBlock wav;
        {
            juce::WavAudioFormat format;
            std::unique_ptr<juce::AudioFormatWriter> writer (format.createWriterFor (
                new juce::MemoryOutputStream (wav, false), 44100.0, 1, 16, {}, 0));
            juce::AudioBuffer<float> silence (1, 441);
            silence.clear();
            writer->writeFromAudioSampleBuffer (silence, 0, 441);
        }

        for (int i = 0; i < kSessionFiles; ++i)
        {
            const auto file = folder.getChildFile (juce::String (kStems[i % 12]) + " " + juce::String (i) + kExtensions[i % 6]);
            if (juce::String (kExtensions[i % 6]).equalsIgnoreCase (".wav"))
                file.replaceWithData (wav.getData(), wav.getSize());
            else
                file.replaceWithText ("not audio");
            paths.push_back (file.getFullPathName().toStdString());
        }
    }

    std::vector<std::string> first (int count) const
    {
        return { paths.begin(), paths.begin() + count };
    }

    ~Session() { folder.deleteRecursively(); }

private:
    juce::File folder = juce::File::createTempFile ("tarsio-bench-session");
    std::vector<std::string> paths;
};

const Session& session()
{
    static const Session files;
    return files;
}

// The main component in a window, the files taken in as two drops of 5,000 (or one smaller drop).
struct ShownMain
{
    explicit ShownMain (int fileCount = 0)
    {
        for (int start = 0; start < fileCount; start += 5000)
            drop (juce::jmin (fileCount, start + 5000));
    }

    void drop (int countAfter)
    {
        const auto paths = session().first (countAfter);
        main->dropTarget.pendingFiles.assign (paths.begin() + (int) main->renamePage.filePaths.size(), paths.end());
        bench::pumpUntil ([this, countAfter] { return (int) main->renamePage.filePaths.size() >= countAfter && ! main->isTakingIn(); });
    }

    void showRenamePage()
    {
        main->renameButton.onClick();
        window.window.getPeer()->performAnyPendingRepaintsNow();
    }

    std::unique_ptr<MainComponent> main = std::make_unique<MainComponent>();
    bench::ScopedWindow window { *main, 860, 587 };
};

double now() { return juce::Time::getMillisecondCounterHiRes(); }
} // namespace

// From the first drop to the rename page's rows on screen.
static void BM_IntakeToRenameRowsShown (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    session();

    for (auto _ : state)
    {
        ShownMain shown;
        bench::MessageThreadWatch watch;
        const auto start = now();
        for (int count = 5000; count <= state.range (0); count += 5000)
            shown.drop (count);
        if (state.range (0) < 5000)
            shown.drop ((int) state.range (0));
        shown.showRenamePage();
        state.SetIterationTime ((now() - start) / 1000.0);
        state.counters["longest_hold_ms"] = watch.longestHoldMs();

        if (shown.main->renamePage.rowInView (0) == nullptr)
            state.SkipWithError ("no rows shown");
    }
}
BENCHMARK (BM_IntakeToRenameRowsShown)->Arg (1000)->Arg (10000)->UseManualTime()->Iterations (3)->Unit (benchmark::kMillisecond);

// A real drag of that many files from a GTK drag source (driven by xdotool, as the end-to-end tests
// do) onto the home page: from the drop to the rename page's rows, and the longest time the window
// was held meanwhile, the reading and parsing of the dropped list included.
static void BM_RealDropIntake (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto paths = session().first ((int) state.range (0));
    std::vector<double> holds;

    for (auto _ : state)
    {
        ShownMain shown;
        auto& main = *shown.main;
        bench::MessageThreadWatch watch;
        double dropped = 0.0, taken = 0.0;
        bool highlighted = false, started = false;
        const auto pump = [&]
        {
            // The drags of all processes take turns: the wait for this one's turn is no hold.
            if (! std::exchange (started, true))
                watch.reset();
            bench::pumpFor (1);
            // The highlight ends with the drop.
            if (main.dropTarget.draggingOver)
                highlighted = true;
            else if (highlighted && dropped == 0.0)
                dropped = now();
            if (taken == 0.0 && main.renamePage.filePaths.size() == paths.size() && ! main.isTakingIn())
                taken = now();
        };
        const auto window = (unsigned long) (juce::pointer_sized_uint) shown.window.window.getPeer()->getNativeHandle();
        const auto point = main.welcomeLabel.getBounds().getCentre();
        if (! tarsio::e2e::dropFilesOnWindow (window, point, paths, pump)
            || ! bench::pumpUntil ([&] { pump(); return taken > 0.0; }, 60000) || dropped == 0.0)
        {
            state.SkipWithError ("the drop did not arrive");
            break;
        }
        state.SetIterationTime ((taken - dropped) / 1000.0);
        holds.push_back (watch.longestHoldMs());
    }
    // Each drop's longest hold: the worst of all drops, and the median drop's, which a busy machine's
    // scheduling sways less.
    std::sort (holds.begin(), holds.end());
    state.counters["longest_hold_ms"] = holds.empty() ? 0.0 : holds.back();
    state.counters["median_drop_hold_ms"] = holds.empty() ? 0.0 : holds[holds.size() / 2];
}
BENCHMARK (BM_RealDropIntake)->Arg (1000)->Arg (10000)->Arg (20000)->UseManualTime()->Iterations (5)->Unit (benchmark::kMillisecond);

// Idle CPU over 5 s: on the home page (arg 1 = 0) or the rename page (1), with no files as reference.
static void BM_IdleCpuWithFilesListed (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    session();

    for (auto _ : state)
    {
        ShownMain shown ((int) state.range (0));
        if (state.range (1) == 1 && state.range (0) > 0)
            shown.showRenamePage();
        bench::pumpFor (2000);   // the loudness measurements of the intake end first
        state.counters["cpu_percent"] = bench::idleCpuPercent (5000);
    }
}
BENCHMARK (BM_IdleCpuWithFilesListed)->Args ({ 0, 0 })->Args ({ 10000, 0 })->Args ({ 10000, 1 })
    ->Iterations (1)->Unit (benchmark::kMillisecond);

// The rename page alone in a window with 10,000 rows: its own share of the idle load; an empty
// component in a window (arg -1) is the reference.
static void BM_RenamePageAloneIdleCpu (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;

    for (auto _ : state)
    {
        juce::Component empty;
        Rename page;
        bench::ScopedWindow window (state.range (0) < 0 ? empty : page, 860, 587);
        page.addList (session().first (juce::jmax (0, (int) state.range (0))));
        bench::pumpFor (500);
        state.counters["cpu_percent"] = bench::idleCpuPercent (5000);
    }
}
BENCHMARK (BM_RenamePageAloneIdleCpu)->Arg (-1)->Arg (0)->Arg (10000)->Iterations (1)->Unit (benchmark::kMillisecond);

// CLEAR AUDIO FILES on the home page, until the window has repainted.
static void BM_ClearAudioFiles (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    session();

    for (auto _ : state)
    {
        ShownMain shown ((int) state.range (0));
        const auto start = now();
        shown.main->renamePage.clearList();   // the rename page's share, told apart
        state.counters["rename_page_ms"] = now() - start;
        shown.main->clearButton.onClick();
        shown.window.window.getPeer()->performAnyPendingRepaintsNow();
        state.SetIterationTime ((now() - start) / 1000.0);
    }
}
BENCHMARK (BM_ClearAudioFiles)->Arg (1000)->Arg (10000)->UseManualTime()->Iterations (3)->Unit (benchmark::kMillisecond);

// A close request: the main component, with its rows and workers, destroyed.
static void BM_CloseWithFilesListed (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    session();

    for (auto _ : state)
    {
        ShownMain shown ((int) state.range (0));
        shown.showRenamePage();
        shown.window.window.clearContentComponent();
        const auto start = now();
        shown.main->renamePage.clearList();   // the rename page's share, told apart
        state.counters["rename_page_ms"] = now() - start;
        shown.main.reset();
        state.SetIterationTime ((now() - start) / 1000.0);
    }
}
BENCHMARK (BM_CloseWithFilesListed)->Arg (0)->Arg (10000)->UseManualTime()->Iterations (3)->Unit (benchmark::kMillisecond);

// Leaving a name field with 10,000 rows: unique name, sort, rows rewritten, repaint.
static void BM_RenameLeaveNameField (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    Rename page;
    bench::ScopedWindow window (page, 860, 587);
    page.addList (session().first ((int) state.range (0)));

    int round = 0;
    for (auto _ : state)
    {
        // The first row's name moves it to the end of the list: every row in view is rewritten.
        auto& editor = page.rowInView (0)->nameEditor;
        editor.setText ("zz" + juce::String (round++) + " Kick1", false);
        page.newNames[page.filePaths[0]] = editor.getText().toStdString();
        editor.onFocusLost();
        window.window.getPeer()->performAnyPendingRepaintsNow();
    }

    page.clearList();
}
BENCHMARK (BM_RenameLeaveNameField)->Arg (1000)->Arg (10000)->Unit (benchmark::kMillisecond);
