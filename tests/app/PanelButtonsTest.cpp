#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

// ISRC and LOUDNESS open their panel over the whole window, files dropped meanwhile go into it, and
// its X leads back to the home page, which takes drops again.
TEST (PanelButtons, OpenTheirPanelOverTheWindowUntilItsCloseButton)
{
    TempFolder folder;
    ShownMainComponent main;
    const auto file = writeWav (folder / "Kick.wav");
    for (auto [open, panel] : { std::pair<juce::Button*, juce::Component*> (&main->isrcButton, &main->isrcList),
                                { &main->loudnessButton, &main->analysisList } })
    {
        open->triggerClick();
        pumpMessages (20);
        EXPECT_TRUE (panel->isVisible() && panel->getBounds() == main->getLocalBounds());
        EXPECT_EQ (main->getChildComponent (main->getNumChildComponents() - 1), panel) << "above every other child";
        EXPECT_FALSE (main->presetButtons[0].isVisible() || main->renameButton.isVisible()) << "they would show through the panel";

        main->dropTarget.filesDropped ({ file.getFullPathName() }, 10, 10);
        EXPECT_TRUE (pumpUntil ([&] { return main->isrcList.filePaths.size() == 1; }));

        for (auto* child : panel->getChildren()) // the panel's X
            if (auto* close = dynamic_cast<juce::TextButton*> (child); close != nullptr && close->getButtonText() == "X")
                close->triggerClick();
        pumpMessages (20);
        EXPECT_FALSE (panel->isVisible());
        EXPECT_TRUE (main->welcomeLabel.isVisible() && main->dropTarget.acceptFiles && main->presetButtons[0].isVisible() && main->renameButton.isVisible());
    }
}
