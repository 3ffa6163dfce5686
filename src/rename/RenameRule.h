#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <string>
#include <vector>

// The rename page's suggestion rules: one RenameRule per detection term of a rule table, in table
// order (lines top to bottom, terms left to right). Built once on the message thread; the suggestion
// engine (NameSuggestion.h) reads the terms and advances the counters there.
struct RenameRule final
{
    juce::String term;         // the term as written, trimmed
    juce::String instrument;   // the instrument name of its line, trimmed
    int counter = 1;           // the number the next suggestion for this instrument receives

    // Derived once when the rules are built, so that a scan does no string work per rule.
    std::string matchTerm;     // term lower-cased, trimmed, reduced to a-z and 0-9; empty never matches
    uint64_t matchSignature = 0;    // NameSuggestion::matchSignature of matchTerm
    int instrumentIndex = 0;   // equal for rules whose instrument names are exactly equal
};

// Flattens rule text (same grammar as the rules page reads, no validation, no messages) into rules,
// one per term, counters at 1. An empty term gives a rule that never matches.
std::vector<RenameRule> buildRenameRules (const juce::String& ruleText);

// The rules of the built-in table (1013 of them).
std::vector<RenameRule> buildDefaultRenameRules();
