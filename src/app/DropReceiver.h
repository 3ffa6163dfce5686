#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <string>

// Receives the file drops of a top-level window itself, through the XDND protocol's proxy.
//
// JUCE 7.0.5 reads a drop's list into juce::Strings (a name that is not UTF-8 asserts and loses its
// bytes), does not read a list that the source sends in chunks (INCR, above about 256 KB of URIs)
// and parses every list twice on the message thread. So the window gets an XdndProxy property naming
// a hidden window of this object's own X connection: drag sources that honour it (GTK, Qt, the
// browsers) talk to that window, and JUCE never sees their drags. This object answers them, asks
// for the text/uri-list, reads it whole or in chunks and hands over its bytes. Sources that ignore
// the proxy still reach JUCE's own handling.
//
// Message thread only: its X events arrive through JUCE's event loop.
class DropReceiver final : private juce::Timer
{
public:
    enum class Failure { tooLarge, unreadable };

    struct Handlers
    {
        // Whether a drop at this point of the screen (logical pixels) would be taken now.
        std::function<bool (juce::Point<int>)> accepts;
        // A drag that would be taken came over the window (true), or left it or was dropped (false).
        std::function<void (bool)> dragOver;
        // The dropped text/uri-list, as the source sent it.
        std::function<void (std::string)> dropped;
        std::function<void (Failure)> failed;
    };

    explicit DropReceiver (Handlers handlers);
    ~DropReceiver() override;

    // The top-level X window whose drops to receive (a peer's native handle); 0 for none.
    void watchWindow (unsigned long window);

    // A list beyond this is refused: it would only exhaust memory.
    static constexpr size_t maxListBytes = 64 * 1024 * 1024;

private:
    struct Connection;
    struct Drag;
    struct Transfer;

    void timerCallback() override;
    bool connect();
    void handleEvents();
    void handleClientMessage (unsigned long type, unsigned long window, const long* data);
    void answerPosition (juce::Point<int> physical);
    void startTransfer (unsigned long source, unsigned long target, unsigned long time);
    void readAnswer();
    void readChunk();
    void finish (bool read, Failure failure = Failure::unreadable);
    void endDrag();

    const Handlers handlers;
    std::unique_ptr<Connection> x;
    std::unique_ptr<Drag> drag;
    std::unique_ptr<Transfer> transfer;
    unsigned long watched = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DropReceiver)
};
