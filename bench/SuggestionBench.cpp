// Suggestion engine, unique names and sort order, without any widget.
#include "rename/NameSuggestion.h"
#include "rename/SortOrder.h"
#include "rename/UniqueName.h"

#include <benchmark/benchmark.h>

namespace
{
// A session's worth of names: early and late matches, and names that match nothing (a full scan).
const std::vector<std::string> kSessionPaths {
    "/s/Kick_01.wav", "/s/Kick In.aif", "/s/SNARE TOP.WAV", "/s/Snare Bottom.wav", "/s/OH L.wav",
    "/s/Overheads.wav", "/s/Room.wav", "/s/Tom 1.wav", "/s/Floor Tom.wav", "/s/Hi-Hat.wav",
    "/s/Bass DI.wav", "/s/Bass Amp.wav", "/s/Gtr Left.flac", "/s/Lead Vox.wav", "/s/BV 1.mp3",
    "/s/Piano L.aiff", "/s/Rhodes.wav", "/s/Synth Pad.ogg", "/s/Track 17.wav", "/s/Audio 03_07.wav",
    "/s/zzz qwx.wav", "/s/Print Final v3.wav", "/s/Click.wav", "/s/Shaker.wav",
};

std::string numberedPath (int i)
{
    return kSessionPaths[(size_t) i % kSessionPaths.size()] + std::to_string (i);
}
} // namespace

static void BM_Suggestions (benchmark::State& state)
{
    auto rules = buildDefaultRenameRules();
    size_t next = 0;

    for (auto _ : state)
    {
        const auto& path = kSessionPaths[next++ % kSessionPaths.size()];
        benchmark::DoNotOptimize (NameSuggestion::isAudioFile (path));
        benchmark::DoNotOptimize (NameSuggestion::suggestName (rules, path));
    }

    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (BM_Suggestions);

// The worst case: a key that holds no term, so every rule is looked at.
static void BM_SuggestionsWithoutMatch (benchmark::State& state)
{
    auto rules = buildDefaultRenameRules();
    const std::string path = "/s/Untitled Take 0042 qzx.wav";

    for (auto _ : state)
        benchmark::DoNotOptimize (NameSuggestion::suggestName (rules, path));

    state.SetItemsProcessed (state.iterations());
}
BENCHMARK (BM_SuggestionsWithoutMatch);

static void BM_BuildDefaultRules (benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize (buildDefaultRenameRules());
}
BENCHMARK (BM_BuildDefaultRules)->Unit (benchmark::kMillisecond);

// Leaving a field with this many rows listed: the unique name, then the sort.
static void BM_UniqueNameAndSort (benchmark::State& state)
{
    const auto rows = (int) state.range (0);
    std::map<std::string, std::string> newNames;
    std::vector<std::string> filePaths;

    for (int i = 0; i < rows; ++i)
    {
        filePaths.push_back (numberedPath (i));
        newNames[filePaths.back()] = i % 10 == 0 ? "Kick1" : "Name " + std::to_string (rows - i);
    }

    for (auto _ : state)
    {
        benchmark::DoNotOptimize (UniqueName::makeUnique ("Kick1", filePaths.front(), newNames));
        benchmark::DoNotOptimize (SortOrder::sortedByNewName (filePaths, newNames));
    }
}
BENCHMARK (BM_UniqueNameAndSort)->Arg (1000)->Arg (10000)->Unit (benchmark::kMillisecond);
