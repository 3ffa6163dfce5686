#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <string>
#include <vector>

// The row order behind Rename::sortByNewNames. No UI; message thread only.
namespace SortOrder
{
    // The sort key of a row: its stored new name lower-cased (untrimmed), or its file name
    // lower-cased when the stored name is blank.
    juce::String keyFor (const std::string& path, const std::string& storedName);

    // The paths ordered by ascending key (code point order, a prefix first; equal keys in no defined
    // order). Paths missing from newNames count as blank names.
    std::vector<std::string> sortedByNewName (const std::vector<std::string>& filePaths,
                                              const std::map<std::string, std::string>& newNames);
}
