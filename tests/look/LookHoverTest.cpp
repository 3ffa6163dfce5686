// The hover overlay needs the real pointer over a real window.
#include "e2e/DropFiles.h"
#include "look/Look.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
bool movePointer (juce::Point<int> screenPoint)
{
    juce::ChildProcess xdotool;
    return xdotool.start (juce::StringArray { "xdotool", "mousemove", "--sync",
                                              juce::String (screenPoint.x), juce::String (screenPoint.y) }, 0)
        && xdotool.waitForProcessToFinish (5000);
}

struct HoverWindow
{
    HoverWindow()
    {
        look.wideButtonOffImage = juce::Image (juce::Image::ARGB, 400, 200, false);
        look.wideButtonOffImage.clear ({ 0, 0, 400, 200 }, juce::Colours::magenta);
        look.roundButtonOffImage = juce::Image (juce::Image::ARGB, 200, 200, false);
        look.roundButtonOffImage.clear ({ 0, 0, 200, 200 }, juce::Colours::cyan);

        content.setSize (300, 200);
        content.addAndMakeVisible (button);
        window.setUsingNativeTitleBar (true);
        window.setContentNonOwned (&content, true);
        window.centreWithSize (300, 200);
        window.setVisible (true);
        window.toFront (true);
    }

    ~HoverWindow()
    {
        movePointer ({ 0, 0 });
        window.clearContentComponent();
        window.setVisible (false);
        pumpMessages (50);
    }

    bool hover()
    {
        auto* peer = window.getPeer();
        if (peer == nullptr)
            return false;
        const auto origin = tarsio::e2e::windowOrigin ((unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle());
        // Enter from outside: a move onto the point where the pointer already is never arrives.
        return movePointer (origin + juce::Point<int> (5, 5))
            && pumpUntil ([this] { return ! button.isMouseOver(); }, 3000)
            && movePointer (origin + button.getBounds().getCentre())
            && pumpUntil ([this] { return button.isMouseOver(); }, 3000);
    }

    juce::Image snapshot() { return button.createComponentSnapshot (button.getLocalBounds(), true, 1.0f); }

    Look look;
    juce::TextButton button;
    juce::Component content;
    juce::DocumentWindow window { "Tarsio hover test", juce::Colours::black, juce::DocumentWindow::allButtons };
};
} // namespace

TEST (LookHover, EnabledButtonsLightUpUnderThePointer)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty() || ! juce::File ("/usr/bin/xdotool").existsAsFile())
        GTEST_SKIP() << "needs an X display and xdotool";

    HoverWindow w;
    ASSERT_TRUE (pumpUntil ([&] { return w.button.isShowing(); }));
    pumpMessages (300);

    // 2:1: a light pill over the skin; the skin's corner stays clear of it.
    w.button.setBounds (100, 80, 80, 40);
    ASSERT_TRUE (w.hover());
    auto image = w.snapshot();
    EXPECT_GT (image.getPixelAt (40, 20).getGreen(), 30);
    EXPECT_EQ (image.getPixelAt (1, 20).getGreen(), 0);

    // Square: a disc of 0.8 times the width.
    w.button.setBounds (120, 80, 40, 40);
    ASSERT_TRUE (w.hover());
    image = w.snapshot();
    EXPECT_GT (image.getPixelAt (20, 20).getRed(), 30);
    EXPECT_EQ (image.getPixelAt (5, 5).getRed(), 0);

    // Narrow: no skin, but still the overlay.
    w.button.setBounds (125, 80, 30, 40);
    ASSERT_TRUE (w.hover());
    EXPECT_GT (w.snapshot().getPixelAt (15, 20).getAlpha(), 0);

    // Disabled: no overlay.
    w.button.setBounds (100, 80, 80, 40);
    w.button.setEnabled (false);
    ASSERT_TRUE (w.hover());
    EXPECT_EQ (w.snapshot().getPixelAt (40, 20).getGreen(), 0);
}
