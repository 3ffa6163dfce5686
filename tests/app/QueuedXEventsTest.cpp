#include <gtest/gtest.h>

// The framework's X declarations, for its own connection (after the test framework, whose names the
// X macros would change).
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "app/HomeTestSupport.h"

using namespace tarsio::test;

// A close request that the framework's own reading moved into Xlib's queue, and nothing after it:
// still answered, at the main component's next intake tick.
TEST (QueuedXEvents, ACloseRequestLeftInXlibsQueueIsStillAnswered)
{
    struct ClosingWindow final : juce::Component { void userTriedToCloseWindow() override { closed = true; } bool closed = false; } window;
    window.setBounds (0, 0, 100, 100); // out of the window manager's hands and away from the pointer
    window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
    MainComponent main;
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto queued = [display] (int mode) { const juce::XWindowSystemUtilities::ScopedXLock lock; return XEventsQueued (display, mode); };
    int quietTurns = 0;
    ASSERT_TRUE (pumpUntil ([&] { return (quietTurns = queued (QueuedAfterFlush) == 0 ? quietTurns + 1 : 0) > 20; }));

    XEvent close {};
    close.xclient = { ClientMessage, 0, False, display, (::Window) (juce::pointer_sized_uint) window.getWindowHandle(),
                      XInternAtom (display, "WM_PROTOCOLS", False), 32, {} };
    close.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    XSendEvent (display, close.xclient.window, False, NoEventMask, &close);
    XSync (display, False); // reads the request into Xlib's queue, as a redraw's wait does
    ASSERT_GT (queued (QueuedAlready), 0);

    // The message loop alone, without the test support's wake-up.
    for (const auto end = juce::Time::getMillisecondCounter() + 30000; ! window.closed && juce::Time::getMillisecondCounter() < end;)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    EXPECT_TRUE (window.closed);
}
