#include "analysis/PanelTestSupport.h"
#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

TEST (PanelButtons, IsrcOpensThePanelOverTheWindowAndItsCloseButtonHidesIt)
{
    ShownMainComponent main;
    auto& panel = main->isrcList;
    EXPECT_TRUE (panel.getBounds().isEmpty()) << "nothing of the panel shows before ISRC is clicked";

    main->isrcButton.triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (panel.isVisible());
    EXPECT_EQ (panel.getBounds(), main->getLocalBounds());
    EXPECT_EQ (main->getChildComponent (main->getNumChildComponents() - 1), &panel) << "above every other child";

    // The panel follows the window while it is open.
    main->setSize (688, 469);
    EXPECT_EQ (panel.getBounds(), main->getLocalBounds());

    panel.closeButton->triggerClick();
    pumpMessages (20);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_TRUE (main->welcomeLabel.isVisible());
    EXPECT_TRUE (main->dropTarget.acceptFiles);

    main->isrcButton.triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (panel.isVisible());
}

TEST (PanelButtons, FilesTakenInWhileThePanelIsOpenShowInIt)
{
    TempFolder folder;
    ShownMainComponent main;
    main->isrcButton.triggerClick();
    pumpMessages (20);
    ASSERT_TRUE (main->dropTarget.acceptFiles);

    const auto file = writeWav (folder / "Kick.wav");
    main->dropTarget.filesDropped ({ file.getFullPathName() }, 10, 10);
    ASSERT_TRUE (pumpUntil ([&] { return main->isrcList.filePaths.size() == 1; }));
    EXPECT_EQ (main->isrcList.shownRow (0)->nameLabel.getText(), "Kick.wav");
}

TEST (PanelButtons, SitBesideRulesAndGoWithTheHomePage)
{
    ShownMainComponent main;
    const auto rules = main->rulesButton.getBounds();
    for (auto* b : { &main->loudnessButton, &main->isrcButton })
    {
        EXPECT_EQ (b->getY(), rules.getY());
        EXPECT_EQ (b->getHeight(), rules.getHeight());
        EXPECT_FALSE (b->getBounds().intersects (rules));
        EXPECT_TRUE (main->getLocalBounds().contains (b->getBounds()));
    }
    EXPECT_LT (main->loudnessButton.getRight(), rules.getX());
    EXPECT_GT (main->isrcButton.getX(), rules.getRight());

    main->rulesButton.triggerClick();
    pumpMessages (20);
    EXPECT_FALSE (main->loudnessButton.isVisible());
    EXPECT_FALSE (main->isrcButton.isVisible());
}

TEST (PanelButtons, LoudnessOpensItsPanelWhoseThreadMeasuresWhatIsDroppedThere)
{
    TempFolder folder;
    ShownMainComponent main;
    auto& panel = main->analysisList;

    main->loudnessButton.triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (panel.isVisible());
    EXPECT_EQ (panel.getBounds(), main->getLocalBounds());

    const auto file = writeWav (folder / "Snare.wav");
    main->dropTarget.filesDropped ({ file.getFullPathName() }, 10, 10);
    // Digital silence measures, and so the row leaves "Pending..." and "Analyzing" for its values.
    ASSERT_TRUE (pumpUntil ([&] { return shown (panel, 0).endsWith (" dBTP"); }));

    juce::Button* close = nullptr;
    for (auto* child : panel.getChildren())
        if (auto* b = dynamic_cast<juce::TextButton*> (child); b != nullptr && b->getButtonText() == "X")
            close = b;
    ASSERT_NE (close, nullptr);
    main->dropTarget.acceptFiles = false;
    close->triggerClick();
    pumpMessages (20);
    EXPECT_FALSE (panel.isVisible());
    EXPECT_TRUE (main->dropTarget.acceptFiles);
}
