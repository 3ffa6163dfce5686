#include "app/MainComponent.h"
#include "e2e/DropFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

// The main window is torn down while the intake timer keeps asking for repaints: nothing of the
// half-destroyed main component may be painted on the way. It is about painting, not threads, and
// Xlib's own locking confuses ThreadSanitizer, so the name keeps it out of that run.
TEST (WindowClose, ClosingTheWindowWhileItRepaintsIsClean)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())
        GTEST_SKIP() << "needs an X display";

    auto window = std::make_unique<juce::DocumentWindow> ("Tarsio", juce::Colours::black,
                                                          juce::DocumentWindow::allButtons);
    window->setUsingNativeTitleBar (true);
    window->setContentOwned (new MainComponent(), true);
    window->setVisible (true);
    ASSERT_TRUE (pumpUntil ([&] { return window->getContentComponent()->isShowing(); }));
    pumpMessages (300);

    window->getContentComponent()->repaint();
    window.reset();
    pumpMessages (50);
}
