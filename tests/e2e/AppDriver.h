#pragma once

// Drives the built application as a user would, on a private X server (Xvfb with openbox), through
// the desktop's own tools (xdotool, wmctrl).

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarsio::e2e
{
using WindowId = unsigned long;

// A process started with posix_spawn in a process group of its own; killed with everything it
// started if still running when destroyed. A quiet one writes nothing to this process's output,
// which it would otherwise hold open (and ctest waiting) if this process ended abruptly.
class Process
{
public:
    Process (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment = {},
             bool quiet = false);
    ~Process();
    Process (const Process&) = delete;

    bool started() const noexcept { return pid > 0; }
    pid_t id() const noexcept { return pid; }
    // The exit status (WEXITSTATUS, or 128 + signal) once it has ended within the time, else nothing.
    std::optional<int> waitForExit (int timeoutMs);

private:
    pid_t pid = -1;
    std::optional<int> exitStatus;
};

class VirtualDisplay
{
public:
    VirtualDisplay();

    bool ok() const noexcept { return ! displayName.empty(); }
    const std::string& name() const noexcept { return displayName; }

    // For a process that should show its windows here. The application's leak check is off in
    // sanitizer builds: JUCE unloads the X libraries before exit, so their allocations show up as
    // leaks of an unknown module. Leaks of our code are checked in-process by the other tests.
    std::vector<std::string> environment() const
    {
        return { "DISPLAY=" + displayName, "ASAN_OPTIONS=detect_leaks=0:halt_on_error=1" };
    }

    // Runs a tool (xdotool, wmctrl) on this display; its output, or nothing when it failed.
    std::optional<std::string> run (const std::vector<std::string>& argv);

    // The shown top-level windows with exactly this title, bottom first.
    std::vector<WindowId> windows (const std::string& title);
    std::optional<WindowId> waitForWindow (const std::string& title, int timeoutMs);

    struct Geometry { int x = 0, y = 0, width = 0, height = 0; };
    Geometry geometry (WindowId w);

    // A close request, as the window manager's close button sends it.
    void requestClose (WindowId w) { run ({ "wmctrl", "-i", "-c", std::to_string (w) }); }
    // A left click at a point of the window's client area, through the real pointer.
    bool click (WindowId w, int x, int y)
    {
        return run ({ "xdotool", "mousemove", "--sync", "--window", std::to_string (w), std::to_string (x), std::to_string (y), "sleep", "0.1", "click", "1" }).has_value();
    }

private:
    std::optional<Process> xvfb, windowManager;
    std::string displayName;
};

// Counts the openings of the files in a folder from now on, as the kernel reports them (inotify):
// what the application has read, where its window shows nothing that another process could see.
class OpenedFiles
{
public:
    explicit OpenedFiles (const std::string& folder);
    ~OpenedFiles();
    OpenedFiles (const OpenedFiles&) = delete;

    // The openings of the file so far.
    int count (const std::string& name);
    // True once the file has been opened that many times in all; false when the time is up.
    bool waitFor (const std::string& name, int times, int timeoutMs = 30000);

private:
    int descriptor = -1;
    std::map<std::string, int> counts;
};

// OPEN clicked in the application's window, and everything its dialog shows picked at once; true
// once the dialog has closed. A slow build may not answer the first click yet, and zenity can take
// seconds to start and to fill its list.
bool openEverythingInDialog (VirtualDisplay& screen, WindowId window);

// Path of the built application, as the build passes it to the tests.
std::string applicationPath();
} // namespace tarsio::e2e
