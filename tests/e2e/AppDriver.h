#pragma once

// Drives the built application as a user would: on a private X server (Xvfb with a window manager),
// finds its window by title, reads its geometry and closes it through the window system.

#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace tarsio::e2e
{
// X11 types without the X headers, whose macros clash with GoogleTest's.
using WindowId = unsigned long;
using XDisplay = ::_XDisplay;

// A process started with posix_spawn; killed with its children if still running when destroyed.
class Process
{
public:
    Process (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {});
    ~Process();

    Process (const Process&) = delete;
    Process& operator= (const Process&) = delete;

    bool started() const noexcept { return pid > 0; }
    pid_t id() const noexcept { return pid; }

    // The exit status (WEXITSTATUS, or 128 + signal) once it has ended within the time, else nothing.
    std::optional<int> waitForExit (int timeoutMs);
    bool isRunning();

private:
    pid_t pid = -1;
    std::optional<int> exitStatus;
};

// A private Xvfb server with openbox on it, so that tests that open windows run side by side.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();

    VirtualDisplay (const VirtualDisplay&) = delete;
    VirtualDisplay& operator= (const VirtualDisplay&) = delete;

    bool ok() const noexcept { return display != nullptr; }
    const std::string& name() const noexcept { return displayName; }
    XDisplay* connection() const noexcept { return display; }

    // Environment entries for a process that should show its windows here. In sanitizer builds the
    // application's leak check is off: JUCE unloads the X libraries before exit, so their own allocations
    // show up as leaks of an unknown module. Leaks of our code are checked in-process by the other tests.
    std::vector<std::string> environment() const
    {
        return { "DISPLAY=" + displayName, "ASAN_OPTIONS=detect_leaks=0:halt_on_error=1" };
    }

    // The top-level client window whose WM_NAME is the title, once it is mapped.
    std::optional<WindowId> waitForWindow (const std::string& title, int timeoutMs);
    // Every such window shown now.
    std::vector<WindowId> windows (const std::string& title);
    bool windowExists (WindowId w);

    struct Geometry { int x = 0, y = 0, width = 0, height = 0; };
    Geometry geometry (WindowId w);

    // Sends WM_PROTOCOLS/WM_DELETE_WINDOW, as a window manager's close button does.
    void requestClose (WindowId w);

    // A left click at a point of the window's client area, through the real pointer (xdotool).
    bool click (WindowId w, int x, int y);

private:
    void collectWindows (WindowId parent, const std::string& title, std::vector<WindowId>& found);

    std::unique_ptr<Process> xvfb, windowManager;
    std::string displayName;
    XDisplay* display = nullptr;
};

// Path of the built application, as the build passes it to the tests.
std::string applicationPath();
} // namespace tarsio::e2e
