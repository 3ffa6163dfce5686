#include "rename/RenameRule.h"

std::vector<RenameRule> buildRenameRules (const juce::String&) { return {}; }
std::vector<RenameRule> buildDefaultRenameRules() { return {}; }
