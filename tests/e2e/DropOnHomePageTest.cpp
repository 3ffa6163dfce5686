// Real drops from a drag source onto a real window holding the main component.
#include "app/MainComponent.h"
#include "app/TarsioApplication.h"
#include "e2e/DropFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
struct DropWindow
{
    // The application's own window, with its limits and frame.
    DropWindow()
    {
        main->stopTimer(); // keep what arrives in the pending list, where the test reads it
        // Under load the native window can take a moment to appear; drops wait until the window manager
        // has placed it in its frame.
        pumpUntil ([this] { return window.getPeer() != nullptr && window.isShowing() && window.getPeer()->getFrameSizeIfPresent(); });
    }

    // Drops at a point of the window's content area (of the main component, while it fills the
    // window) and says whether the paths arrived as dropped; notes whether the highlight showed
    // meanwhile. Now and then a drag ends before the source has taken it up: a drop that should be
    // taken is tried up to three times.
    bool drop (juce::Point<int> point, const std::vector<std::string>& paths, int attempts = 3)
    {
        const auto pump = [this] { pumpMessages (10); sawHighlight = sawHighlight || main->dropTarget.draggingOver; };
        for (int i = 0; i < attempts && window.getPeer() != nullptr; ++i)
        {
            main->dropTarget.pendingFiles.clear();
            if (tarsio::e2e::dropFilesOnWindow ((unsigned long) (juce::pointer_sized_uint) window.getPeer()->getNativeHandle(), point, paths, pump)
                && pumpUntil ([&] { return main->dropTarget.pendingFiles == paths; }, 3000))
                return true;
        }
        return false;
    }

    TarsioApplication::MainWindow window { "Tarsio drop test", juce::Colours::black };
    MainComponent* main = dynamic_cast<MainComponent*> (window.getContentComponent());
    bool sawHighlight = false;
};

// Sources send a list above 256 KB in chunks.
std::vector<std::string> manyPaths (const juce::File& folder, int count)
{
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back (folder.getChildFile ("Take_" + juce::String (i) + ".wav").getFullPathName().toStdString());
    return paths;
}
} // namespace

TEST (DropOnHomePage, DropsOfAnySizeAreTakenOnTheHomePageOnly)
{
    TempFolder folder;
    // Names arrive as their bytes: "+", "%" and spaces as they are, Latin-1 bytes too.
    const auto in = folder.get().getFullPathName().toStdString();
    const std::vector<std::string> few { in + "/Kick 01.wav", in + "/notes+\xc3\xb1.txt", in + "/d\xfcsseldorf 100%.wav" };
    DropWindow w;
    auto& m = *w.main;

    // Other pages take no drop and show no highlight.
    m.rulesClicked();
    EXPECT_FALSE (w.drop (m.getLocalBounds().getCentre(), few, 1));
    EXPECT_FALSE (w.sawHighlight);
    m.rulesPageClosed();

    // Widgets lie above the drop target; a drop on them is taken as one on the bare page, with the highlight.
    for (auto point : { m.welcomeLabel.getBounds().getCentre(), m.presetButtons[0].getBounds().getCentre(), { m.getWidth() / 2, m.getHeight() - 5 } })
        EXPECT_TRUE (w.drop (point, few)) << point.toString();
    EXPECT_TRUE (w.sawHighlight);
    EXPECT_FALSE (m.dropTarget.draggingOver);

    EXPECT_TRUE (w.drop (m.welcomeLabel.getBounds().getCentre(), manyPaths (folder.get(), 20000)));

    // Files a file manager offers from a share it has not mounted name no file of this machine: the
    // drop is still answered, as one of files that no page takes.
    m.dropTarget.pendingFiles.clear();
    m.statusLabel.setText ("DRAG & DROP audio files !", juce::dontSendNotification);
    ASSERT_TRUE (tarsio::e2e::dropFilesOnWindow ((unsigned long) (juce::pointer_sized_uint) w.window.getPeer()->getNativeHandle(),
                                                 m.welcomeLabel.getBounds().getCentre(), { "smb://studio/takes/Kick.wav" },
                                                 [] { pumpMessages (10); }));
    EXPECT_TRUE (pumpUntil ([&] { m.timerCallback(); return m.statusLabel.getText() == "No audio files found - Only WAV, MP3, FLAC, AIFF, OGG supported"; }, 3000));

    // Maximised in height, the window keeps a size of another ratio from the window manager: the page
    // stands centred, and a drop on the margin above it is still a drop on the window.
    juce::ChildProcess maximise;
    ASSERT_TRUE (maximise.start ("wmctrl -i -r " + juce::String ((juce::pointer_sized_uint) w.window.getPeer()->getNativeHandle()) + " -b add,maximized_vert"));
    ASSERT_TRUE (pumpUntil ([&] { return m.getY() > 20; }));
    EXPECT_TRUE (w.drop ({ m.getX() + m.getWidth() / 2, m.getY() / 2 }, few));

    // Sources that ignore the proxy reach JUCE's own handling, which takes a drop there too.
    m.dropTarget.pendingFiles.clear();
    juce::ComponentPeer::DragInfo drag;
    drag.files = { juce::String (in + "/Kick 01.wav") };
    drag.position = { m.getX() + m.getWidth() / 2, m.getY() / 2 };
    EXPECT_TRUE (w.window.getPeer()->handleDragMove (drag) && w.window.getPeer()->handleDragDrop (drag));
    EXPECT_TRUE (pumpUntil ([&] { return m.dropTarget.pendingFiles == std::vector<std::string> { in + "/Kick 01.wav" }; }, 3000));
}
