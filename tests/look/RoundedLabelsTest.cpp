#include "look/Palette.h"
#include "look/RoundedLabels.h"

#include <gtest/gtest.h>

namespace
{
juce::Image snapshot (juce::Component& c)
{
    return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
}
} // namespace

TEST (RoundedLabels, RoundedLabelShowsItsPillOnlyUnderATransparentBackground)
{
    RoundedLabel label;
    label.setSize (100, 20);
    label.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);

    auto image = snapshot (label);
    EXPECT_EQ (image.getPixelAt (50, 10), blackUltraVekko);
    // Outside the pill's rounded end the corner stays clear.
    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);

    label.setColour (juce::Label::backgroundColourId, juce::Colours::red);
    image = snapshot (label);
    EXPECT_EQ (image.getPixelAt (50, 10), juce::Colours::red);
    EXPECT_EQ (image.getPixelAt (0, 0), juce::Colours::red);
}

TEST (RoundedLabels, RoundLabelHasADarkRimAroundItsFill)
{
    RoundLabel label;
    label.setSize (200, 40);
    const auto image = snapshot (label);
    EXPECT_EQ (image.getPixelAt (100, 20), greyBlackVekko);
    EXPECT_EQ (image.getPixelAt (100, 1), blackUltraVekko);
    EXPECT_EQ (image.getPixelAt (100, 38), blackUltraVekko);
}

TEST (RoundedLabels, NarrowAndEmptyLabelsDrawSafely)
{
    RoundedLabel tall;
    tall.setSize (10, 40);
    const auto image = snapshot (tall);
    // A vertical pill: the corner is limited to half the width.
    EXPECT_EQ (image.getPixelAt (5, 20), blackUltraVekko);

    RoundLabel empty;
    empty.setSize (0, 0);
    juce::Image canvas (juce::Image::ARGB, 4, 4, true);
    juce::Graphics g (canvas);
    empty.paint (g);
    EXPECT_EQ (canvas.getPixelAt (1, 1).getAlpha(), 0);
}
