#include "look/ButtonSkinLayout.h"
#include "look/Look.h"
#include "look/Palette.h"

#include <gtest/gtest.h>

namespace
{
juce::Image solid (int w, int h, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, w, h, false);
    image.clear (image.getBounds(), colour);
    return image;
}

// Four vertical bands of 100 columns, so a snapshot tells which columns were drawn where.
const juce::Colour bands[] = { juce::Colours::red, juce::Colours::lime, juce::Colours::blue, juce::Colours::yellow };

juce::Image banded()
{
    juce::Image image (juce::Image::ARGB, 400, 200, false);
    for (int i = 0; i < 4; ++i)
        image.clear ({ i * 100, 0, 100, 200 }, bands[i]);
    return image;
}

const auto wideOff = juce::Colours::magenta, wideOn = juce::Colours::orange,
           roundOff = juce::Colours::cyan, roundOn = juce::Colours::purple, pillOn = juce::Colours::brown;

// A look whose skins are flat colours, so the skin chosen for a shape can be read back.
struct MarkedLook
{
    MarkedLook()
    {
        look.wideButtonOffImage = solid (400, 200, wideOff);
        look.wideButtonOnImage = solid (400, 200, wideOn);
        look.roundButtonOffImage = solid (200, 200, roundOff);
        look.roundButtonOnImage = solid (200, 200, roundOn);
        look.pillButtonOffImage = banded();
        look.pillButtonOnImage = solid (400, 200, pillOn);
    }

    Look look;
};

juce::Image snapshot (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}

// Two colours are the same up to the blur of the scaled drawing.
::testing::AssertionResult near (juce::Colour actual, juce::Colour expected)
{
    const auto d = std::abs (actual.getRed() - expected.getRed()) + std::abs (actual.getGreen() - expected.getGreen())
                 + std::abs (actual.getBlue() - expected.getBlue()) + std::abs (actual.getAlpha() - expected.getAlpha());
    if (d <= 12)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.toDisplayString (true) << " is not " << expected.toDisplayString (true);
}

int maxAlpha (const juce::Image& image)
{
    int result = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            result = juce::jmax (result, (int) image.getPixelAt (x, y).getAlpha());
    return result;
}

// Rows of the image that hold any visible pixel.
int inkHeight (const juce::Image& image)
{
    int top = image.getHeight(), bottom = -1;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > 64)
            {
                top = juce::jmin (top, y);
                bottom = juce::jmax (bottom, y);
            }
    return bottom < 0 ? 0 : bottom - top + 1;
}
} // namespace

TEST (LookButtons, SkinFollowsTheButtonsShape)
{
    MarkedLook marked;
    juce::TextButton button;

    button.setSize (80, 40); // 2:1: the whole wide skin
    auto image = snapshot (button);
    EXPECT_TRUE (near (image.getPixelAt (3, 20), wideOff));
    EXPECT_TRUE (near (image.getPixelAt (76, 20), wideOff));

    button.setSize (40, 40); // square: the round skin
    image = snapshot (button);
    EXPECT_TRUE (near (image.getPixelAt (20, 20), roundOff));

    button.setSize (82, 40); // long: both caps and the stretched middle of the pill skin
    image = snapshot (button);
    EXPECT_TRUE (near (image.getPixelAt (8, 20), bands[0]));
    EXPECT_TRUE (near (image.getPixelAt (32, 20), bands[1]));
    EXPECT_TRUE (near (image.getPixelAt (41, 20), bands[2]));
    EXPECT_TRUE (near (image.getPixelAt (50, 20), bands[2]));
    EXPECT_TRUE (near (image.getPixelAt (74, 20), bands[3]));

    button.setSize (78, 40); // short: half-caps and a middle from the pill skin
    image = snapshot (button);
    EXPECT_TRUE (near (image.getPixelAt (8, 20), bands[0]));
    EXPECT_TRUE (near (image.getPixelAt (32, 20), bands[1]));
    EXPECT_TRUE (near (image.getPixelAt (55, 20), bands[2]));
    EXPECT_TRUE (near (image.getPixelAt (70, 20), bands[3]));

    button.setSize (30, 40); // narrow: no skin at all
    EXPECT_EQ (maxAlpha (snapshot (button)), 0);
}

TEST (LookButtons, OnlyTheToggleStateChangesTheSkin)
{
    MarkedLook marked;
    juce::TextButton button;

    button.setSize (80, 40);
    button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (near (snapshot (button).getPixelAt (40, 20), wideOff));

    button.setState (juce::Button::buttonNormal);
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (near (snapshot (button).getPixelAt (40, 20), wideOn));

    button.setSize (40, 40);
    EXPECT_TRUE (near (snapshot (button).getPixelAt (20, 20), roundOn));

    button.setSize (120, 40);
    EXPECT_TRUE (near (snapshot (button).getPixelAt (60, 20), pillOn));
}

TEST (LookButtons, DisabledButtonKeepsItsSkinAndHalvesItsText)
{
    MarkedLook marked;
    juce::TextButton button ("WWW");
    button.setColour (juce::TextButton::textColourOffId, juce::Colours::white);

    button.setSize (80, 40);
    button.setEnabled (false);
    EXPECT_TRUE (near (snapshot (button).getPixelAt (3, 20), wideOff));

    // On a narrow button nothing lies under the text.
    button.setSize (30, 40);
    button.setEnabled (true);
    EXPECT_GT (maxAlpha (snapshot (button)), 240);
    button.setEnabled (false);
    const auto disabledAlpha = maxAlpha (snapshot (button));
    EXPECT_GT (disabledAlpha, 60);
    EXPECT_LE (disabledAlpha, 128);
}

TEST (LookButtons, TextAreaKeepsClearOfTheRoundedEnds)
{
    using ButtonSkinLayout::textArea;
    EXPECT_EQ (textArea (200, 40, false, false), juce::Rectangle<int> (5, 5, 190, 32));
    // A connected edge halves its indent.
    EXPECT_EQ (textArea (200, 40, true, false), juce::Rectangle<int> (2, 5, 193, 32));
    // The indents take the whole width: no text.
    EXPECT_FALSE (textArea (4, 10, false, false).has_value());
}

TEST (LookButtons, ButtonsFiveOrFewerPixelsHighDrawSafely)
{
    using ButtonSkinLayout::textArea;
    // No vertical indent, so no side indents either.
    EXPECT_EQ (textArea (100, 5, false, false), juce::Rectangle<int> (0, 1, 100, 5));
    EXPECT_EQ (textArea (100, 1, true, true), juce::Rectangle<int> (0, 1, 100, 1));

    Look look;
    for (int h = 0; h <= 6; ++h)
    {
        juce::TextButton button ("OPEN");
        button.setSize (100, h);
        button.setConnectedEdges (juce::Button::ConnectedOnLeft);
        if (h > 0)
            snapshot (button); // would divide by zero in the indent rule
    }
}

TEST (LookLabels, EveryLabelIsDrawnAtTheLabelFontSize)
{
    Look look;
    look.labelFontSize = 12.0f;

    juce::Label label ({}, "Hg");
    label.setFont (juce::Font (60.0f));
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    label.setSize (200, 100);

    const auto height = inkHeight (snapshot (label));
    EXPECT_GT (height, 6);
    EXPECT_LE (height, 14);
    EXPECT_FLOAT_EQ (label.getFont().getHeight(), 12.0f);
}

TEST (LookText, EmbeddedTypefaceIsTheDefaultFace)
{
    Look look;
    EXPECT_EQ (juce::Font (14.0f).getTypefacePtr()->getName(), "League Spartan");
}

TEST (LookText, DisabledEditorIsFilledWithoutOutline)
{
    Look look;
    juce::TextEditor editor;
    editor.setSize (200, 30);
    editor.setColour (juce::TextEditor::backgroundColourId, juce::Colours::red);

    auto image = snapshot (editor);
    EXPECT_TRUE (near (image.getPixelAt (100, 15), juce::Colours::red));
    EXPECT_GT (image.getPixelAt (100, 1).getAlpha(), 100); // the outline
    EXPECT_TRUE (near (image.getPixelAt (100, 1).withAlpha ((juce::uint8) 255), greyWhiteVekko));

    editor.setEnabled (false);
    image = snapshot (editor);
    EXPECT_TRUE (near (image.getPixelAt (100, 15), juce::Colours::red));
    EXPECT_EQ (image.getPixelAt (100, 1).getAlpha(), 0);
}

TEST (LookWidgets, SlidersComboBoxesAndMenusDrawWithTheirImages)
{
    Look look;

    juce::Slider rotary (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::TextBoxBelow);
    rotary.setSize (100, 130);
    EXPECT_GT (maxAlpha (snapshot (rotary)), 200);
    EXPECT_EQ (rotary.findColour (juce::Slider::textBoxTextColourId), greyTextBoxVekko);

    juce::Slider linear (juce::Slider::LinearVertical, juce::Slider::NoTextBox);
    linear.setSize (40, 200);
    linear.setValue (5.0);
    EXPECT_GT (maxAlpha (snapshot (linear)), 200);

    juce::ComboBox combo;
    combo.setSize (120, 30);
    EXPECT_GT (maxAlpha (snapshot (combo)), 200);

}

TEST (LookMenus, HighlightedItemsIgnoreTheirOwnTextColour)
{
    Look look;
    const auto red = juce::Colours::red;

    auto drawItem = [&] (bool highlighted)
    {
        juce::Image item (juce::Image::ARGB, 200, 24, true);
        juce::Graphics g (item);
        look.drawPopupMenuItem (g, { 0, 0, 200, 24 }, false, true, highlighted, false, true, "MMMM", {}, nullptr, &red);
        return item;
    };

    auto countReddish = [] (const juce::Image& image)
    {
        int n = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto c = image.getPixelAt (x, y);
                n += (c.getAlpha() > 128 && c.getRed() > 150 && c.getGreen() < 80) ? 1 : 0;
            }
        return n;
    };

    EXPECT_GT (countReddish (drawItem (false)), 20);
    const auto highlighted = drawItem (true);
    EXPECT_EQ (countReddish (highlighted), 0);
    EXPECT_TRUE (near (highlighted.getPixelAt (2, 12), blueDarkVekko2));
}
