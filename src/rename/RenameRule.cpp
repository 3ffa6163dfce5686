#include "rename/RenameRule.h"

#include "rename/NameSuggestion.h"
#include "rules/RuleFile.h"

#include <unordered_map>

std::vector<RenameRule> buildRenameRules (const juce::String& ruleText)
{
    std::vector<RenameRule> rules;
    std::unordered_map<std::string, int> instrumentIndices;

    RuleFile::forEachDataLine (RuleFile::splitLines (ruleText),
                               [&rules, &instrumentIndices] (int, const juce::String& line)
    {
        juce::String instrument, termsText;

        if (! RuleFile::splitDataLine (line, instrument, termsText))
            return true;

        // Exact byte equality of the names is exact juce::String equality.
        const auto index = instrumentIndices.emplace (instrument.toStdString(),
                                                      (int) instrumentIndices.size()).first->second;

        for (const auto& term : RuleFile::splitTerms (termsText))
        {
            RenameRule rule;
            rule.term = term.trim();
            rule.instrument = instrument;
            rule.counter = 1;
            rule.matchTerm = rule.term.toLowerCase().trim()
                                 .retainCharacters (NameSuggestion::kMatchCharacters).toStdString();
            rule.matchSignature = NameSuggestion::matchSignature (rule.matchTerm);
            rule.instrumentIndex = index;
            rules.push_back (std::move (rule));
        }

        return true;
    });

    return rules;
}

std::vector<RenameRule> buildDefaultRenameRules()
{
    return buildRenameRules (RuleFile::getDefaultRulesText());
}
