#include "e2e/AppDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace tarsio::e2e;

TEST (ApplicationWindow, OpensCentredAtDesignSizeAndQuitsCleanlyWhenClosed)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok()) << "could not start Xvfb with openbox";

    Process app ({ applicationPath() }, screen.environment());
    ASSERT_TRUE (app.started());

    // The first window is replaced once the application's look is installed, and a slow start (the
    // sanitizer builds) can show the final one before it is centred: wait until it has settled.
    const auto settled = [] (const VirtualDisplay::Geometry& w)
    {
        return w.width == 860 && std::abs (w.x + w.width / 2 - 960) <= 20 && std::abs (w.y + w.height / 2 - 600) <= 40;
    };
    std::optional<WindowId> window;
    VirtualDisplay::Geometry g;
    for (int i = 0; i < 150 && ! settled (g); ++i)
    {
        window = screen.waitForWindow ("Tarsio", 15000);
        ASSERT_TRUE (window.has_value()) << "no window titled Tarsio";
        g = screen.geometry (*window);
        if (! settled (g))
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }
    EXPECT_EQ (g.width, 860);
    EXPECT_EQ (g.height, 587);
    // Centred on the 1920 x 1200 screen, give or take the title bar the window manager adds.
    EXPECT_NEAR (g.x + g.width / 2, 960, 20);
    EXPECT_NEAR (g.y + g.height / 2, 600, 40);

    screen.requestClose (*window);
    const auto status = app.waitForExit (5000);
    ASSERT_TRUE (status.has_value()) << "the application did not quit within 5 s of its close request";
    EXPECT_EQ (*status, 0);
}

TEST (ApplicationWindow, SecondInstanceRunsBesideTheFirst)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok());

    auto waitForWindowCount = [&] (size_t n)
    {
        for (int i = 0; i < 150; ++i)
        {
            if (screen.windows ("Tarsio").size() == n)
                return true;
            std::this_thread::sleep_for (std::chrono::milliseconds (100));
        }
        return false;
    };

    Process first ({ applicationPath() }, screen.environment());
    ASSERT_TRUE (waitForWindowCount (1));

    Process second ({ applicationPath() }, screen.environment());
    ASSERT_TRUE (waitForWindowCount (2)) << "the second process shows a window of its own";
    // Give the window of the first a moment to settle, then close the first only.
    std::this_thread::sleep_for (std::chrono::milliseconds (300));
    const auto before = screen.windows ("Tarsio");
    ASSERT_EQ (before.size(), 2u);

    // Windows are listed in stacking order; the first process's window is the lower one.
    screen.requestClose (before.front());
    ASSERT_TRUE (waitForWindowCount (1));
    const bool firstEnded = first.waitForExit (5000).has_value();
    const bool secondEnded = second.waitForExit (0).has_value();
    EXPECT_NE (firstEnded, secondEnded) << "closing one window ends exactly one process";
    EXPECT_TRUE (first.isRunning() || second.isRunning());
}
