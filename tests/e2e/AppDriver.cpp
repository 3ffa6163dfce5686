#include "e2e/AppDriver.h"

#include <juce_core/juce_core.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <X11/Xlib.h>

extern char** environ;

namespace tarsio::e2e
{
std::string applicationPath() { return TARSIO_APP_PATH; }

Process::Process (const std::vector<std::string>& argv, const std::vector<std::string>& extraEnvironment, bool quiet)
{
    // Through env(1), which sets the extra entries over this process's environment.
    std::vector<std::string> command { "env" };
    command.insert (command.end(), extraEnvironment.begin(), extraEnvironment.end());
    command.insert (command.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (auto& a : command)
        args.push_back (a.data());
    args.push_back (nullptr);

    // A process group of its own, so that everything it starts goes with it.
    posix_spawnattr_t attr;
    posix_spawnattr_init (&attr);
    posix_spawnattr_setflags (&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    if (quiet)
        for (int fd : { STDOUT_FILENO, STDERR_FILENO })
            posix_spawn_file_actions_addopen (&actions, fd, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp (&pid, "env", &actions, &attr, args.data(), environ) != 0)
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
    for (int waited = 0, status = 0; pid > 0 && ! exitStatus; waited += 10, ::usleep (10000))
    {
        if (::waitpid (pid, &status, WNOHANG) == pid)
            exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
        else if (waited >= timeoutMs)
            break;
    }
    return exitStatus;
}

VirtualDisplay::VirtualDisplay()
{
    // Xvfb picks a free display number and writes it to the pipe once it accepts connections.
    int fds[2];
    if (::pipe (fds) != 0)
        return;
    xvfb.emplace (std::vector<std::string> { "Xvfb", "-displayfd", std::to_string (fds[1]), "-screen", "0",
                                             "1920x1200x24", "-nolisten", "tcp", "-noreset" },
                  std::vector<std::string> {}, true);
    ::close (fds[1]);
    std::string number;
    for (pollfd p { fds[0], POLLIN, 0 }; ::poll (&p, 1, 30000) > 0;)
        if (char c = 0; ::read (fds[0], &c, 1) != 1 || c == '\n')
            break;
        else
            number += c;
    ::close (fds[0]);
    if (number.empty())
        return;

    displayName = ":" + number;
    windowManager.emplace (std::vector<std::string> { "openbox", "--sm-disable" }, environment(), true);
    // It announces itself on the root window before it reads the first requests, and drops the map
    // requests that come meanwhile: ready once it has shown a window of ours (asked again until then).
    for (int i = 0; i < 1500 && run ({ "xprop", "-root", "_NET_SUPPORTING_WM_CHECK" }).value_or ("").find ("window id") == std::string::npos; ++i)
        ::usleep (20000);
    if (auto* display = XOpenDisplay (displayName.c_str()))
    {
        const auto probe = XCreateSimpleWindow (display, DefaultRootWindow (display), 0, 0, 10, 10, 0, 0, 0);
        for (int i = 0; i < 300; ++i, ::usleep (100000))
        {
            XMapWindow (display, probe);
            XSync (display, False);
            if (XWindowAttributes a {}; XGetWindowAttributes (display, probe, &a) && a.map_state == IsViewable)
                break;
        }
        XDestroyWindow (display, probe);
        XCloseDisplay (display);
    }
}

std::optional<std::string> VirtualDisplay::run (const std::vector<std::string>& argv)
{
    juce::StringArray command { "env", juce::String ("DISPLAY=" + displayName) };
    for (const auto& a : argv)
        command.add (juce::String::fromUTF8 (a.c_str()));
    juce::ChildProcess tool;
    if (! tool.start (command, juce::ChildProcess::wantStdOut))
        return std::nullopt;
    const auto output = tool.readAllProcessOutput().toStdString();
    return tool.waitForProcessToFinish (10000) && tool.getExitCode() == 0 ? std::optional (output) : std::nullopt;
}

std::vector<WindowId> VirtualDisplay::windows (const std::string& title)
{
    std::vector<WindowId> found;
    const auto pattern = "^" + juce::String (title).replace (".", "\\.").replace ("(", "\\(").replace (")", "\\)") + "$";
    for (const auto& id : juce::StringArray::fromTokens (run ({ "xdotool", "search", "--onlyvisible", "--name", pattern.toStdString() }).value_or (""), true))
        found.push_back ((WindowId) id.getLargeIntValue());
    return found;
}

std::optional<WindowId> VirtualDisplay::waitForWindow (const std::string& title, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 50, ::usleep (50000))
        if (const auto found = windows (title); ! found.empty())
            return found.front();
    return std::nullopt;
}

VirtualDisplay::Geometry VirtualDisplay::geometry (WindowId w)
{
    // Lines WINDOW=, X=, Y=, WIDTH=, HEIGHT=, SCREEN=.
    const auto lines = juce::StringArray::fromLines (run ({ "xdotool", "getwindowgeometry", "--shell", std::to_string (w) }).value_or (""));
    const auto field = [&] (int i) { return lines[i].fromFirstOccurrenceOf ("=", false, false).getIntValue(); };
    return { field (1), field (2), field (3), field (4) };
}

OpenedFiles::OpenedFiles (const std::string& folder) : descriptor (::inotify_init1 (IN_NONBLOCK | IN_CLOEXEC))
{
    ::inotify_add_watch (descriptor, folder.c_str(), IN_OPEN);
}

OpenedFiles::~OpenedFiles() { ::close (descriptor); }

int OpenedFiles::count (const std::string& name)
{
    alignas (inotify_event) char buffer[4096];
    for (ssize_t size; (size = ::read (descriptor, buffer, sizeof (buffer))) > 0;)
        for (auto* at = buffer; at < buffer + size;)
        {
            const auto* event = reinterpret_cast<const inotify_event*> (at);
            if (event->len > 0)
                ++counts[event->name];
            at += sizeof (inotify_event) + event->len;
        }
    return counts[name];
}

bool OpenedFiles::waitFor (const std::string& name, int times, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    for (pollfd p { descriptor, POLLIN, 0 }; count (name) < times; ::poll (&p, 1, 100))
        if (juce::Time::getMillisecondCounter() > end)
            return false;
    return true;
}

bool openEverythingInDialog (VirtualDisplay& screen, WindowId window)
{
    const std::string title ("Select audio file(s) to convert...");
    std::optional<WindowId> dialog;
    for (int i = 0; i < 3 && ! dialog; ++i)
        if (screen.click (window, 429, 127)) // OPEN
            dialog = screen.waitForWindow (title, 15000);

    for (int i = 0; dialog && i < 5 && ! screen.windows (title).empty(); ++i, std::this_thread::sleep_for (std::chrono::seconds (1)))
        screen.run ({ "xdotool", "windowactivate", "--sync", std::to_string (*dialog), "sleep", "0.5", "key", "ctrl+a", "sleep", "0.3", "key", "Return" });
    return dialog && screen.windows (title).empty();
}
} // namespace tarsio::e2e
