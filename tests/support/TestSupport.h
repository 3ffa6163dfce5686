#pragma once

#include "app/QueuedXEvents.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <string>
#include <vector>

#include <stdlib.h>

namespace tarsio::test
{
// Runs the message loop for a while, so that timers, async updates and posted messages happen, and
// X events that JUCE left in Xlib's queue are read (as the application's intake timer has them read).
inline void pumpMessages (int milliseconds)
{
    QueuedXEvents::wake();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// Runs the message loop until the condition holds or the time is up; returns the condition. The time
// is only an upper bound, generous for a loaded machine.
inline bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 30000)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs; ! condition(); pumpMessages (10))
        if (juce::Time::getMillisecondCounter() > end)
            return condition();
    return true;
}

// Gives the field the keyboard focus, bringing its window to the front until the window system
// makes it the active window (only that one takes key presses).
inline void focusField (juce::Component& window, juce::Component& field)
{
    for (int attempt = 0; attempt < 1500 && ! field.hasKeyboardFocus (true); ++attempt)
        window.toFront (true), field.grabKeyboardFocus(), pumpMessages (20);
}

// A left press at the centre of target, and its release 50 ms later, as the window system hands
// them to the window's peer; time is the press's (presses close together make a double-click).
inline void pressAndRelease (juce::Component& window, juce::Component& target, juce::int64 time)
{
    const auto at = window.getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
    for (int mods : { (int) juce::ModifierKeys::leftButtonModifier, 0 })
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys (mods),
                                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                            time + (mods == 0 ? 50 : 0));
}

// Paths as the pages take them: the bytes of each name.
inline std::vector<std::string> bytesOf (const juce::StringArray& paths)
{
    std::vector<std::string> bytes;
    for (const auto& p : paths)
        bytes.push_back (p.toStdString());
    return bytes;
}

// A plain left-button event at a point of the component, for calling its mouse handlers directly.
inline juce::MouseEvent mouseEventAt (juce::Component& target, juce::Point<float> position)
{
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, {},
                             juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f,
                             &target, &target, juce::Time::getCurrentTime(), position,
                             juce::Time::getCurrentTime(), 1, false);
}

// A temporary folder, removed with everything in it. Created atomically (mkdtemp): tests run as
// parallel processes, and a name picked by looking first could be picked by two of them.
class TempFolder
{
public:
    TempFolder()
    {
        auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                           .getChildFile ("tarsio-test-XXXXXX").getFullPathName().toStdString();
        if (::mkdtemp (pattern.data()) != nullptr)
            folder = juce::File (pattern);
        jassert (folder.isDirectory());
    }
    ~TempFolder() { folder.deleteRecursively(); }

    const juce::File& get() const noexcept { return folder; }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }

private:
    juce::File folder;
    JUCE_DECLARE_NON_COPYABLE (TempFolder)
};
} // namespace tarsio::test
