#pragma once

#include "rules/RuleFile.h"

#include <vector>

// Edits of the rules page's table that need no widget: the selection (an index, -1 for none) and
// its working terms follow their instrument through moves and deletions. Plain functions; the
// rules page calls them on the message thread.
namespace RuleTableEdits
{
    // True when index names an instrument of the table.
    bool isValidIndex (const std::vector<Instrument>& instruments, int index) noexcept;

    // Puts the working terms into the selected instrument, if one is selected.
    void commitWorkingTerms (std::vector<Instrument>& instruments, int selectedIndex,
                             const std::vector<juce::String>& workingTerms);

    // Swaps instrument index with its neighbour above (-1) or below (+1); the selection stays on its
    // instrument, whose working terms are committed first. False, and nothing changed, when the
    // neighbour does not exist.
    bool moveInstrument (std::vector<Instrument>& instruments, int& selectedIndex,
                         std::vector<juce::String>& workingTerms, int index, int direction);

    // Erases instrument index. A selection above it stays on its instrument; when it was the selected
    // one, the row that takes its place (or else the row before) becomes selected with its saved
    // terms, and with no row left nothing is selected. False when index is not valid.
    bool deleteInstrument (std::vector<Instrument>& instruments, int& selectedIndex,
                           std::vector<juce::String>& workingTerms, int index);
}
