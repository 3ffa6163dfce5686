// The built application under a window manager, as a user handles it: OPEN a batch through the
// desktop's dialog, RENAME, "GO RENAME !", then maximise, restore, resize beyond the limits, close.
#include "app/HomeTestSupport.h"
#include "e2e/AppDriver.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tarsio::e2e;

namespace
{
using Geometry = VirtualDisplay::Geometry;

void sleepMs (int ms) { std::this_thread::sleep_for (std::chrono::milliseconds (ms)); }

// Clock ticks of CPU the process used (user and system) during one second, from /proc.
long cpuOverOneSecond (pid_t pid)
{
    const auto cpu = [pid]
    {
        // Fields after the command's ")": state first, then utime and stime at 11 and 12.
        const auto stat = juce::StringArray::fromTokens (juce::File ("/proc/" + juce::String (pid) + "/stat").loadFileAsString().fromLastOccurrenceOf (")", false, false), " ", {});
        return stat[11].getLargeIntValue() + stat[12].getLargeIntValue();
    };
    const auto before = cpu();
    sleepMs (1000);
    return (long) (cpu() - before);
}

bool withinLimits (const Geometry& g) { return g.width >= 688 && g.height >= 469 && g.width <= 1720 && g.height <= 1174; }
} // namespace

TEST (ApplicationWindow, OpensRenamesMaximisesRestoresResizesWithinItsLimitsAndQuitsAtOnce)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok());

    // The dialog opens in the home folder; the names hold what JUCE's own chooser split or hid.
    tarsio::test::TempFolder home;
    for (const auto* name : { "Take:1 Kick.wav", "SNARE TOP.WAV", "Bass DI.wav" })
        tarsio::test::writeWav (home / name);
    (home / "notes.txt").replaceWithText ("not audio");

    auto environment = screen.environment();
    environment.push_back ("HOME=" + home.get().getFullPathName().toStdString());
    Process app ({ applicationPath() }, environment);
    WindowId window = 0;

    // The window's geometry once it has held still in a state that passes the test.
    const auto settle = [&] (const std::function<bool (const Geometry&)>& wanted)
    {
        Geometry last { -1, -1, -1, -1 };
        for (int i = 0; i < 75; ++i, sleepMs (200))
        {
            window = screen.waitForWindow ("Tarsio", 15000).value_or (0);
            const auto g = screen.geometry (window);
            if (wanted (g) && g.width == last.width && g.height == last.height && g.x == last.x)
                break;
            last = g;
        }
        return last;
    };
    const auto wm = [&] (const char* action) { screen.run ({ "wmctrl", "-i", "-r", std::to_string (window), "-b", action }); };

    // The first window is replaced once the look is installed: wait for the final one, centred.
    auto g = settle ([] (auto& w) { return w.width == 860 && std::abs (w.x + w.width / 2 - 960) <= 20; });
    EXPECT_EQ (g.height, 587);
    EXPECT_NEAR (g.y + g.height / 2, 600, 40);

    // A slow build may not answer the first click yet, and zenity can take seconds to start.
    std::optional<WindowId> dialog;
    for (int i = 0; i < 3 && ! dialog; ++i)
    {
        ASSERT_TRUE (screen.click (window, 429, 127)); // OPEN
        dialog = screen.waitForWindow ("Select audio file(s) to convert...", 15000);
    }
    ASSERT_TRUE (dialog.has_value()) << "no file dialog";
    // Everything its filter shows, picked at once (again while the dialog stays, its list not filled yet).
    for (int i = 0; i < 5 && ! screen.windows ("Select audio file(s) to convert...").empty(); ++i, sleepMs (1000))
        screen.run ({ "xdotool", "windowactivate", "--sync", std::to_string (*dialog), "sleep", "0.5", "key", "ctrl+a", "sleep", "0.3", "key", "Return" });

    // The picked files are taken in at the next intake tick: until the history is there, RENAME and
    // "GO RENAME !" again (a click on RENAME's place hits nothing on the rename page).
    juce::String history;
    for (int i = 0; i < 10 && ! history.contains ("Total:"); ++i, sleepMs (500))
    {
        ASSERT_TRUE (screen.click (window, 429, 75));   // RENAME
        sleepMs (400);
        ASSERT_TRUE (screen.click (window, 725, 27));   // "GO RENAME !"
        sleepMs (300);
        history = (home / "Tarsio.txt").loadFileAsString();
    }
    for (const auto* line : { "Take:1 Kick.wav -> Kick1.wav\r\n", "SNARE TOP.WAV -> Snare1.WAV\r\n", "Bass DI.wav -> Bass1.wav\r\n", "Total: 3 files renamed\r\n" })
        EXPECT_TRUE (history.contains (line)) << line << " is missing from the history:\n" << history;
    const auto idle = cpuOverOneSecond (app.id());

    // Maximised in height only, the window manager imposes a size of another ratio: it stands.
    wm ("add,maximized_vert");
    EXPECT_GT (settle ([] (auto& w) { return w.height > 587; }).height, 587);
    EXPECT_LT (cpuOverOneSecond (app.id()), 2 * idle + 10) << "the window fights the window manager";
    wm ("remove,maximized_vert");
    wm ("add,maximized_vert,maximized_horz");
    EXPECT_TRUE (withinLimits (settle ([] (auto& w) { return w.width > 860; })));
    wm ("remove,maximized_vert,maximized_horz");
    EXPECT_EQ (settle ([] (auto& w) { return w.width == 860; }).height, 587) << "restored";
    EXPECT_LT (cpuOverOneSecond (app.id()), 2 * idle + 10);

    // A user resize beyond either limit ends inside them, at the design's ratio.
    for (auto [w, h] : { std::pair { 500, 300 }, { 3000, 2000 } })
    {
        screen.run ({ "xdotool", "windowsize", std::to_string (window), std::to_string (w), std::to_string (h) });
        g = settle ([w = w] (auto& s) { return (s.width > 860) == (w > 860); });
        EXPECT_TRUE (withinLimits (g)) << g.width << " x " << g.height;
        EXPECT_NEAR ((double) g.width / g.height, 860.0 / 587.0, 0.01);
    }

    screen.requestClose (window);
    EXPECT_EQ (app.waitForExit (1000), std::optional<int> (0)) << "the application must quit within 1 s of its close request";
}
