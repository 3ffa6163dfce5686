#include "e2e/DropFiles.h"

#include <X11/Xlib.h>

namespace tarsio::e2e
{
namespace
{
constexpr int sourceStartTimeoutMs = 10000;
constexpr int dragTimeoutMs = 15000;

void waitABit (const WhileWaiting& whileWaiting)
{
    if (whileWaiting)
        whileWaiting();
    else
        juce::Thread::sleep (10);
}

// Waits for the process to end while the caller keeps its window alive; kills it on time-out.
bool waitForExit (juce::ChildProcess& process, int timeoutMs, const WhileWaiting& whileWaiting)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (process.isRunning())
    {
        if (juce::Time::getMillisecondCounter() > end)
        {
            process.kill();
            return false;
        }
        waitABit (whileWaiting);
    }
    return true;
}

struct WindowGeometry
{
    juce::Point<int> origin;
    int width = 0, height = 0;
    bool valid = false;
};

int ignoreXError (::Display*, XErrorEvent*) { return 0; }

WindowGeometry geometryOf (unsigned long windowId)
{
    WindowGeometry result;
    if (windowId == 0)
        return result;

    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
        return result;

    // A window that is gone or not there yet is an answer, not a reason for Xlib to end the process.
    const auto previousHandler = XSetErrorHandler (ignoreXError);

    XWindowAttributes attributes {};
    ::Window child {};
    int x = 0, y = 0;
    if (XGetWindowAttributes (display, (::Window) windowId, &attributes) != 0
        && XTranslateCoordinates (display, (::Window) windowId, DefaultRootWindow (display), 0, 0, &x, &y, &child) != 0)
    {
        result = { { x, y }, attributes.width, attributes.height, true };
    }
    XSync (display, False);
    XSetErrorHandler (previousHandler);
    XCloseDisplay (display);
    return result;
}

juce::String scriptPath()
{
    return juce::File (TARSIO_SOURCE_DIR).getChildFile ("tests/e2e/drag_source.py").getFullPathName();
}
} // namespace

juce::Point<int> windowOrigin (unsigned long windowId)
{
    return geometryOf (windowId).origin;
}

namespace
{
enum class DragOutcome { dropped, notDropped, failed };

DragOutcome dragOnce (const juce::StringArray& paths, juce::Point<int> screenPoint, const WhileWaiting& whileWaiting)
{
    if (juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isEmpty())
        return DragOutcome::failed;

    const auto title = "tarsio-drag-source-" + juce::Uuid().toDashedString();

    juce::StringArray sourceArgs { "/usr/bin/python3", scriptPath(), title };
    sourceArgs.addArray (paths);
    juce::ChildProcess source;
    if (! source.start (sourceArgs, 0))
        return DragOutcome::failed;

    // The source window's id, once it is mapped.
    juce::ChildProcess search;
    if (! search.start (juce::StringArray { "xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + title + "$" })
        || ! waitForExit (search, sourceStartTimeoutMs, whileWaiting))
    {
        source.kill();
        return DragOutcome::failed;
    }

    const auto sourceWindow = (unsigned long) search.readAllProcessOutput().trim().getLargeIntValue();
    const auto sourceGeometry = geometryOf (sourceWindow);
    if (! sourceGeometry.valid)
    {
        source.kill();
        return DragOutcome::failed;
    }

    const auto start = sourceGeometry.origin + juce::Point<int> (sourceGeometry.width / 2, sourceGeometry.height / 2);

    // Press on the source, move past the drag threshold, travel to the target, move once more there so
    // the target sees a position inside it, then release.
    juce::ChildProcess drag;
    const juce::StringArray dragArgs { "xdotool",
        "mousemove", "--sync", juce::String (start.x), juce::String (start.y), "sleep", "0.2",
        "mousedown", "1", "sleep", "0.2",
        "mousemove_relative", "--sync", "20", "20", "sleep", "0.3",
        "mousemove", "--sync", juce::String (screenPoint.x - 2), juce::String (screenPoint.y - 2), "sleep", "0.4",
        "mousemove", "--sync", juce::String (screenPoint.x), juce::String (screenPoint.y), "sleep", "0.4",
        "mouseup", "1" };

    if (! drag.start (dragArgs, 0) || ! waitForExit (drag, dragTimeoutMs, whileWaiting))
    {
        source.kill();
        return DragOutcome::failed;
    }

    // The source ends once the drag is over. A JUCE window ends every drag it saw alike, taken by a
    // component or not; a drag that reached no window at all ended without a drop.
    if (! waitForExit (source, dragTimeoutMs, whileWaiting))
        return DragOutcome::failed;
    return source.getExitCode() == 0 ? DragOutcome::dropped : DragOutcome::notDropped;
}
} // namespace

bool dropFilesAtScreenPoint (const juce::StringArray& paths, juce::Point<int> screenPoint,
                             const WhileWaiting& whileWaiting)
{
    // Two drags at once disturb each other even on separate X servers (seen with the GTK drag source
    // under parallel ctest): one drag at a time across the test processes.
    juce::InterProcessLock dragLock ("tarsio-e2e-drag");
    const juce::InterProcessLock::ScopedLockType lock (dragLock);

    // A drag that reached no window ended without a drop; whether a component took the files must
    // be read from the target.
    return dragOnce (paths, screenPoint, whileWaiting) != DragOutcome::failed;
}

bool dropFilesOnWindow (unsigned long windowId, juce::Point<int> pointInWindow,
                        const juce::StringArray& paths, const WhileWaiting& whileWaiting)
{
    const auto geometry = geometryOf (windowId);
    if (! geometry.valid)
        return false;

    return dropFilesAtScreenPoint (paths, geometry.origin + pointInWindow, whileWaiting);
}
} // namespace tarsio::e2e
