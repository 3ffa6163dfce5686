// Real drops from a drag source onto a real window holding the main component.
#include "app/MainComponent.h"
#include "e2e/DropFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
struct DropWindow
{
    DropWindow()
    {
        window.setUsingNativeTitleBar (true);
        window.setContentOwned (main, true);
        main->stopTimer(); // keep what arrives in the pending list, where the test reads it
        window.centreWithSize (window.getWidth(), window.getHeight());
        window.setVisible (true);
        window.toFront (true);
        // Under load the native window can take a moment to appear.
        pumpUntil ([this] { return windowId() != 0 && window.isOnDesktop() && window.isShowing(); }, 5000);
        pumpMessages (100);
    }

    ~DropWindow()
    {
        window.clearContentComponent();
        pumpMessages (50);
    }

    unsigned long windowId() const
    {
        auto* peer = window.getPeer();
        return peer != nullptr ? (unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle() : 0;
    }

    // Drops at a point of the main component; records whether the highlight showed meanwhile.
    bool dropAt (juce::Point<int> point, const juce::StringArray& paths)
    {
        sawHighlight = false;
        window.toFront (true);
        return tarsio::e2e::dropFilesOnWindow (windowId(), point, paths, [this]
        {
            pumpMessages (10);
            sawHighlight = sawHighlight || main->dropTarget.draggingOver;
        });
    }

    // Now and then a drag ends before the source has taken it up, or its drop never completes on the
    // window: a drop that should be taken is tried up to three times. Returns whether it was taken.
    bool dropUntilTaken (juce::Point<int> point, const juce::StringArray& paths)
    {
        bool highlighted = false;
        for (int attempt = 0; attempt < 3; ++attempt)
        {
            main->dropTarget.pendingFiles.clear();
            const bool ended = dropAt (point, paths);
            highlighted = highlighted || sawHighlight;
            if (! ended)
                continue;
            if (pumpUntil ([&] { return main->dropTarget.pendingFiles == paths; }, 2000))
            {
                sawHighlight = highlighted;
                return true;
            }
        }
        return false;
    }

    MainComponent* main = new MainComponent();
    juce::DocumentWindow window { "Tarsio drop test", juce::Colours::black, juce::DocumentWindow::allButtons };
    bool sawHighlight = false;
};

bool canDrag()
{
    return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty()
        && juce::File ("/usr/bin/xdotool").existsAsFile();
}
} // namespace

TEST (DropOnHomePage, EveryPointOfTheHomePageTakesADrop)
{
    if (! canDrag())
        GTEST_SKIP() << "needs an X display and xdotool";

    TempFolder folder;
    (folder / "Kick 01.wav").replaceWithText ("not really audio");
    (folder / "notes.txt").replaceWithText ("text");
    const juce::StringArray paths { (folder / "Kick 01.wav").getFullPathName(), (folder / "notes.txt").getFullPathName() };

    DropWindow w;
    ASSERT_TRUE (pumpUntil ([&] { return w.windowId() != 0 && w.main->isShowing(); }));
    pumpMessages (500); // let the window manager place the window

    auto& m = *w.main;
    const std::pair<const char*, juce::Point<int>> points[] = {
        { "welcome text", m.welcomeLabel.getBounds().getCentre() },
        { "status line", m.statusLabel.getBounds().getCentre() },
        { "OPEN", m.openButton.getBounds().getCentre() },
        { "RENAME", m.renameButton.getBounds().getCentre() },
        { "CLEAR AUDIO FILES", m.clearButton.getBounds().getCentre() },
        { "RULES", m.rulesButton.getBounds().getCentre() },
        { "logo", m.logoButton.getBounds().getCentre() },
        { "background", { 20, m.getHeight() - 20 } },
    };

    // The highlight is watched between message slices, and when the drag's data comes late the window
    // sees the drag enter and the drop in one slice: it must show for most points, not for every one.
    int highlighted = 0;
    for (const auto& [name, point] : points)
    {
        EXPECT_TRUE (w.dropUntilTaken (point, paths)) << name;
        highlighted += w.sawHighlight ? 1 : 0;
        EXPECT_FALSE (m.dropTarget.draggingOver) << name;
    }
    EXPECT_GE (highlighted, (int) std::size (points) / 2);
}

TEST (DropOnHomePage, OtherPagesRefuseDropsWithoutHighlight)
{
    if (! canDrag())
        GTEST_SKIP() << "needs an X display and xdotool";

    TempFolder folder;
    (folder / "Snare.wav").replaceWithText ("not really audio");
    const juce::StringArray paths { (folder / "Snare.wav").getFullPathName() };

    DropWindow w;
    ASSERT_TRUE (pumpUntil ([&] { return w.windowId() != 0 && w.main->isShowing(); }));
    pumpMessages (500);

    auto& m = *w.main;
    m.rulesClicked();
    ASSERT_TRUE (w.dropAt (m.getLocalBounds().getCentre(), paths));
    pumpMessages (300);
    EXPECT_FALSE (w.sawHighlight);
    EXPECT_TRUE (m.dropTarget.pendingFiles.isEmpty());

    // Back home, the same drop is taken.
    m.rulesPageClosed();
    pumpMessages (1000);
    EXPECT_TRUE (w.dropUntilTaken (m.welcomeLabel.getBounds().getCentre(), paths));
}
