#include "rules/RuleFile.h"

#include "BinaryData.h"

namespace RuleFile
{
const char* getDefaultRulesData() noexcept { return BinaryData::default_rules_csv; }
int getDefaultRulesSize() noexcept { return BinaryData::default_rules_csvSize; }
juce::String getDefaultRulesText() { return {}; }
juce::StringArray splitLines (const juce::String&) { return {}; }
void forEachDataLine (const juce::StringArray&, const std::function<bool (int, const juce::String&)>&) {}
bool splitDataLine (const juce::String&, juce::String&, juce::String&) { return false; }
std::vector<juce::String> splitTerms (const juce::String&) { return {}; }
std::vector<Instrument> read (const juce::String&) { return {}; }
std::vector<Instrument> readDefaultRules() { return {}; }
juce::String readFileText (const juce::File&) { return {}; }
CheckResult check (const juce::File&) { return {}; }
bool isValidASCII (const juce::String&) noexcept { return true; }
juce::String toText (const std::vector<Instrument>&) { return {}; }
bool write (const std::vector<Instrument>&, const juce::File&) { return false; }
}
