#include "rules/RuleTableEdits.h"

#include <utility>

namespace RuleTableEdits
{
bool isValidIndex (const std::vector<Instrument>& instruments, int index) noexcept
{
    return index >= 0 && index < (int) instruments.size();
}

void commitWorkingTerms (std::vector<Instrument>& instruments, int selectedIndex,
                         const std::vector<juce::String>& workingTerms)
{
    if (isValidIndex (instruments, selectedIndex))
        instruments[(size_t) selectedIndex].termes = workingTerms;
}

bool moveInstrument (std::vector<Instrument>& instruments, int& selectedIndex,
                     std::vector<juce::String>& workingTerms, int index, int direction)
{
    const int other = index + direction;

    if (! isValidIndex (instruments, index) || ! isValidIndex (instruments, other))
        return false;

    if (selectedIndex == index)
    {
        commitWorkingTerms (instruments, selectedIndex, workingTerms);
        selectedIndex = other;
    }
    else if (selectedIndex == other)
    {
        selectedIndex = index;
    }

    std::swap (instruments[(size_t) index], instruments[(size_t) other]);
    return true;
}

bool deleteInstrument (std::vector<Instrument>& instruments, int& selectedIndex,
                       std::vector<juce::String>& workingTerms, int index)
{
    if (! isValidIndex (instruments, index))
        return false;

    const bool deletingSelection = (index == selectedIndex);

    if (! deletingSelection && selectedIndex > index)
        --selectedIndex;

    instruments.erase (instruments.begin() + index);

    if (deletingSelection)
    {
        // The row that moved up into its place, or the row before when it was the last.
        const int next = index < (int) instruments.size() ? index : index - 1;

        if (isValidIndex (instruments, next))
        {
            selectedIndex = next;
            workingTerms = instruments[(size_t) next].termes;
        }
        else
        {
            selectedIndex = -1;
            workingTerms.clear();
        }
    }

    return true;
}
}
