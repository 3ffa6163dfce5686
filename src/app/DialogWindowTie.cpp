#include "app/DialogWindowTie.h"
#include "app/XErrorsIgnored.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

struct DialogWindowTie::Connection
{
    explicit Connection (::Display* d)
        : display (d),
          root (DefaultRootWindow (d)),
          clientList (XInternAtom (d, "_NET_CLIENT_LIST", False)),
          processId (XInternAtom (d, "_NET_WM_PID", False)),
          activeWindow (XInternAtom (d, "_NET_ACTIVE_WINDOW", False))
    {
        // Woken when the window manager's list of clients changes.
        XSelectInput (d, root, PropertyChangeMask);
        XFlush (d);
        // The dialog's windows may go away between two requests.
        XErrorsIgnored::on (d);
    }

    ~Connection()
    {
        XCloseDisplay (display);   // may still report errors on it
        XErrorsIgnored::forget (display);
    }

    // A property of 32-bit items (windows, cardinals); empty when it or its window is missing.
    std::vector<unsigned long> items (::Window window, Atom property, Atom type) const
    {
        Atom actualType = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> result;
        if (XGetWindowProperty (display, window, property, 0, 65536, False, type,
                                &actualType, &format, &count, &after, &data) == Success
            && actualType == type && format == 32 && data != nullptr)
        {
            // Xlib hands 32-bit items over as longs.
            const auto* values = reinterpret_cast<const unsigned long*> (data);
            result.assign (values, values + count);
        }
        if (data != nullptr)
            XFree (data);
        return result;
    }

    ::Display* display;
    const ::Window root;
    const Atom clientList, processId, activeWindow;
};

DialogWindowTie::DialogWindowTie (unsigned long ownerWindow, pid_t process)
    : owner (ownerWindow), pid (process)
{
    if (auto* display = XOpenDisplay (nullptr))
        x = std::make_unique<Connection> (display);
}

DialogWindowTie::~DialogWindowTie() = default;

int DialogWindowTie::descriptor() const { return x != nullptr && dialog == 0 ? ConnectionNumber (x->display) : -1; }

bool DialogWindowTie::findAndTie()
{
    if (dialog != 0 || x == nullptr)
        return dialog != 0;

    for (XEvent event; XPending (x->display) > 0;)
        XNextEvent (x->display, &event);

    // The window manager lists the windows it manages: mapped top-levels only, never the toolkit's
    // hidden helper windows that carry the same process id.
    for (const auto window : x->items (x->root, x->clientList, XA_WINDOW))
        if (const auto id = x->items ((::Window) window, x->processId, XA_CARDINAL); id.size() == 1 && (pid_t) id[0] == pid)
        {
            dialog = window;
            break;
        }

    if (dialog == 0)
        return false;

    XSelectInput (x->display, x->root, NoEventMask);
    if (owner != 0)
    {
        const auto parent = (::Window) owner;
        XChangeProperty (x->display, (::Window) dialog, XA_WM_TRANSIENT_FOR, XA_WINDOW, 32, PropModeReplace,
                         reinterpret_cast<const unsigned char*> (&parent), 1);
    }
    XFlush (x->display);
    return true;
}

void DialogWindowTie::activate()
{
    if (x == nullptr || dialog == 0)
        return;

    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = (::Window) dialog;
    event.xclient.message_type = x->activeWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // from a pager: the user asked for it, so no focus-stealing rule applies
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (x->display, x->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush (x->display);
}
