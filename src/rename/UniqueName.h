#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <string>

// The unique-name rule behind Rename::ensureUniqueName. No UI; message thread only.
namespace UniqueName
{
    // The name to store for path so that no other entry of newNames (path to stored name, UTF-8)
    // holds it: desiredName trimmed if free, else the first free of base + "_2" ... base + "_98",
    // else base + "_99" even if taken. Comparison is exact and case-sensitive against the whole,
    // untrimmed stored names. A blank desiredName gives "". One pass over newNames per call.
    juce::String makeUnique (const juce::String& desiredName, const std::string& path,
                             const std::map<std::string, std::string>& newNames);
}
