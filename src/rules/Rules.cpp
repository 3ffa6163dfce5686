#include "rules/Rules.h"

Rules::Rules()
{
    addAndMakeVisible (closeButton);
}

Rules::~Rules() = default;

void Rules::paint (juce::Graphics&) {}

void Rules::resized() {}

void Rules::loadDefaultRules() {}
