#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <string>
#include <vector>

// Real file drops for the end-to-end tests: drag_source.py offers the files from a small GTK window
// and xdotool drags them onto the target, as a user dragging from a file manager would. Needs an X
// display with a window manager, xdotool and python3-gi. Call from the test's main thread. Drags
// are made one at a time across processes.
namespace tarsio::e2e
{
// Runs repeatedly while a drag is under way. A test whose own process owns the target window must
// pump its message loop here, or the window cannot answer the drag.
using WhileWaiting = std::function<void()>;

// Drags the files (their paths' bytes, UTF-8 or not) from the source window to the point of the
// window's client area and releases them there. Returns false when the drag could not be carried out
// (no display, no window, time-out). Whether the target took the files must be read from the target.
bool dropFilesOnWindow (unsigned long windowId, juce::Point<int> pointInWindow,
                        const std::vector<std::string>& paths, const WhileWaiting& whileWaiting = {});
} // namespace tarsio::e2e
