#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A label drawn over a pill of blackUltraVekko; the rename page's file-name column.
class RoundedLabel final : public juce::Label
{
public:
    RoundedLabel() = default;
    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RoundedLabel)
};

// A label drawn over a greyBlackVekko pill with a 2-pixel blackUltraVekko rim; the rules page's
// title and status line.
class RoundLabel final : public juce::Label
{
public:
    RoundLabel() = default;
    void paint (juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RoundLabel)
};
