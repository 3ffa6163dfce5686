#include "rename/UniqueName.h"

namespace UniqueName
{
juce::String makeUnique (const juce::String& desiredName, const std::string&,
                         const std::map<std::string, std::string>&)
{
    return desiredName.trim();
}
}
