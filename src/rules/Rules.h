#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The rules page: the rule table shown for editing. Runs on the message thread.
class Rules final : public juce::Component
{
public:
    Rules();
    ~Rules() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Shows the built-in rule table again, replacing whatever the page showed.
    void loadDefaultRules();

    juce::ImageButton closeButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rules)
};
