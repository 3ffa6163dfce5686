#pragma once

// Benchmarks of the pages run them as users see them: in a desktop window, with the message loop
// running. ./tarsio.sh bench gives the process an X server with a window manager when none is set.

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <sys/resource.h>

// JUCE's own step of the message loop (not in its headers): it waits for the next event, as the
// application's loop does.
namespace juce { bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages); }

namespace bench
{
// Runs the message loop for the time given.
inline void pumpFor (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

// Runs the message loop until the condition holds; false when the time ran out first.
inline bool pumpUntil (const std::function<bool()>& done, int timeoutMs = 60000)
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + timeoutMs;
    while (! done())
    {
        if (juce::Time::getMillisecondCounterHiRes() > end)
            return done();
        pumpFor (1);
    }
    return true;
}

// A native desktop window showing a component it does not own, until destroyed.
class ScopedWindow
{
public:
    ScopedWindow (juce::Component& content, int width, int height)
        : window ("Tarsio", juce::Colours::black, juce::DocumentWindow::allButtons)
    {
        window.setUsingNativeTitleBar (true);
        window.setContentNonOwned (&content, true);
        window.setResizable (true, false);
        window.centreWithSize (width, height);
        window.setVisible (true);
        pumpUntil ([this] { return window.isShowing() && window.getPeer() != nullptr; }, 5000);
        pumpFor (100);
    }

    ~ScopedWindow() { window.clearContentComponent(); }

    juce::DocumentWindow window;
};

// The longest time the message thread went without serving a 1 ms timer while it watched: what a
// user feels as a frozen window.
class MessageThreadWatch final : private juce::Timer
{
public:
    MessageThreadWatch() { reset(); startTimer (1); }
    ~MessageThreadWatch() override { stopTimer(); }

    void reset() { last = juce::Time::getMillisecondCounterHiRes(); longestMs = 0.0; }
    double longestHoldMs() const noexcept { return longestMs; }

private:
    void timerCallback() override
    {
        const auto now = juce::Time::getMillisecondCounterHiRes();
        longestMs = juce::jmax (longestMs, now - last);
        last = now;
    }

    double last = 0.0, longestMs = 0.0;
};

// CPU time, user and system, that this process has used so far, in seconds.
inline double processCpuSeconds()
{
    rusage usage {};
    getrusage (RUSAGE_SELF, &usage);
    return (double) usage.ru_utime.tv_sec + (double) usage.ru_stime.tv_sec
         + 1.0e-6 * (double) (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Percent of one core used while nobody touches the window for the time given. The loop waits for
// events as the application's own loop does (pumpFor wakes every millisecond, which alone costs a
// few percent).
inline double idleCpuPercent (int milliseconds)
{
    const auto cpuBefore = processCpuSeconds();
    const auto start = juce::Time::getMillisecondCounterHiRes();
    while (juce::Time::getMillisecondCounterHiRes() < start + milliseconds)
        juce::dispatchNextMessageOnSystemQueue (false);
    const auto seconds = (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
    return 100.0 * (processCpuSeconds() - cpuBefore) / seconds;
}
} // namespace bench
