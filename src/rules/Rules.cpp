#include "rules/Rules.h"

#include "rules/RuleFile.h"

Rules::Rules()
{
    addAndMakeVisible (closeButton);
}

Rules::~Rules() = default;

void Rules::paint (juce::Graphics&) {}

void Rules::resized() {}

void Rules::loadDefaultRules() {}

bool Rules::isValidASCII (const juce::String& text)
{
    return RuleFile::isValidASCII (text);
}
