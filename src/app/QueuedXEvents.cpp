// The framework's X declarations are only visible where they are asked for.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

#include "app/QueuedXEvents.h"

void QueuedXEvents::wake()
{
   #if JUCE_LINUX || JUCE_BSD
    auto* system = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = system != nullptr ? system->getDisplay() : nullptr;
    auto* peer = juce::ComponentPeer::getNumPeers() > 0 ? juce::ComponentPeer::getPeer (0) : nullptr;
    if (display == nullptr || peer == nullptr)
        return;

    juce::XWindowSystemUtilities::ScopedXLock lock;
    if (XEventsQueued (display, QueuedAlready) == 0)
        return;

    // A message of a type JUCE does not know: it reads and ignores it, with everything queued before it.
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = (::Window) (juce::pointer_sized_uint) peer->getNativeHandle();
    event.xclient.message_type = XInternAtom (display, "TARSIO_WAKE", False);
    event.xclient.format = 32;
    XSendEvent (display, event.xclient.window, False, NoEventMask, &event);
    XFlush (display);
   #endif
}
