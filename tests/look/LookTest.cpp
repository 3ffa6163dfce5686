#include "look/Look.h"

#include "BinaryData.h"

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

// The buttons of the framework's own file dialog, shown where no desktop dialog is installed, keep
// a text that can be read.
TEST (LookButtons, TheFallbackFileDialogsButtonsAreReadable)
{
    Look look;
    juce::FileBrowserComponent browser (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                                        juce::File::getSpecialLocation (juce::File::tempDirectory), nullptr, nullptr);
    juce::FileChooserDialogBox box ("Open", {}, browser, false, juce::Colours::black);
    box.setLookAndFeel (&look);
    box.centreWithDefaultSize (nullptr);
    juce::TextButton* open = nullptr;
    for (auto* child : box.getChildren().getFirst()->getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child); button != nullptr && button->getButtonText() == "Open")
            open = button;
    ASSERT_NE (open, nullptr);
    const auto image = open->createComponentSnapshot (open->getLocalBounds(), true, 1.0f);
    open->setButtonText ({});
    const auto blank = open->createComponentSnapshot (open->getLocalBounds(), true, 1.0f);
    int top = image.getHeight(), bottom = -1;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y) != blank.getPixelAt (x, y))
                top = juce::jmin (top, y), bottom = juce::jmax (bottom, y);
    EXPECT_GE (bottom - top + 1, 12) << open->getHeight();
    box.setLookAndFeel (nullptr);
}

// File names in other scripts and the arrow of the status texts show, drawn from an installed face;
// Latin text shows exactly as the embedded typeface alone draws it.
TEST (LookFonts, CharactersTheEmbeddedTypefaceLacksStillShow)
{
    Look look;
    const auto render = [] (const char* utf8, const juce::Font& font)
    {
        juce::Image image (juce::Image::ARGB, 300, 40, true);
        juce::Graphics g (image);
        g.setColour (juce::Colours::white);
        g.setFont (font);
        g.drawText (juce::String::fromUTF8 (utf8), image.getBounds(), juce::Justification::centredLeft);
        return image;
    };
    const auto count = [] (const juce::Image& image, auto isCounted)
    {
        int n = 0;
        for (int i = 0; i < image.getWidth() * image.getHeight(); ++i)
            n += isCounted (i % image.getWidth(), i / image.getWidth()) ? 1 : 0;
        return n;
    };
    const auto litPixels = [&count] (const juce::Image& image) { return count (image, [&image] (int x, int y) { return image.getPixelAt (x, y).getAlpha() > 0; }); };

    const juce::Font appFont (20.0f);
    for (auto* text : { "\xe2\x86\x92", "\xd0\x96", "\xce\xa9" }) // arrow, Zhe, Omega
        EXPECT_GT (litPixels (render (text, appFont)), 20) << text;

    const auto* latin = "Added: Kick_01.wav - Kick1";
    const auto shown = render (latin, appFont);
    const auto embedded = render (latin, juce::Font (juce::Typeface::createSystemTypefaceFor (BinaryData::LeagueSpartanMedium_otf,
                                                                                              (size_t) BinaryData::LeagueSpartanMedium_otfSize)).withHeight (20.0f));
    EXPECT_GT (litPixels (embedded), 100);
    EXPECT_EQ (count (shown, [&] (int x, int y) { return shown.getPixelAt (x, y) != embedded.getPixelAt (x, y); }), 0);
}
