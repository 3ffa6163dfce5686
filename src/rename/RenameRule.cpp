#include "rename/RenameRule.h"

#include "rename/NameSuggestion.h"
#include "rules/RuleFile.h"

#include <unordered_map>

std::vector<RenameRule> buildRenameRules (const juce::String& ruleText)
{
    std::vector<RenameRule> rules;
    std::unordered_map<std::string, int> instrumentIndices;

    for (const auto& instrument : RuleFile::read (ruleText))
    {
        // Exact byte equality of the names is exact juce::String equality.
        const auto index = instrumentIndices.emplace (instrument.name.toStdString(),
                                                      (int) instrumentIndices.size()).first->second;

        for (const auto& term : instrument.termes)
        {
            RenameRule rule;
            rule.term = term;
            rule.instrument = instrument.name;
            rule.counter = 1;
            rule.matchTerm = rule.term.toLowerCase().trim()
                                 .retainCharacters (NameSuggestion::kMatchCharacters).toStdString();
            rule.matchSignature = NameSuggestion::matchSignature (rule.matchTerm);
            rule.instrumentIndex = index;
            rules.push_back (std::move (rule));
        }
    }

    return rules;
}

std::vector<RenameRule> buildDefaultRenameRules()
{
    return buildRenameRules (RuleFile::getDefaultRulesText());
}
