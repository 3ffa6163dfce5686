// The rename page with many rows: an intake (rows built, suggested, sorted, laid out) and leaving a
// name field (unique name, sort, rows rewritten, layout). The files need not exist.
#include "rename/Rename.h"

#include <benchmark/benchmark.h>

namespace
{
const char* const kStems[] = { "Kick_01", "Kick In", "SNARE TOP", "Room", "Overheads", "Track", "Bass DI",
                               "Lead Vox", "Gtr Left", "Hi-Hat", "Synth Pad", "Print Final v" };
const char* const kExtensions[] = { ".wav", ".aif", ".flac", ".mp3", ".ogg", ".WAV" };

juce::StringArray sessionPaths (int count)
{
    juce::StringArray paths;
    paths.ensureStorageAllocated (count);
    for (int i = 0; i < count; ++i)
        paths.add ("/sessions/big/" + juce::String (kStems[i % 12]) + " " + juce::String (i)
                   + kExtensions[i % 6]);
    return paths;
}
} // namespace

static void BM_RenameIntake (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    const auto paths = sessionPaths ((int) state.range (0));

    for (auto _ : state)
    {
        state.PauseTiming();
        auto page = std::make_unique<Rename>();
        page->setSize (860, 587);
        state.ResumeTiming();

        page->addList (paths);

        state.PauseTiming();
        if (page->filePaths.size() != (size_t) paths.size())
            state.SkipWithError ("rows missing");
        page.reset();
        state.ResumeTiming();
    }

    state.SetItemsProcessed (state.iterations() * state.range (0));
}
BENCHMARK (BM_RenameIntake)->Arg (1000)->Arg (10000)->Unit (benchmark::kMillisecond);

static void BM_RenameLeaveNameField (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    Rename page;
    page.setSize (860, 587);
    page.addList (sessionPaths ((int) state.range (0)));

    int round = 0;
    for (auto _ : state)
    {
        // The first row's name moves it to the end of the list: every row is rewritten.
        auto& editor = page.rowInView (0)->nameEditor;
        editor.setText ("zz" + juce::String (round++) + " Kick1", false);
        page.newNames[page.filePaths[0]] = editor.getText().toStdString();
        editor.onFocusLost();
    }

    page.clearList();
}
BENCHMARK (BM_RenameLeaveNameField)->Arg (10000)->Unit (benchmark::kMillisecond);
