#include "look/Look.h"

#include <gtest/gtest.h>

// A toggle's state shows by its skin alone: on, the on-skin of its shape; a press changes nothing.
TEST (LookButtons, AToggledButtonShowsTheOnSkinOfItsShape)
{
    const auto solid = [] (juce::Colour colour) { juce::Image i (juce::Image::ARGB, 400, 200, false); i.clear (i.getBounds(), colour); return i; };
    Look look;
    look.wideButtonOffImage = look.pillButtonOffImage = look.roundButtonOffImage = solid (juce::Colours::grey);
    look.wideButtonOnImage = solid (juce::Colours::orange);
    look.roundButtonOnImage = solid (juce::Colours::lime);
    look.pillButtonOnImage = solid (juce::Colours::brown);

    juce::TextButton button;
    const auto snapshot = [&button] { return button.createComponentSnapshot (button.getLocalBounds(), true, 1.0f); };
    for (auto [w, h, on] : { std::tuple (80, 40, juce::Colours::orange), { 40, 40, juce::Colours::lime },
                             { 129, 36, juce::Colours::brown }, { 70, 40, juce::Colours::brown } })
    {
        button.setSize (w, h);
        button.setToggleState (false, juce::dontSendNotification);
        button.setState (juce::Button::buttonDown);
        EXPECT_EQ (snapshot().getPixelAt (w / 2, h / 2), juce::Colours::grey) << w << "x" << h;
        button.setToggleState (true, juce::dontSendNotification);
        EXPECT_EQ (snapshot().getPixelAt (w / 2, h / 2), on) << w << "x" << h;
    }
}

TEST (LookButtons, ADisabledButtonDimsItsText)
{
    Look look;
    juce::TextButton button ("WWW");
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);
    button.setSize (30, 40); // narrow: no skin beneath the text
    const auto strongestText = [&button]
    {
        const auto image = button.createComponentSnapshot (button.getLocalBounds(), true, 1.0f);
        int alpha = 0;
        for (int i = 0; i < image.getWidth() * image.getHeight(); ++i)
            alpha = juce::jmax (alpha, (int) image.getPixelAt (i % image.getWidth(), i / image.getWidth()).getAlpha());
        return alpha;
    };
    EXPECT_GT (strongestText(), 240);
    button.setEnabled (false);
    EXPECT_LE (strongestText(), 128);
    EXPECT_GT (strongestText(), 60);
}
