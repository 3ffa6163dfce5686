#include "e2e/AppDriver.h"

#include <X11/Xlib.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tarsio::e2e
{
namespace
{
using Clock = std::chrono::steady_clock;

void sleepMs (int ms) { std::this_thread::sleep_for (std::chrono::milliseconds (ms)); }

int ignoreXErrors (::Display*, XErrorEvent*) { return 0; }
} // namespace

std::string applicationPath() { return TARSIO_APP_PATH; }

//==============================================================================
Process::Process (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment)
{
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
    {
        const std::string entry (*e);
        const auto key = entry.substr (0, entry.find ('=') + 1);
        bool overridden = false;
        for (const auto& extra : extraEnvironment)
            overridden = overridden || extra.compare (0, key.size(), key) == 0;
        if (! overridden)
            env.push_back (entry);
    }
    env.insert (env.end(), extraEnvironment.begin(), extraEnvironment.end());

    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back (const_cast<char*> (a.c_str()));
    for (const auto& e : env) envp.push_back (const_cast<char*> (e.c_str()));
    args.push_back (nullptr);
    envp.push_back (nullptr);

    // Own process group, so that everything it starts goes with it.
    posix_spawnattr_t attr;
    posix_spawnattr_init (&attr);
    posix_spawnattr_setflags (&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup (&attr, 0);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    if (posix_spawnp (&pid, args[0], &actions, &attr, args.data(), envp.data()) != 0)
        pid = -1;

    posix_spawn_file_actions_destroy (&actions);
    posix_spawnattr_destroy (&attr);
}

Process::~Process()
{
    if (pid > 0 && ! exitStatus)
    {
        ::kill (-pid, SIGKILL);
        ::waitpid (pid, nullptr, 0);
    }
}

std::optional<int> Process::waitForExit (int timeoutMs)
{
    if (exitStatus || pid <= 0)
        return exitStatus;

    const auto end = Clock::now() + std::chrono::milliseconds (timeoutMs);
    for (;;)
    {
        int status = 0;
        if (::waitpid (pid, &status, WNOHANG) == pid)
        {
            exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
            return exitStatus;
        }
        if (Clock::now() > end)
            return std::nullopt;
        sleepMs (20);
    }
}

bool Process::isRunning() { return pid > 0 && ! waitForExit (0).has_value(); }

//==============================================================================
VirtualDisplay::VirtualDisplay()
{
    int fds[2];
    if (::pipe (fds) != 0)
        return;

    // Xvfb picks a free display number and writes it to the pipe once it accepts connections.
    xvfb = std::make_unique<Process> (std::vector<std::string> { "Xvfb", "-displayfd", std::to_string (fds[1]),
                                                                 "-screen", "0", "1920x1200x24",
                                                                 "-nolisten", "tcp", "-noreset" });
    ::close (fds[1]);

    std::string number;
    pollfd p { fds[0], POLLIN, 0 };
    while (::poll (&p, 1, 10000) > 0)
    {
        char c = 0;
        if (::read (fds[0], &c, 1) != 1 || c == '\n')
            break;
        number += c;
    }
    ::close (fds[0]);

    if (number.empty())
        return;

    displayName = ":" + number;
    display = XOpenDisplay (displayName.c_str());
    if (display == nullptr)
        return;

    XSetErrorHandler (ignoreXErrors);

    windowManager = std::make_unique<Process> (std::vector<std::string> { "openbox", "--sm-disable" }, environment());

    // The window manager is ready once it has announced itself on the root window.
    const auto check = XInternAtom (display, "_NET_SUPPORTING_WM_CHECK", False);
    const auto end = Clock::now() + std::chrono::seconds (10);
    while (Clock::now() < end)
    {
        Atom type; int format; unsigned long count, after; unsigned char* data = nullptr;
        if (XGetWindowProperty (display, DefaultRootWindow (display), check, 0, 1, False, XA_WINDOW,
                                &type, &format, &count, &after, &data) == Success && data != nullptr)
        {
            XFree (data);
            if (count == 1)
                break;
        }
        sleepMs (20);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    if (display != nullptr)
        XCloseDisplay (display);
    windowManager.reset();
    xvfb.reset();
}

void VirtualDisplay::collectWindows (WindowId parent, const std::string& title, std::vector<WindowId>& found)
{
    ::Window root, parentOut, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree (display, parent, &root, &parentOut, &children, &count) == 0)
        return;

    std::unique_ptr<::Window, int (*) (void*)> owned (children, XFree);
    for (unsigned int i = 0; i < count; ++i)
    {
        // JUCE stores WM_NAME as UTF8_STRING, which XFetchName refuses: read the raw property.
        XTextProperty name {};
        if (XGetWMName (display, children[i], &name) != 0 && name.value != nullptr)
        {
            const bool match = title == std::string ((const char*) name.value, name.nitems);
            XFree (name.value);
            // Only a window that the window manager has taken on (WM_STATE set) and shows.
            XWindowAttributes attributes;
            Atom type = 0; int format = 0; unsigned long items = 0, after = 0; unsigned char* state = nullptr;
            const auto wmState = XInternAtom (display, "WM_STATE", False);
            const bool managed = XGetWindowProperty (display, children[i], wmState, 0, 1, False, wmState, &type,
                                                     &format, &items, &after, &state) == Success && items > 0;
            if (state != nullptr)
                XFree (state);
            if (match && managed && XGetWindowAttributes (display, children[i], &attributes)
                && attributes.map_state == IsViewable)
                found.push_back (children[i]);
        }
        collectWindows (children[i], title, found);
    }
}

std::vector<WindowId> VirtualDisplay::windows (const std::string& title)
{
    std::vector<WindowId> found;
    collectWindows (DefaultRootWindow (display), title, found);
    return found;
}

std::optional<WindowId> VirtualDisplay::waitForWindow (const std::string& title, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds (timeoutMs);
    do
    {
        if (const auto found = windows (title); ! found.empty())
            return found.front();
        sleepMs (50);
    } while (Clock::now() < end);
    return std::nullopt;
}

bool VirtualDisplay::windowExists (WindowId w)
{
    XWindowAttributes attributes;
    XSync (display, False);
    return XGetWindowAttributes (display, w, &attributes) != 0;
}

VirtualDisplay::Geometry VirtualDisplay::geometry (WindowId w)
{
    XWindowAttributes attributes {};
    XGetWindowAttributes (display, w, &attributes);
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates (display, w, DefaultRootWindow (display), 0, 0, &x, &y, &child);
    return { x, y, attributes.width, attributes.height };
}

bool VirtualDisplay::click (WindowId w, int x, int y)
{
    Process xdotool ({ "xdotool", "mousemove", "--sync", "--window", std::to_string (w), std::to_string (x),
                       std::to_string (y), "sleep", "0.1", "click", "1" },
                     environment());
    const auto status = xdotool.waitForExit (5000);
    return status.has_value() && *status == 0;
}

void VirtualDisplay::requestClose (WindowId w)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = w;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (display, w, False, NoEventMask, &event);
    XFlush (display);
}
} // namespace tarsio::e2e
