#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The application's look-and-feel: the embedded typeface (completed from installed faces for the
// characters it lacks) as the default sans-serif face, the palette on the framework's colour
// identifiers, text buttons drawn from embedded skins chosen by shape and toggle state, and every
// label at labelFontSize. From its construction on it is the framework's default look-and-feel.
// Message thread only.
class Look final : public juce::LookAndFeel_V4
{
public:
    Look();
    ~Look() override;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    void fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
    void drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;

    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                            bool isSeparator, bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                            const juce::String& text, const juce::String& shortcutKeyText,
                            const juce::Drawable* icon, const juce::Colour* textColour) override;
    void drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                     const juce::String& sectionName) override;

    void drawComboBox (juce::Graphics& g, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox& box) override;

    juce::Font getLabelFont (juce::Label& label) override;

    void drawLinearSlider (juce::Graphics& g, int x, int y, int width, int height,
                           float sliderPos, float minSliderPos, float maxSliderPos,
                           juce::Slider::SliderStyle style, juce::Slider& slider) override;
    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                           float sliderPos, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider& slider) override;
    juce::Label* createSliderTextBox (juce::Slider& slider) override;

    // Decoded once here and only read afterwards. An image that did not decode is empty and
    // draws nothing.
    juce::Image sliderThumbImage;
    juce::Image knobImage;
    juce::Image knobHoverImage;
    juce::Image wideButtonOffImage;
    juce::Image wideButtonOnImage;
    juce::Image roundButtonOffImage;
    juce::Image roundButtonOnImage;
    juce::Image pillButtonOffImage;
    juce::Image pillButtonOnImage;

    // Height of every label's font; MainComponent::resized keeps it in proportion to the window.
    float labelFontSize = 16.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Look)
};
