#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
enum class Page { home, rename, rules };

const juce::String dragAndDropText ("DRAG & DROP audio files !");

struct PageSwitches : public ::testing::Test
{
    ShownMainComponent main;

    // Exactly one page must show; the drop flag must follow it.
    Page shownPage()
    {
        auto& m = *main;
        const bool homeWidgets[] = { m.openButton.isVisible(), m.rulesButton.isVisible(), m.renameButton.isVisible(),
                                     m.clearButton.isVisible(), m.statusLabel.isVisible(), m.welcomeLabel.isVisible() };
        const bool home = homeWidgets[0];
        for (auto shown : homeWidgets)
            EXPECT_EQ (shown, home) << "the home page's widgets show and hide together";

        const int shownCount = (home ? 1 : 0) + (m.renamePage.isVisible() ? 1 : 0) + (m.rulesPage.isVisible() ? 1 : 0);
        EXPECT_EQ (shownCount, 1) << "exactly one page shows";
        EXPECT_EQ (m.dropTarget.acceptFiles, home) << "drops are taken with the home page only";
        EXPECT_FALSE (m.analysisList.isVisible());

        return home ? Page::home : (m.renamePage.isVisible() ? Page::rename : Page::rules);
    }

    void click (juce::Button& button)
    {
        bool clicked = false;
        auto handler = button.onClick;
        button.onClick = [&] { clicked = true; handler(); };
        button.triggerClick();
        EXPECT_TRUE (pumpUntil ([&] { return clicked; }, 2000));
        button.onClick = handler;
    }

    void listFiles() { listOnRenamePage (*main, { "/music/Kick.wav", "/music/Snare.wav" }); }
    juce::String status() const { return main->statusLabel.getText(); }
};
} // namespace

TEST_F (PageSwitches, StartOnTheHomePage)
{
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), dragAndDropText);
}

TEST_F (PageSwitches, RenameNeedsListedFiles)
{
    main->statusLabel.setText ("something earlier", juce::dontSendNotification);
    click (main->renameButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), "No files to rename");

    listFiles();
    click (main->renameButton);
    EXPECT_EQ (shownPage(), Page::rename);
    EXPECT_EQ (status(), "No files to rename");
    EXPECT_EQ (main->renamePage.getBounds(), main->getLocalBounds());
}

TEST_F (PageSwitches, LeavingTheRenamePage)
{
    listFiles();
    click (main->renameButton);
    click (main->renamePage.closeButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), "Click RENAME to edit names, CLEAR AUDIO FILES to start over");

    click (main->renameButton);
    main->renamePage.clearList();
    click (main->renamePage.closeButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), dragAndDropText);

    listFiles();
    click (main->renameButton);
    main->statusLabel.setText ("kept", juce::dontSendNotification);
    click (main->renamePage.renameRulesButton);
    EXPECT_EQ (shownPage(), Page::rules);
    EXPECT_EQ (status(), "kept");
}

TEST_F (PageSwitches, ClosingTheRulesPageLeadsToTheRenamePageWhenFilesAreListed)
{
    listFiles();
    main->statusLabel.setText ("kept", juce::dontSendNotification);

    // Opened from the home page, it still returns to the rename page.
    click (main->rulesButton);
    EXPECT_EQ (shownPage(), Page::rules);
    click (*main->rulesPage.closeButton);
    EXPECT_EQ (shownPage(), Page::rename);
    EXPECT_EQ (status(), "kept");
    EXPECT_EQ (main->renamePage.getBounds(), main->getLocalBounds());

    click (main->renamePage.renameRulesButton);
    click (*main->rulesPage.closeButton);
    EXPECT_EQ (shownPage(), Page::rename);
}

TEST_F (PageSwitches, ClosingTheRulesPageWithNothingListedLeadsHome)
{
    main->statusLabel.setText ("something earlier", juce::dontSendNotification);
    click (main->rulesButton);
    EXPECT_EQ (status(), "something earlier");
    click (*main->rulesPage.closeButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), dragAndDropText);
}

TEST_F (PageSwitches, ClearEmptiesEveryListAndStaysHome)
{
    main->stopTimer();
    listFiles();
    main->acceptedFiles = { "/music/Kick.wav" };
    main->dropTarget.pendingFiles = { "/music/Later.wav" };
    main->statusLabel.setText ("2 audio files loaded - Click RENAME to edit names", juce::dontSendNotification);

    click (main->clearButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), dragAndDropText);
    EXPECT_TRUE (main->acceptedFiles.isEmpty());
    EXPECT_TRUE (main->dropTarget.pendingFiles.isEmpty());
    EXPECT_TRUE (main->renamePage.filePaths.empty());
    EXPECT_TRUE (main->statusLabel.isVisible());

    // Again on an empty home page: the same text, nothing else changes.
    click (main->clearButton);
    EXPECT_EQ (shownPage(), Page::home);
    EXPECT_EQ (status(), dragAndDropText);
}

TEST (PageSwitch, TheRulesPageShowsAWayBack)
{
    MainComponent main;
    main.rulesButton.triggerClick();
    tarsio::test::pumpMessages (50);
    ASSERT_TRUE (main.rulesPage.isVisible());

    // The X of the rules page stands at its top right corner, drawn, where a user can click it.
    const auto& close = *main.rulesPage.closeButton;
    EXPECT_EQ (close.getBounds(), juce::Rectangle<int> (791, 9, 36, 36));
    EXPECT_TRUE (close.isVisible());
    EXPECT_TRUE (close.getNormalImage().isValid());

    main.rulesPage.closeButton->triggerClick();
    tarsio::test::pumpMessages (50);
    EXPECT_FALSE (main.rulesPage.isVisible());
    EXPECT_TRUE (main.openButton.isVisible());
}
