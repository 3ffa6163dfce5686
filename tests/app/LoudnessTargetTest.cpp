#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

TEST (LoudnessTargets, StandClearOfEveryOtherWidgetAndReportTheirTargets)
{
    // At the limits, and at any shape a window manager may impose, the targets stay in the window and
    // clear of every other widget (and of the welcome panel painted a little around its text).
    ShownMainComponent main;
    for (auto [w, h] : { std::pair (688, 469), { 860, 587 }, { 1720, 1174 }, { 1720, 469 }, { 688, 1174 } })
    {
        main->setSize (w, h);
        for (auto& target : main->presetButtons)
        {
            EXPECT_TRUE (main->getLocalBounds().contains (target.getBounds())) << w << "x" << h;
            for (auto* other : main->getChildren())
                EXPECT_FALSE (other != &target && other != &main->dropTarget && other->isVisible()
                              && other->getBounds().expanded (w / 100, 0).intersects (target.getBounds()))
                    << target.getButtonText() << " meets " << other->getBounds().toString() << " at " << w << "x" << h;
        }
    }

    // Each click toggles its target alone; the ten named ones report it on the status line.
    const std::pair<const char*, const char*> targets[] = {
        { "Netflix", "Netflix: -27 LUFS, -2 dBTP" }, { "ARIB TR-B32", "ARIB TR-B32: -24 LUFS, -2 dBTP" }, { "OP-59", "OP-59: -24 LUFS, -2 dBTP" },
        { "TASA", "TASA: -24 LUFS, -2 dBTP" }, { "ATSC A/85", "ATSC A/85: -24 LUFS, -2 dBTP" }, { "EBU R128", "EBU R128: -23 LUFS, -1 dBTP" },
        { "France TV", "France TV: -23 LUFS, -3 dBTP" }, { "AGCOM 219", "AGCOM 219: -23 LUFS, -1 dBTP" }, { "Podcast", "Podcast: -16 LUFS, -1 dBTP" },
        { "Streaming", "Streaming: -14 LUFS, -1 dBTP" }, { "Custom", "Streaming: -14 LUFS, -1 dBTP" } }; // Custom only toggles
    for (size_t i = 0; i < std::size (targets); ++i)
    {
        auto& button = main->presetButtons[i];
        EXPECT_EQ (button.getButtonText(), targets[i].first);
        EXPECT_LT (i == 0 ? 0 : main->presetButtons[i - 1].getY(), button.getY());
        button.triggerClick();
        pumpMessages (10);
        EXPECT_EQ (main->statusLabel.getText(), targets[i].second);
        EXPECT_TRUE (button.getToggleState() && main->presetButtons[0].getToggleState());
    }

    // The click that turns a target off reports it as well.
    main->presetButtons[0].triggerClick();
    pumpMessages (10);
    EXPECT_FALSE (main->presetButtons[0].getToggleState());
    EXPECT_EQ (main->statusLabel.getText(), targets[0].second);

    main->rulesClicked();
    EXPECT_FALSE (main->presetButtons[0].isVisible()) << "the targets go with the home page";
}
