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

    // True when every code point of text is below 128.
    static bool isValidASCII (const juce::String& text);

    juce::ImageButton closeButton;

private:
    juce::Image deleteIcon, deleteOverIcon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rules)
};
