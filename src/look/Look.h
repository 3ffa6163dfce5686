#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The application's look-and-feel. From its construction on it is the framework's default
// look-and-feel. Message thread only.
class Look final : public juce::LookAndFeel_V4
{
public:
    Look();
    ~Look() override;

    juce::Font getLabelFont (juce::Label& label) override;

    // Height of every label's font; MainComponent::resized keeps it in proportion to the window.
    float labelFontSize = 16.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Look)
};
