#include "e2e/DropFiles.h"

namespace tarsio::e2e
{
namespace
{
// Waits for the process to end while the caller keeps its window alive; kills it on time-out.
bool waitForExit (juce::ChildProcess& process, int timeoutMs, const WhileWaiting& whileWaiting)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (process.isRunning())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return ! process.kill();
        whileWaiting ? whileWaiting() : juce::Thread::sleep (10);
    }
    return true;
}
} // namespace

bool dropFilesOnWindow (unsigned long windowId, juce::Point<int> pointInWindow,
                        const std::vector<std::string>& paths, const WhileWaiting& whileWaiting)
{
    // Two drags at once disturb each other even on separate X servers (seen with the GTK drag source
    // under parallel ctest): one drag at a time across the test processes.
    juce::InterProcessLock dragLock ("tarsio-e2e-drag");
    const juce::InterProcessLock::ScopedLockType lock (dragLock);

    // The list goes through a file, as bytes: 20,000 paths are too many for a command line.
    const juce::TemporaryFile list;
    juce::MemoryOutputStream bytes;
    for (const auto& p : paths)
        bytes << juce::MemoryBlock (p.data(), p.size()) << "\n";
    list.getFile().replaceWithData (bytes.getData(), bytes.getDataSize());
    const auto title = "tarsio-drag-source-" + juce::Uuid().toDashedString();
    juce::ChildProcess source, search, drag;
    if (! source.start (juce::StringArray { "/usr/bin/python3", TARSIO_SOURCE_DIR "/tests/e2e/drag_source.py", title, list.getFile().getFullPathName() }, 0))
        return false;

    // Once the source window shows: press on it, move past the drag threshold, travel to the target,
    // move once more there so the target sees a position inside it, then release.
    const bool found = search.start (juce::StringArray { "xdotool", "search", "--sync", "--onlyvisible", "--name", "^" + title + "$" })
                    && waitForExit (search, 10000, whileWaiting);
    const auto onTarget = [&] (int back)
    {
        return " mousemove --sync --window " + juce::String (windowId) + " " + juce::String (pointInWindow.x - back)
             + " " + juce::String (pointInWindow.y - back);
    };
    const auto steps = "xdotool mousemove --sync --window " + search.readAllProcessOutput().trim() + " 60 60 sleep 0.2"
                       " mousedown 1 sleep 0.2 mousemove_relative --sync 20 20 sleep 0.3" + onTarget (2) + " sleep 0.4"
                     + onTarget (0) + " sleep 0.4 mouseup 1";
    if (! found || ! drag.start (steps, 0) || ! waitForExit (drag, 15000, whileWaiting) || drag.getExitCode() != 0)
        return ! source.kill();

    // The source ends once the drag is over, whether a window took the drop or not.
    return waitForExit (source, 15000, whileWaiting);
}
} // namespace tarsio::e2e
