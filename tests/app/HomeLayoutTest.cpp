#include "app/HomeTestSupport.h"
#include "look/Palette.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
using R = juce::Rectangle<int>;
}

TEST (HomeLayout, DesignSizeGivesTheExactColumn)
{
    ShownMainComponent main;
    main->setSize (860, 587);

    EXPECT_EQ (main->logoButton.getBounds(), R (346, 12, 167, 34));
    EXPECT_EQ (main->renameButton.getBounds(), R (327, 54, 205, 43));
    EXPECT_EQ (main->openButton.getBounds(), R (246, 106, 367, 43));
    EXPECT_EQ (main->statusLabel.getBounds(), R (165, 164, 529, 27));
    EXPECT_EQ (main->welcomeLabel.getBounds(), R (172, 227, 516, 205));
    EXPECT_EQ (main->clearButton.getBounds(), R (246, 463, 367, 43));
    EXPECT_EQ (main->rulesButton.getBounds(), R (327, 515, 205, 43));
    EXPECT_EQ (main->dropTarget.getBounds(), R (0, 0, 860, 587));
    EXPECT_EQ (main->renamePage.getBounds(), R (0, 0, 860, 587));
    EXPECT_EQ (main->rulesPage.getBounds(), R (0, 0, 860, 587));
    EXPECT_NEAR (main->look.labelFontSize, 13.244f, 1.0e-4f);
}

TEST (HomeLayout, SmallestSizeNeedsNoCorrection)
{
    ShownMainComponent main;
    main->setSize (688, 469);

    EXPECT_EQ (main->renameButton.getBounds(), R (261, 42, 166, 33));
    EXPECT_EQ (main->rulesButton.getBounds(), R (261, 404, 166, 33));
    EXPECT_NEAR (main->look.labelFontSize, (float) (481.6 * 0.022f), 1.0e-4f);

    // Every widget of the column is centred, to within a pixel.
    for (juce::Component* c : { (juce::Component*) &main->logoButton, (juce::Component*) &main->renameButton,
                                (juce::Component*) &main->openButton, (juce::Component*) &main->statusLabel,
                                (juce::Component*) &main->welcomeLabel, (juce::Component*) &main->clearButton,
                                (juce::Component*) &main->rulesButton })
        EXPECT_NEAR (c->getBounds().toFloat().getCentreX(), 344.0f, 1.0f) << c->getName();
}

TEST (HomeLayout, TheWindowKeepsTheAspectByShrinkingOneSide)
{
    auto* content = new MainComponent();
    {
        juce::DocumentWindow window ("Tarsio", juce::Colours::black, juce::DocumentWindow::allButtons, false);
        window.setUsingNativeTitleBar (true);
        window.setContentOwned (content, true);
        content->setVisible (true);

        window.setSize (1000, 600); // too wide
        EXPECT_EQ (window.getWidth(), 879);
        EXPECT_EQ (content->getBounds(), R (0, 0, 879, 600));

        window.setSize (900, 700); // too tall
        EXPECT_EQ (content->getBounds(), R (0, 0, 900, 614));
        // The layout ran at the corrected size.
        EXPECT_EQ (content->dropTarget.getBounds(), R (0, 0, 900, 614));

        window.setSize (688, 469); // within the tolerance: left alone
        EXPECT_EQ (content->getBounds(), R (0, 0, 688, 469));
    }
    pumpMessages (20);
}

TEST (HomePainting, StatusFrameTurnsRedOnlyForErrors)
{
    ShownMainComponent main;
    main->setSize (860, 587);
    const auto s = main->statusLabel.getBounds();

    auto framePixel = [&]
    {
        // Paint the main component alone: the frame lies under the label's own text.
        juce::Image image (juce::Image::ARGB, 860, 587, true);
        juce::Graphics g (image);
        main->paint (g);
        return image.getPixelAt (s.getCentreX(), s.getY());
    };

    main->statusLabel.setText ("Error: CSV file does not exist", juce::dontSendNotification);
    const auto red = framePixel();
    EXPECT_GT (red.getRed(), red.getGreen() + 40) << red.toDisplayString (true);

    main->statusLabel.setText ("error: lower case is no error", juce::dontSendNotification);
    const auto plain = framePixel();
    EXPECT_LT (plain.getRed(), plain.getGreen() + 10) << plain.toDisplayString (true);
}

TEST (HomePainting, PanelsFollowThePage)
{
    ShownMainComponent main;
    main->setSize (860, 587);

    auto paintMain = [&]
    {
        juce::Image image (juce::Image::ARGB, 860, 587, true);
        juce::Graphics g (image);
        main->paint (g);
        return image;
    };

    // Home: the welcome panel (164.5, 212, 531, 235) is dark; the page panel's corner area is not.
    auto image = paintMain();
    EXPECT_LT (image.getPixelAt (300, 300).getBrightness(), 0.35f);
    EXPECT_GT (image.getPixelAt (60, 300).getBrightness(), 0.35f);

    // A page: the page panel (38.7, 96.268, 784.32, 481.34) is dark, and there is no status pill.
    main->rulesClicked();
    image = paintMain();
    EXPECT_LT (image.getPixelAt (60, 300).getBrightness(), 0.35f);
    EXPECT_LT (image.getPixelAt (300, 120).getBrightness(), 0.35f);
}
