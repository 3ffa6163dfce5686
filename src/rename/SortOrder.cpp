#include "rename/SortOrder.h"

#include "rename/NameSuggestion.h"

#include <algorithm>

namespace SortOrder
{
juce::String keyFor (const std::string& path, const std::string& storedName)
{
    auto name = NameSuggestion::fromUTF8 (storedName);

    if (name.trim().isEmpty())
        name = NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path));

    return name.toLowerCase();
}

std::vector<std::string> sortedByNewName (const std::vector<std::string>& filePaths,
                                          const std::map<std::string, std::string>& newNames)
{
    struct Entry
    {
        std::string key;
        const std::string* path;
    };

    std::vector<Entry> entries;
    entries.reserve (filePaths.size());

    for (const auto& path : filePaths)
    {
        const auto found = newNames.find (path);
        const auto key = keyFor (path, found != newNames.end() ? found->second : std::string());
        entries.push_back ({ key.toStdString(), &path });
    }

    // Byte order of UTF-8 is code point order, the order of juce::String's less-than, prefixes first;
    // comparing the bytes spares a decoding per comparison.
    std::sort (entries.begin(), entries.end(),
               [] (const Entry& a, const Entry& b) { return a.key < b.key; });

    std::vector<std::string> sorted;
    sorted.reserve (entries.size());

    for (const auto& entry : entries)
        sorted.push_back (*entry.path);

    return sorted;
}
}
