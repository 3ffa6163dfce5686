#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

// Every way between the pages, from the state the previous step left: exactly one page shows,
// drops are taken with the home page only, and the home status line says what the user needs.
TEST (PageSwitch, EveryControlLeadsToItsPage)
{
    ShownMainComponent main;
    auto& m = *main;
    const auto list = [&] { for (auto* p : { "/music/Kick.wav", "/music/Snare.wav" }) m.renamePage.filePaths.push_back (p); };
    const auto none = [&] { m.renamePage.clearList(); };
    enum Page { home, rename, rules };
    const struct { std::function<void()> setUp; juce::Button* control; Page page; const char* status; } steps[] = {
        { none, &m.renameButton, home, "No files to rename" },
        { list, &m.renameButton, rename, "No files to rename" },
        { {}, &m.renamePage.closeButton, home, "Click RENAME to edit names, CLEAR AUDIO FILES to start over" },
        { {}, &m.rulesButton, rules, "Click RENAME to edit names, CLEAR AUDIO FILES to start over" },
        { {}, m.rulesPage.closeButton.get(), rename, "Click RENAME to edit names, CLEAR AUDIO FILES to start over" },
        { {}, &m.renamePage.renameRulesButton, rules, "Click RENAME to edit names, CLEAR AUDIO FILES to start over" },
        { none, m.rulesPage.closeButton.get(), home, "DRAG & DROP audio files !" },
        { list, &m.renameButton, rename, "DRAG & DROP audio files !" },
        { none, &m.renamePage.closeButton, home, "DRAG & DROP audio files !" },
        { list, &m.clearButton, home, "DRAG & DROP audio files !" },
    };
    for (size_t i = 0; i < std::size (steps); ++i)
    {
        if (steps[i].setUp)
            steps[i].setUp();
        steps[i].control->triggerClick();
        pumpMessages (30);
        const bool shown[] = { m.openButton.isVisible() && m.welcomeLabel.isVisible(), m.renamePage.isVisible(), m.rulesPage.isVisible() };
        EXPECT_TRUE (shown[steps[i].page] && shown[0] + shown[1] + shown[2] == 1) << "step " << i;
        EXPECT_EQ (m.dropTarget.acceptFiles, shown[home]) << i;
        EXPECT_EQ (m.statusLabel.getText(), steps[i].status) << i;
    }
}
