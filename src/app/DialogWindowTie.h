#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <sys/types.h>

// Makes a window that another process shows (the desktop's file dialog) behave as a dialog of ours
// under the window manager: once the process's top-level window is mapped, it is marked transient
// for our window, so the window manager keeps it above ours; and it can be brought to the front with
// the focus, as a pager does. Works on an X connection of its own; does nothing without a display or
// a window manager that lists its clients.
//
// Threads: any one thread, the same for every call (the dialog's watcher, not the message thread).
class DialogWindowTie final
{
public:
    // ownerWindow: our top-level X window (a peer's native handle); 0 leaves the dialog untied.
    DialogWindowTie (unsigned long ownerWindow, pid_t process);
    ~DialogWindowTie();

    // Looks for the process's window until it is mapped, then ties it; true once it was found.
    bool findAndTie();

    // Readable when findAndTie should look again (-1 once the window is found, or without a display).
    int descriptor() const;

    // Asks the window manager to show the found window on top and give it the focus.
    void activate();

private:
    struct Connection;
    std::unique_ptr<Connection> x;
    const unsigned long owner;
    const pid_t pid;
    unsigned long dialog = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogWindowTie)
};
