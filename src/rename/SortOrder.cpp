#include "rename/SortOrder.h"

namespace SortOrder
{
juce::String keyFor (const std::string&, const std::string& storedName) { return juce::String::fromUTF8 (storedName.c_str()); }
std::vector<std::string> sortedByNewName (const std::vector<std::string>& filePaths,
                                          const std::map<std::string, std::string>&)
{
    return filePaths;
}
}
