#pragma once

// The X connections the program opens for itself (to follow the desktop's dialog, to receive drops)
// name windows that may go away between two requests: errors on them are expected and must not
// reach a handler that ends the process (Xlib's default one does). Errors of any other connection
// (JUCE's) go to the handler that was there before. One handler serves every such connection, so
// that none chains to another. Any thread.
typedef struct _XDisplay Display;

namespace XErrorsIgnored
{
    // From now on, until forget, errors on display are ignored.
    void on (::Display* display);
    // Once the display is closed.
    void forget (::Display* display);
}
