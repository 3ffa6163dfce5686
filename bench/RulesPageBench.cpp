// The rules page with large tables, in a window with the message loop running: each command from
// its click to the window painted, the process's peak memory, and the CPU the page takes while
// nobody touches it. The built-in table's 58 instruments are the reference for every larger shape:
// many instruments, one instrument with many terms on one line, and files near the size limit.
#include "rules/Rules.h"

#include "WindowBench.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace
{
// A rule file of count instruments. With terms == -1 each takes the name and terms of a built-in
// line (a real table's shape); with -2 each has a name and 16 terms of the longest length a field
// may have (the most text to draw); with -3 each is the shortest line, "I;" (the most instruments);
// with -4 the one instrument "I" holds the terms "a,a,a,..." (the most terms); otherwise each holds
// that many short terms ("t" and a number). All but the built-in lines end where the size limit
// would be passed. Written once per shape.
juce::File ruleFile (int count, int terms)
{
    const auto file = juce::File::getSpecialLocation (juce::File::tempDirectory)
                          .getChildFile ("tarsio-bench-rules-" + juce::String (count) + "x" + juce::String (terms) + ".csv");
    if (! file.existsAsFile())
    {
        const auto table = RuleFile::readDefaultRules();
        const auto longest = juce::String::repeatedString ("x", RuleFile::kMaxFieldChars);
        juce::MemoryOutputStream text;
        text << "Instrument;Termes\n";
        const auto full = [&text, terms]
        {
            return (juce::int64) text.getDataSize() > RuleFile::kMaxFileBytes - (terms <= -3 ? 4 : 32 * RuleFile::kMaxFieldChars);
        };
        for (int i = 0; i < count && (terms == -1 || ! full()); ++i)
        {
            const auto& line = table[(size_t) i % table.size()];
            if (terms <= -3)
            {
                text << (terms == -4 ? "I;a" : "I;");
                while (terms == -4 && ! full())
                    text << ",a";
            }
            else if (terms == -2)
                text << longest << ";" << juce::StringArray::fromTokens (juce::String::repeatedString (longest + " ", 16), false).joinIntoString (",");
            else
                text << line.name << i << ";";
            if (terms == -1)
                text << juce::StringArray (line.termes.data(), (int) line.termes.size()).joinIntoString (",");
            for (int j = 0; j < terms && ! full(); ++j)
                text << (j == 0 ? "t" : ",t") << j;
            text << "\n";
        }
        file.replaceWithData (text.getData(), text.getDataSize());
    }
    return file;
}

juce::File ruleFile (const benchmark::State& state) { return ruleFile ((int) state.range (0), (int) state.range (1)); }

// The page in a window with the table of the benchmark's shape loaded.
struct ShownPage
{
    explicit ShownPage (const benchmark::State& state) : window (page, 860, 587)
    {
        page.rulesFileChosen (ruleFile (state));
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

    // The widgets of an instrument's row, scrolled into view as a user would.
    InstrumentRow& row (int index)
    {
        page.instrumentsViewport.setViewPosition (0, (int) (0.9 * index * (int) (0.036 * page.getWidth())) - 100);
        return *page.findInstrumentRow (index);
    }

    // The selected instrument, or else the one in the middle of the table selected.
    int selected()
    {
        if (page.selectedIndex < 0)
        {
            page.selectInstrument ((int) page.instruments.size() / 2);
            settle();
        }
        return page.selectedIndex;
    }

    Rules page;
    bench::ScopedWindow window;
};

template <typename Command>
void runCommand (benchmark::State& state, Command&& command)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    ShownPage shown (state);

    // A file past the size limit is refused at once: there is nothing to measure on it.
    if (shown.page.statusLabel.getText().startsWith ("Error"))
        return state.SkipWithError (shown.page.statusLabel.getText().toRawUTF8());

    for (auto _ : state)
    {
        command (shown);
        shown.settle();
    }

    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = (double) usage.ru_maxrss / 1024.0;
}

void BM_RulesLoad (benchmark::State& state)
{
    const auto file = ruleFile (state);
    runCommand (state, [&file] (ShownPage& shown) { shown.page.rulesFileChosen (file); });
}

void BM_RulesDefault (benchmark::State& state)
{
    const auto file = ruleFile (state);
    runCommand (state, [&file, &state] (ShownPage& shown)
    {
        state.PauseTiming();
        shown.page.rulesFileChosen (file);
        shown.settle();
        state.ResumeTiming();
        shown.page.defaultRulesButton.onClick();
    });
}

// Selects the first and the middle instrument in turn (the only one again when there is one): the
// selection commits the working terms and lists the new ones.
void BM_RulesSelect (benchmark::State& state)
{
    int round = 0;
    runCommand (state, [&round] (ShownPage& shown)
    {
        shown.row (round++ % 2 == 0 ? (int) shown.page.instruments.size() / 2 : 0).selectButton.onClick();
    });
}

// Scrolls both lists to their ends and back in turn.
void BM_RulesScroll (benchmark::State& state)
{
    int round = 0;
    runCommand (state, [&round] (ShownPage& shown)
    {
        const int y = round++ % 2 == 0 ? 1 << 30 : 0;
        shown.page.instrumentsViewport.setViewPosition (0, y);
        shown.page.termsViewport.setViewPosition (0, y);
    });
}

void BM_RulesMove (benchmark::State& state)
{
    int round = 0;
    runCommand (state, [&round] (ShownPage& shown)
    {
        auto& row = shown.row (shown.selected());
        if (shown.page.instruments.size() > 1)
            (round++ % 2 == 0 ? row.downButton : row.upButton)->onClick();
    });
}

void BM_RulesAddInstrument (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown) { shown.page.addInstrumentButton.onClick(); });
}

void BM_RulesDeleteInstrument (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown)
    {
        if (shown.page.instruments.empty())
            return;
        shown.row (shown.selected()).deleteButton->onClick();
    });
}

void BM_RulesAddTerm (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown) { shown.page.addTermButton.onClick(); });
}

// A letter typed into the first term in view, if there is one.
void BM_RulesEditTerm (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown)
    {
        const auto rows = shown.page.termsViewport.rowsInView (0.9 * (int) (0.036 * shown.page.getWidth()),
                                                                (int) shown.page.workingTerms.size());
        if (rows.isEmpty())
            return;
        auto& editor = shown.page.findTermRow (rows.getStart())->editor;
        editor.moveCaretToEnd();
        editor.insertTextAtCaret ("x");
    });
}

// The middle term of the selected instrument, when there is one to delete.
void BM_RulesDeleteTerm (benchmark::State& state)
{
    runCommand (state, [] (ShownPage& shown)
    {
        shown.selected();
        const int middle = (int) shown.page.workingTerms.size() / 2;
        if (middle == 0)
            return;
        shown.page.termsViewport.setViewPosition (0, (int) (0.9 * middle * (int) (0.036 * shown.page.getWidth())) - 100);
        shown.page.findTermRow (middle)->deleteButton->onClick();
    });
}

// SAVE RULES onto a file of the bench's own.
void BM_RulesSave (benchmark::State& state)
{
    const auto target = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("tarsio-bench-rules-saved.csv");
    runCommand (state, [&target] (ShownPage& shown) { shown.page.rulesFile = target; shown.page.saveRulesButton.onClick(); });
    target.deleteFile();
}

// Share of one core that the process takes over five seconds with nobody touching the window; a
// plain window is the reference.
void measureIdleCpu (benchmark::State& state)
{
    for (auto _ : state)
        state.counters["cpu_percent"] = bench::idleCpuPercent (5000);
}

// The page shown (state.range (2) == 1) or hidden behind the window's other pages.
void BM_RulesIdleCpu (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    ShownPage shown (state);
    shown.page.setVisible (state.range (2) == 1);
    shown.settle();
    measureIdleCpu (state);
}

void BM_PlainWindowIdleCpu (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI gui;
    juce::Component plain;
    bench::ScopedWindow window (plain, 860, 587);
    measureIdleCpu (state);
}

// The shapes: {instruments, terms per instrument (-1: a built-in line's)}. The last three fill the
// size limit: the most instruments a file can hold, the most terms, the longest fields.
void shapes (benchmark::internal::Benchmark* bench)
{
    const auto limit = RuleFile::kMaxFileBytes;
    bench->Args ({ 58, -1 })->Args ({ 5000, -1 })->Args ({ 1, 50000 })
         ->Args ({ limit / 3, -3 })->Args ({ 1, -4 })
         ->Args ({ limit / 4, -2 })
         ->ArgNames ({ "instruments", "terms" })->Unit (benchmark::kMillisecond);
}
} // namespace

BENCHMARK (BM_RulesLoad)->Apply (shapes);
BENCHMARK (BM_RulesDefault)->Apply (shapes);
BENCHMARK (BM_RulesSelect)->Apply (shapes);
BENCHMARK (BM_RulesScroll)->Apply (shapes);
BENCHMARK (BM_RulesMove)->Apply (shapes);
BENCHMARK (BM_RulesAddInstrument)->Apply (shapes)->Iterations (20);
BENCHMARK (BM_RulesDeleteInstrument)->Apply (shapes)->Iterations (20);
BENCHMARK (BM_RulesAddTerm)->Apply (shapes)->Iterations (20);
BENCHMARK (BM_RulesEditTerm)->Apply (shapes)->Iterations (20);
BENCHMARK (BM_RulesDeleteTerm)->Apply (shapes)->Iterations (20);
BENCHMARK (BM_RulesSave)->Apply (shapes);
BENCHMARK (BM_RulesIdleCpu)->Args ({ 58, -1, 1 })->Args ({ 5000, -1, 1 })->Args ({ 5000, -1, 0 })
    ->Iterations (1)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PlainWindowIdleCpu)->Iterations (1)->Unit (benchmark::kMillisecond);
