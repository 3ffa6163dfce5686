// The rules page with a large table, in a window with the message loop running: each command from
// its click to the window painted, and the CPU the page takes while nobody touches it. The built-in
// table (58 instruments) is the reference for the large one (5,000).
#include "rules/Rules.h"

#include "WindowBench.h"

#include <benchmark/benchmark.h>

namespace
{
// A rule file of count instruments made from the built-in table's lines, written once per size.
juce::File ruleFile (int count)
{
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("tarsio-bench-rules-" + juce::String (count) + ".csv");
    if (! file.existsAsFile())
    {
        const auto table = RuleFile::readDefaultRules();
        std::vector<Instrument> instruments;
        for (int i = 0; i < count; ++i)
            instruments.push_back ({ table[(size_t) i % table.size()].name + juce::String (i),
                                     table[(size_t) i % table.size()].termes });
        RuleFile::write (instruments, file);
    }
    return file;
}

// The page in a window with the table of the benchmark's size loaded.
struct ShownPage
{
    explicit ShownPage (int count) : window (page, 860, 587)
    {
        page.rulesFileChosen (ruleFile (count));
        settle();
    }

    // Paints what the last change left to paint and lets every message already posted run.
    void settle()
    {
        if (auto* peer = window.window.getPeer())
            peer->performAnyPendingRepaintsNow();
        bool drained = false;
        juce::MessageManager::callAsync ([&drained] { drained = true; });
        bench::pumpUntil ([&drained] { return drained; });
    }

    // The instrument in the middle of the table, selected and scrolled into view as a user would.
    int selectMiddle()
    {
        const int middle = (int) page.instruments.size() / 2;
        page.selectInstrument (middle);
        page.instrumentsViewport.setViewPosition (0, (int) (0.9 * middle * (int) (0.036 * page.getWidth())));
        settle();
        return middle;
    }

    Rules page;
    bench::ScopedWindow window;
};

template <typename Command>
void runCommand (benchmark::State& state, Command&& command)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    ShownPage shown ((int) state.range (0));

    for (auto _ : state)
    {
        command (shown);
        shown.settle();
    }

    if (shown.page.statusLabel.getText().startsWith ("Error"))
        state.SkipWithError (shown.page.statusLabel.getText().toRawUTF8());
}

static void BM_RulesLoad (benchmark::State& state)
{
    const auto file = ruleFile ((int) state.range (0));
    runCommand (state, [&file] (ShownPage& shown) { shown.page.rulesFileChosen (file); });
}

static void BM_RulesDefault (benchmark::State& state)
{
    const auto file = ruleFile ((int) state.range (0));
    runCommand (state, [&file, &state] (ShownPage& shown)
    {
        state.PauseTiming();
        shown.page.rulesFileChosen (file);
        shown.settle();
        state.ResumeTiming();
        shown.page.defaultRulesButton.onClick();
    });
}

static void BM_RulesMove (benchmark::State& state)
{
    int round = 0;
    runCommand (state, [&round] (ShownPage& shown)
    {
        const int row = shown.page.selectedIndex >= 0 ? shown.page.selectedIndex : shown.selectMiddle();
        auto* widgets = shown.page.findInstrumentRow (row);
        (round++ % 2 == 0 ? widgets->upButton : widgets->downButton)->onClick();
    });
}

static void BM_RulesAddInstrument (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown) { shown.page.addInstrumentButton.onClick(); });
}

static void BM_RulesDeleteInstrument (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown)
    {
        const int row = shown.page.selectedIndex >= 0 ? shown.page.selectedIndex : shown.selectMiddle();
        shown.page.findInstrumentRow (row)->deleteButton->onClick();
    });
}

// Share of one core that the process takes over five seconds with nobody touching the window; a
// plain window is the reference.
void measureIdleCpu (benchmark::State& state)
{
    for (auto _ : state)
        state.counters["cpu_percent"] = bench::idleCpuPercent (5000);
}
} // namespace

// The page shown (state.range (1) == 1) or hidden behind the window's other pages.
static void BM_RulesIdleCpu (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    ShownPage shown ((int) state.range (0));
    shown.page.setVisible (state.range (1) == 1);
    shown.settle();
    measureIdleCpu (state);
}

static void BM_PlainWindowIdleCpu (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    juce::Component plain;
    bench::ScopedWindow window (plain, 860, 587);
    measureIdleCpu (state);
}

BENCHMARK (BM_RulesLoad)->Arg (58)->Arg (5000)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RulesDefault)->Arg (58)->Arg (5000)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RulesMove)->Arg (58)->Arg (5000)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RulesAddInstrument)->Arg (58)->Arg (5000)->Iterations (20)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RulesDeleteInstrument)->Arg (58)->Arg (5000)->Iterations (20)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_RulesIdleCpu)->Args ({ 58, 1 })->Args ({ 5000, 1 })->Args ({ 5000, 0 })
    ->Iterations (1)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PlainWindowIdleCpu)->Iterations (1)->Unit (benchmark::kMillisecond);
