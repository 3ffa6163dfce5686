#include "app/ChunkedDropReader.h"

#include <X11/Xlib.h>

namespace
{
constexpr int stallTimeoutMs = 5000;
// Pieces of the hand-over to JUCE, well under any X server's request limit.
constexpr size_t handOverPieceBytes = 256 * 1024;
} // namespace

struct ChunkedDropReader::Connection
{
    explicit Connection (::Display* d)
        : display (d),
          xdndSelection (XInternAtom (d, "XdndSelection", False)),
          uriList (XInternAtom (d, "text/uri-list", False)),
          incr (XInternAtom (d, "INCR", False)),
          // Where JUCE 7.0.5 asks the source to put a drag's data.
          juceProperty (XInternAtom (d, "JXSelectionWindowProperty", False)),
          // Names our own copy of the list, and marks the list that this reader handed to JUCE.
          ownProperty (XInternAtom (d, "TARSIO_DROP_LIST", False))
    {
    }

    ~Connection() { XCloseDisplay (display); }

    Atom propertyType (::Window window, Atom property) const
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty (display, window, property, 0, 0, False, AnyPropertyType,
                                &type, &format, &count, &after, &data) != Success)
            return None;
        if (data != nullptr)
            XFree (data);
        return type;
    }

    ::Display* display;
    ::Window ownWindow = 0;
    const Atom xdndSelection, uriList, incr, juceProperty, ownProperty;
};

ChunkedDropReader::ChunkedDropReader() = default;

ChunkedDropReader::~ChunkedDropReader()
{
    cancelPendingUpdate();
    stopTimer();
    // Closing the connection also drops its window and its interest in the watched one.
    if (x != nullptr)
        juce::LinuxEventLoop::unregisterFdCallback (ConnectionNumber (x->display));
}

bool ChunkedDropReader::connect()
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

void ChunkedDropReader::watchWindow (unsigned long window)
{
    if (window == watched || (window != 0 && ! connect()))
        return;

    watched = window;
    if (window != 0)
    {
        XSelectInput (x->display, (::Window) window, PropertyChangeMask);
        XFlush (x->display);
    }
}

bool ChunkedDropReader::isChunkedDrag()
{
    if (x == nullptr || watched == 0)
        return false;

    const auto type = x->propertyType ((::Window) watched, x->juceProperty);
    // The round trip may have queued events that the connection's descriptor no longer announces.
    triggerAsyncUpdate();
    return type == x->incr || type == x->ownProperty;
}

void ChunkedDropReader::takeFiles (FilesCallback callback)
{
    if (phase == Phase::asking || phase == Phase::receiving)
    {
        waiting.push_back (std::move (callback));
        return;
    }

    const auto outcome = phase == Phase::done ? result : Result::unreadable;
    const auto list = std::move (files);
    files.clear();
    phase = Phase::idle;
    callback (outcome, list);
}

void ChunkedDropReader::handleEvents()
{
    if (x == nullptr)
        return;

    auto* d = x->display;
    while (XPending (d) > 0)
    {
        XEvent event;
        XNextEvent (d, &event);

        if (event.type == PropertyNotify && event.xproperty.state == PropertyNewValue)
        {
            const auto& p = event.xproperty;
            // A source answered JUCE in chunks: this drag's list must be read here. An answer that
            // arrives while a reading is under way belongs to the same drag.
            if (p.window == (::Window) watched && p.atom == x->juceProperty
                && phase != Phase::asking && phase != Phase::receiving
                && x->propertyType (p.window, p.atom) == x->incr)
                startReading();
            else if (p.window == x->ownWindow && p.atom == x->ownProperty && phase == Phase::receiving)
                readChunk();
        }
        else if (event.type == SelectionNotify && event.xselection.requestor == x->ownWindow && phase == Phase::asking)
        {
            if (event.xselection.property == None)
                finish (Result::unreadable);
            else
                readAnswer();
        }
    }
}

void ChunkedDropReader::startReading()
{
    auto* d = x->display;
    // A fresh window for every reading: a source still busy with an earlier one writes to the old window.
    if (x->ownWindow != 0)
        XDestroyWindow (d, x->ownWindow);
    x->ownWindow = XCreateSimpleWindow (d, DefaultRootWindow (d), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput (d, x->ownWindow, PropertyChangeMask);
    XConvertSelection (d, x->xdndSelection, x->uriList, x->ownProperty, x->ownWindow, CurrentTime);
    XFlush (d);

    received.reset();
    files.clear();
    phase = Phase::asking;
    lastProgressMs = juce::Time::getMillisecondCounter();
    startTimer (250);
}

namespace
{
// Reads and deletes a property whole; deleting it is also what asks the source for the next chunk.
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

void ChunkedDropReader::readAnswer()
{
    const TakenProperty answer (x->display, x->ownWindow, x->ownProperty, maxListBytes);
    if (! answer.ok)
        finish (Result::unreadable);
    else if (answer.type == x->incr)
        phase = Phase::receiving; // the read deleted the offer: the source starts sending
    else if (answer.after > 0)
        finish (Result::tooLarge);
    else if (answer.format != 8)
        finish (Result::unreadable);
    else
        finish (append (answer.data, answer.count) ? Result::read : Result::tooLarge);
}

void ChunkedDropReader::readChunk()
{
    const TakenProperty chunk (x->display, x->ownWindow, x->ownProperty, maxListBytes);
    if (! chunk.ok || chunk.type == None)
        return; // nothing there (yet)

    if (chunk.format != 8)
        finish (Result::unreadable);
    else if (chunk.count == 0)
        finish (Result::read); // the empty chunk ends the transfer
    else if (! append (chunk.data, chunk.count))
        finish (Result::tooLarge);
    else
        lastProgressMs = juce::Time::getMillisecondCounter();
}

bool ChunkedDropReader::append (const unsigned char* data, unsigned long size)
{
    if (received.getSize() + size > maxListBytes)
        return false;
    received.append (data, size);
    return true;
}

void ChunkedDropReader::timerCallback()
{
    if (juce::Time::getMillisecondCounter() - lastProgressMs > (juce::uint32) stallTimeoutMs)
        finish (Result::unreadable);
}

void ChunkedDropReader::finish (Result outcome)
{
    stopTimer();
    phase = Phase::done;
    result = outcome;
    if (outcome == Result::read)
    {
        files = filesFromUriList (received);
        // Before the drop, JUCE takes the list as the drag's data; after it, JUCE no longer listens.
        if (waiting.empty())
            handToJuce();
    }
    received.reset();

    auto callbacks = std::move (waiting);
    waiting.clear();
    for (auto& callback : callbacks)
        takeFiles (std::move (callback));
}

void ChunkedDropReader::handToJuce()
{
    if (watched == 0)
        return;

    // JUCE reads the property whole, whatever its type, when told that the data is there; the type
    // marks the list as this reader's.
    auto* d = x->display;
    const auto window = (::Window) watched;
    const auto* data = static_cast<const unsigned char*> (received.getData());
    const auto size = received.getSize();
    for (size_t offset = 0; offset == 0 || offset < size; offset += handOverPieceBytes)
        XChangeProperty (d, window, x->juceProperty, x->ownProperty, 8, offset == 0 ? PropModeReplace : PropModeAppend,
                         data + offset, (int) juce::jmin (handOverPieceBytes, size - offset));

    XEvent notify {};
    notify.xselection.type = SelectionNotify;
    notify.xselection.requestor = window;
    notify.xselection.selection = x->xdndSelection;
    notify.xselection.target = x->uriList;
    notify.xselection.property = x->juceProperty;
    notify.xselection.time = CurrentTime;
    XSendEvent (d, window, False, NoEventMask, &notify);
    XFlush (d);
}

juce::StringArray ChunkedDropReader::filesFromUriList (const juce::MemoryBlock& uriList)
{
    juce::StringArray lines, result;
    lines.addLines (uriList.toString());
    for (const auto& line : lines)
        if (! line.startsWithChar ('#'))
            result.add (juce::URL::removeEscapeChars (line.replace ("+", "%2B").replace ("file://", {}, true)));
    result.trim();
    result.removeEmptyStrings();
    return result;
}
