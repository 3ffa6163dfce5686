#include "app/DropReceiver.h"
#include "app/XErrorsIgnored.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <vector>

namespace
{
constexpr long kXdndVersion = 5;
constexpr int kStallTimeoutMs = 5000;
} // namespace

struct DropReceiver::Connection
{
    explicit Connection (::Display* d) : display (d)
    {
        // The windows it names (the watched window, a source's) may go away between two requests.
        XErrorsIgnored::on (d);

        const auto atom = [d] (const char* name) { return XInternAtom (d, name, False); };
        xdndAware = atom ("XdndAware");
        xdndProxy = atom ("XdndProxy");
        xdndEnter = atom ("XdndEnter");
        xdndPosition = atom ("XdndPosition");
        xdndStatus = atom ("XdndStatus");
        xdndLeave = atom ("XdndLeave");
        xdndDrop = atom ("XdndDrop");
        xdndFinished = atom ("XdndFinished");
        xdndSelection = atom ("XdndSelection");
        xdndActionCopy = atom ("XdndActionCopy");
        xdndTypeList = atom ("XdndTypeList");
        uriList = atom ("text/uri-list");
        incr = atom ("INCR");
        listProperty = atom ("TARSIO_DROP_LIST");

        // The proxy: never mapped; sources find it through the window's XdndProxy and check that it
        // names itself.
        XSetWindowAttributes attributes {};
        proxy = XCreateWindow (d, DefaultRootWindow (d), -10, -10, 1, 1, 0, 0, InputOnly, nullptr, 0, &attributes);
        XChangeProperty (d, proxy, xdndAware, XA_ATOM, 32, PropModeReplace, (const unsigned char*) &kXdndVersion, 1);
        XChangeProperty (d, proxy, xdndProxy, XA_WINDOW, 32, PropModeReplace, (const unsigned char*) &proxy, 1);
        XFlush (d);
    }

    // Closing the connection also destroys its windows.
    ~Connection()
    {
        XCloseDisplay (display);   // may still report errors on it
        XErrorsIgnored::forget (display);
    }

    void send (::Window to, Atom type, long l0, long l1, long l2, long l3, long l4) const
    {
        XEvent event {};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = to;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        const long data[] = { l0, l1, l2, l3, l4 };
        for (int i = 0; i < 5; ++i)
            event.xclient.data.l[i] = data[i];
        XSendEvent (display, to, False, NoEventMask, &event);
        XFlush (display);
    }

    ::Display* display;
    ::Window proxy = 0;
    Atom xdndAware, xdndProxy, xdndEnter, xdndPosition, xdndStatus, xdndLeave, xdndDrop, xdndFinished,
         xdndSelection, xdndActionCopy, xdndTypeList, uriList, incr, listProperty;
};

// The drag now over the window, from its XdndEnter on.
struct DropReceiver::Drag
{
    ::Window source = 0;
    ::Window target = 0;       // the window the source addresses (ours, not the proxy)
    bool offersUriList = false;
    bool over = false;         // the last XdndStatus accepted
};

// A dropped list being read, whole or in chunks, into a window of its own: a source still busy with
// an earlier transfer writes to the earlier window.
struct DropReceiver::Transfer
{
    ::Window source = 0, target = 0, requestor = 0;
    bool receiving = false;    // the list comes in chunks (INCR)
    std::string bytes;
    juce::uint32 lastProgressMs = 0;
};

namespace
{
// Reads and deletes a property whole; deleting it is also what asks an INCR source for the next chunk.
struct TakenProperty
{
    TakenProperty (::Display* display, ::Window window, Atom property, size_t maxBytes)
    {
        ok = XGetWindowProperty (display, window, property, 0, (long) (maxBytes / 4), True, AnyPropertyType,
                                 &type, &format, &count, &after, &data) == Success;
    }

    ~TakenProperty()
    {
        if (data != nullptr)
            XFree (data);
    }

    bool ok = false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
};
} // namespace

//==============================================================================
DropReceiver::DropReceiver (Handlers h) : handlers (std::move (h)) {}

DropReceiver::~DropReceiver()
{
    stopTimer();
    if (x == nullptr)
        return;

    if (transfer != nullptr)
        x->send (transfer->source, x->xdndFinished, (long) transfer->target, 0, None, 0, 0);
    watchWindow (0);
    juce::LinuxEventLoop::unregisterFdCallback (ConnectionNumber (x->display));
}

bool DropReceiver::connect()
{
    if (x != nullptr)
        return true;

    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return false;

    x = std::make_unique<Connection> (display);
    juce::LinuxEventLoop::registerFdCallback (ConnectionNumber (display), [this] (int) { handleEvents(); });
    return true;
}

void DropReceiver::watchWindow (unsigned long window)
{
    if (window == watched || (window != 0 && ! connect()))
        return;

    // The former window may be gone already: the connection's error handler ignores the failed request.
    if (watched != 0)
        XDeleteProperty (x->display, (::Window) watched, x->xdndProxy);
    watched = window;
    if (window != 0)
        XChangeProperty (x->display, (::Window) window, x->xdndProxy, XA_WINDOW, 32, PropModeReplace,
                         (const unsigned char*) &x->proxy, 1);
    XFlush (x->display);
}

void DropReceiver::handleEvents()
{
    if (x == nullptr)
        return;

    auto* d = x->display;
    while (XPending (d) > 0)
    {
        XEvent event;
        XNextEvent (d, &event);

        // Sources send to the proxy, naming the window they found in the message (GTK, Qt) or the proxy.
        if (event.type == ClientMessage && event.xclient.format == 32)
        {
            const auto& c = event.xclient;
            const long data[] = { c.data.l[0], c.data.l[1], c.data.l[2], c.data.l[3], c.data.l[4] };
            handleClientMessage (c.message_type, c.window, data);
        }
        else if (event.type == SelectionNotify && transfer != nullptr && ! transfer->receiving
                 && event.xselection.requestor == transfer->requestor)
        {
            if (event.xselection.property == None)
                finish (false);
            else
                readAnswer();
        }
        else if (event.type == PropertyNotify && event.xproperty.state == PropertyNewValue && transfer != nullptr
                 && transfer->receiving && event.xproperty.window == transfer->requestor
                 && event.xproperty.atom == x->listProperty)
        {
            readChunk();
        }
    }
}

void DropReceiver::handleClientMessage (unsigned long type, unsigned long window, const long* data)
{
    const auto source = (::Window) data[0];

    if (type == x->xdndEnter)
    {
        endDrag();
        drag = std::make_unique<Drag>();
        drag->source = source;
        drag->target = (::Window) (window == x->proxy ? watched : window);

        // Up to three types in the message; more in the source's XdndTypeList.
        std::vector<Atom> types { (Atom) data[2], (Atom) data[3], (Atom) data[4] };
        if ((data[1] & 1) != 0)
        {
            Atom actual = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* list = nullptr;
            if (XGetWindowProperty (x->display, source, x->xdndTypeList, 0, 4096, False, XA_ATOM,
                                    &actual, &format, &count, &after, &list) == Success && list != nullptr)
            {
                if (actual == XA_ATOM && format == 32)
                    types.insert (types.end(), (const Atom*) list, (const Atom*) list + count);
                XFree (list);
            }
        }
        drag->offersUriList = std::find (types.begin(), types.end(), x->uriList) != types.end();
    }
    else if (type == x->xdndPosition && drag != nullptr && source == drag->source)
    {
        answerPosition ({ (int) ((data[2] >> 16) & 0xffff), (int) (data[2] & 0xffff) });
    }
    else if (type == x->xdndLeave && drag != nullptr && source == drag->source)
    {
        endDrag();
    }
    else if (type == x->xdndDrop && drag != nullptr && source == drag->source)
    {
        if (! drag->over)
        {
            x->send (source, x->xdndFinished, (long) drag->target, 0, None, 0, 0);
            endDrag();
            return;
        }
        const auto target = drag->target;
        endDrag();
        startTransfer (source, target, (unsigned long) data[2]);
    }
}

void DropReceiver::answerPosition (juce::Point<int> physical)
{
    const auto point = juce::Desktop::getInstance().getDisplays().physicalToLogical (physical);
    const bool take = drag->offersUriList && handlers.accepts != nullptr && handlers.accepts (point);

    // Bit 1: keep sending positions, the answer depends on where the pointer is.
    x->send (drag->source, x->xdndStatus, (long) drag->target, (take ? 1 : 0) | 2, 0, 0,
             take ? (long) x->xdndActionCopy : (long) None);

    if (take != drag->over)
    {
        drag->over = take;
        if (handlers.dragOver != nullptr)
            handlers.dragOver (take);
    }
}

void DropReceiver::endDrag()
{
    const bool wasOver = drag != nullptr && drag->over;
    drag.reset();
    if (wasOver && handlers.dragOver != nullptr)
        handlers.dragOver (false);
}

void DropReceiver::startTransfer (unsigned long source, unsigned long target, unsigned long time)
{
    // A drop while an earlier list is still being read: that list is given up.
    if (transfer != nullptr)
        finish (false);

    auto* d = x->display;
    transfer = std::make_unique<Transfer>();
    transfer->source = source;
    transfer->target = target;
    transfer->requestor = XCreateSimpleWindow (d, DefaultRootWindow (d), -10, -10, 1, 1, 0, 0, 0);
    transfer->lastProgressMs = juce::Time::getMillisecondCounter();
    XSelectInput (d, transfer->requestor, PropertyChangeMask);
    XConvertSelection (d, x->xdndSelection, x->uriList, x->listProperty, transfer->requestor, (Time) time);
    XFlush (d);
    startTimer (250);
}

//==============================================================================
void DropReceiver::readAnswer()
{
    const TakenProperty answer (x->display, transfer->requestor, x->listProperty, maxListBytes);
    if (! answer.ok)
        finish (false);
    else if (answer.type == x->incr)
        transfer->receiving = true; // the read deleted the offer: the source starts sending
    else if (answer.after > 0)
        finish (false, Failure::tooLarge);
    else if (answer.format != 8)
        finish (false);
    else
    {
        transfer->bytes.assign ((const char*) answer.data, answer.count);
        finish (true);
    }
}

void DropReceiver::readChunk()
{
    const TakenProperty chunk (x->display, transfer->requestor, x->listProperty, maxListBytes);
    if (! chunk.ok || chunk.type == None)
        return; // nothing there (yet)

    if (chunk.format != 8)
        finish (false);
    else if (chunk.count == 0)
        finish (true); // the empty chunk ends the transfer
    else if (transfer->bytes.size() + chunk.count > maxListBytes)
        finish (false, Failure::tooLarge);
    else
    {
        transfer->bytes.append ((const char*) chunk.data, chunk.count);
        transfer->lastProgressMs = juce::Time::getMillisecondCounter();
    }
}

void DropReceiver::timerCallback()
{
    if (transfer != nullptr && juce::Time::getMillisecondCounter() - transfer->lastProgressMs > (juce::uint32) kStallTimeoutMs)
        finish (false);
}

void DropReceiver::finish (bool read, Failure failure)
{
    stopTimer();
    auto done = std::move (transfer);
    x->send (done->source, x->xdndFinished, (long) done->target, read ? 1 : 0, read ? (long) x->xdndActionCopy : (long) None, 0, 0);
    XDestroyWindow (x->display, done->requestor);
    XFlush (x->display);

    if (read && handlers.dropped != nullptr)
        handlers.dropped (std::move (done->bytes));
    else if (! read && handlers.failed != nullptr)
        handlers.failed (failure);
}
