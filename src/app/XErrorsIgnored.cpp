#include "app/XErrorsIgnored.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace
{
std::mutex displaysLock;
std::vector<::Display*> displays;
std::atomic<XErrorHandler> previousHandler { nullptr };

int ignoreOwnErrors (::Display* display, XErrorEvent* event)
{
    {
        const std::lock_guard<std::mutex> lock (displaysLock);
        if (std::find (displays.begin(), displays.end(), display) != displays.end())
            return 0;
    }
    const auto previous = previousHandler.load();
    return previous != nullptr ? previous (display, event) : 0;
}
} // namespace

namespace XErrorsIgnored
{
void on (::Display* display)
{
    {
        const std::lock_guard<std::mutex> lock (displaysLock);
        displays.push_back (display);
    }
    if (const auto old = XSetErrorHandler (ignoreOwnErrors); old != ignoreOwnErrors)
        previousHandler = old;
}

void forget (::Display* display)
{
    const std::lock_guard<std::mutex> lock (displaysLock);
    if (const auto it = std::find (displays.begin(), displays.end(), display); it != displays.end())
        displays.erase (it);
}
} // namespace XErrorsIgnored
