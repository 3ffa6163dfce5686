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

// Keys reach only the fields the user clicked or tabbed to. A click on a button gave it the focus,
// which shows nowhere, and the next Return clicked it again unseen (the logo opens the web site).
// Tab from a name field goes to the next name field, never into the list, where typing vanished
// unseen, nor to the logo beneath the page.
TEST (PageSwitch, KeysReachOnlyTheFieldsOfThePageShown)
{
    ShownMainComponent main;
    auto& m = *main;
    TempFolder folder;
    for (auto* name : { "kick.wav", "snare.wav" })
        m.renamePage.addList ({ writeWav (folder / name).getFullPathName().toStdString() });
    m.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    for (int attempt = 0; attempt < 1500 && ! m.getPeer()->isFocused(); ++attempt)
        m.toFront (true), pumpMessages (20);

    for (auto* button : { &m.isrcButton, m.isrcList.closeButton.get(), &m.renameButton })
    {
        pressAndRelease (m, *button, juce::Time::currentTimeMillis());
        pumpMessages (20);
        EXPECT_EQ (juce::Component::getCurrentlyFocusedComponent(), nullptr) << button->getButtonText();
    }
    ASSERT_TRUE (m.renamePage.isVisible());

    ASSERT_NE (m.renamePage.rowInView (0), nullptr);
    auto* field = &m.renamePage.rowInView (0)->nameEditor;
    focusField (m, *field);
    for (int tab = 0; tab < 12; ++tab)
    {
        m.getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::tabKey));
        pumpMessages (20);
        const auto* focused = juce::Component::getCurrentlyFocusedComponent();
        EXPECT_TRUE (dynamic_cast<const juce::TextEditor*> (focused) != nullptr && m.renamePage.isParentOf (focused)) << tab;
    }
}
