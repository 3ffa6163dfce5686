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

TEST (Palette, HoldsTheExactValuesOfBothTranslucentFamilies)
{
    // The two families are the easy ones to confuse: check them against their alpha steps.
    EXPECT_EQ (blackOpacityVekko.getARGB(), 0x99000000u);
    EXPECT_EQ (OpacityVekko.getARGB(), 0x66000000u);
    EXPECT_EQ (maskVekko.getARGB(), 0x4C000000u);
    EXPECT_EQ (lightVekko.getARGB(), 0x2B000000u);
    EXPECT_EQ (whiteOpacityVekko.getARGB(), 0xCCE6E6E6u);
    EXPECT_EQ (whitePadVekko.getARGB(), 0x99E6E6E6u);
    EXPECT_EQ (termsVekko.getARGB(), 0x4CE6E6E6u);
    EXPECT_EQ (lightVekko2.getARGB(), 0x33E6E6E6u);
    EXPECT_EQ (randomTransVekko.getARGB(), 0x0FE6E6E6u);
    // Not blueVekko at another alpha: one unit less in green and blue.
    EXPECT_EQ (blueblueVekko.getARGB(), 0x212ACAD5u);
    EXPECT_EQ (transparentVekko.getARGB(), 0u);
}

TEST (Palette, OpaqueColoursAreDistinctFromEachOther)
{
    const juce::Colour opaque[] = { blueVekko, blueLightVekko, blueDarkVekko2, blueDarkVekko, orangeVekko,
                                    orangeDarkVekko, orangeTransChord, redVekko, greenVekko, whiteVekko,
                                    whiteLightVekko, greyWhiteVekko, greyTextBoxVekko, greyLightVekkoO,
                                    greyVekko, greyPlusVekko, backgroundVekko2, backgroundVekkoL,
                                    greyDownVekko, greyBlackVekko, blackVekko, blackUltraVekko, blackFullVekko };
    for (size_t i = 0; i < std::size (opaque); ++i)
    {
        EXPECT_TRUE (opaque[i].isOpaque()) << i;
        for (size_t j = i + 1; j < std::size (opaque); ++j)
            EXPECT_NE (opaque[i], opaque[j]) << i << " " << j;
    }
}

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
