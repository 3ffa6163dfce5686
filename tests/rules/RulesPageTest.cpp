#include "look/Palette.h"
#include "rules/RulesPageSupport.h"

using namespace tarsio::test;

namespace
{
int countToggledOn (const Rules& page)
{
    int on = 0;
    for (auto* button : page.selectButtons)
        on += button->getToggleState() ? 1 : 0;
    return on;
}

bool rowButtonsShown (const Rules& page, int row)
{
    return page.upButtons[(size_t) row]->isVisible() && page.downButtons[(size_t) row]->isVisible()
        && page.deleteButtons[(size_t) row]->isVisible();
}
} // namespace

TEST_F (RulesPageTest, OpensOnTheBuiltInTableWithGuitarSelected)
{
    ASSERT_EQ (page.instruments.size(), 58u);
    EXPECT_EQ (page.instrumentEditors.size(), 58);
    EXPECT_EQ (page.instrumentEditors[0]->getText(), "Guitar");
    EXPECT_EQ (page.selectedIndex, 0);
    EXPECT_TRUE (page.selectButtons[0]->getToggleState());
    EXPECT_EQ (countToggledOn (page), 1);
    EXPECT_EQ (page.instrumentEditors[0]->findColour (juce::TextEditor::backgroundColourId), greyDownVekko);
    EXPECT_EQ (page.instrumentEditors[0]->findColour (juce::TextEditor::outlineColourId), greenVekko);
    EXPECT_TRUE (rowButtonsShown (page, 0));
    for (int row = 1; row < 58; ++row)
        ASSERT_FALSE (page.deleteButtons[(size_t) row]->isVisible() || page.upButtons[(size_t) row]->isVisible());
    EXPECT_EQ (page.termEditors.size(), 54);
    EXPECT_EQ (termShown (23), "steel");
    EXPECT_EQ (status(), "Edit instrument name and configure detection terms - Click other instruments to switch");
    EXPECT_EQ (page.rulesFile, juce::File());
}

TEST_F (RulesPageTest, ClickingIntoANameSelectsItAndReturnConfirmsTheName)
{
    page.setTopLeftPosition (100, 100);
    page.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    page.setVisible (true);

    auto& snareName = *page.instrumentEditors[indexOf ("Snare")];
    bool focused = false;
    for (int attempt = 0; attempt < 100 && ! focused; ++attempt)
    {
        page.toFront (true);
        snareName.grabKeyboardFocus();
        focused = snareName.hasKeyboardFocus (true);
        if (! focused)
            pumpMessages (20);
    }
    ASSERT_TRUE (focused);

    EXPECT_EQ (status(), "Editing terms for: Snare");
    EXPECT_EQ (page.selectedIndex, indexOf ("Snare"));
    EXPECT_TRUE (page.selectButtons[indexOf ("Snare")]->getToggleState());
    EXPECT_EQ (countToggledOn (page), 1);
    EXPECT_EQ (page.termEditors.size(), 12);

    // Typing changes the table at once and leaves the status line alone; Return confirms.
    snareName.moveCaretToEnd();
    snareName.insertTextAtCaret (" Top");
    ASSERT_TRUE (pumpUntil ([this] { return page.instruments[3].name == "Snare Top"; }));
    EXPECT_EQ (status(), "Editing terms for: Snare");
    snareName.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    ASSERT_TRUE (pumpUntil ([this] { return status() == "Instrument name updated"; }));
    EXPECT_FALSE (snareName.hasKeyboardFocus (true));

    page.removeFromDesktop();
    pumpMessages (20);
}

TEST_F (RulesPageTest, EditedTermsFollowTheirInstrumentUntilDefaultRules)
{
    select ("Kick");
    typeInto (*page.termEditors[1], "grosse caisse");
    select ("Snare");
    EXPECT_EQ (termShown (0), "snare");
    select ("Kick");
    EXPECT_EQ (termShown (1), "grosse caisse");

    clickAndWait (page.defaultRulesButton);
    EXPECT_EQ (status(), "Default rules loaded successfully");
    EXPECT_EQ (page.selectedIndex, 0);
    EXPECT_EQ (page.instruments[(size_t) indexOf ("Kick")].termes[1], "grosse");
    select ("Kick");
    EXPECT_EQ (termShown (1), "grosse");
}

TEST_F (RulesPageTest, MovesKeepTheSelectionOnItsInstrument)
{
    select ("Kick");   // row 2
    typeInto (*page.termEditors[0], "edited");

    clickAndWait (*page.upButtons[2]);
    EXPECT_EQ (page.instruments[1].name, "Kick");
    EXPECT_EQ (page.instruments[2].name, "Bass");
    EXPECT_EQ (page.selectedIndex, 1);
    EXPECT_TRUE (page.selectButtons[1]->getToggleState());
    EXPECT_TRUE (rowButtonsShown (page, 1));
    EXPECT_EQ (termShown (0), "edited");
    EXPECT_EQ (page.instruments[1].termes[0], "edited");

    // The row above the selection moves down: the selection moves up with its instrument.
    clickAndWait (*page.downButtons[0]);
    EXPECT_EQ (page.instruments[0].name, "Kick");
    EXPECT_EQ (page.selectedIndex, 0);
    EXPECT_EQ (termShown (0), "edited");

    // Nothing lies above the first row or below the last.
    const auto before = page.instruments.size();
    clickAndWait (*page.upButtons[0]);
    clickAndWait (*page.downButtons[before - 1]);
    EXPECT_EQ (page.instruments[0].name, "Kick");
    EXPECT_EQ (page.instruments.back().name, "Mix");
    EXPECT_EQ (page.selectedIndex, 0);
}

TEST_F (RulesPageTest, DeletingRowsKeepsASensibleSelection)
{
    const auto last = page.instruments.size() - 1;

    // The selected last row: the row before it is selected.
    select ("Mix");
    clickAndWait (*page.deleteButtons[last]);
    EXPECT_EQ (page.instruments.size(), last);
    EXPECT_EQ (page.instruments[(size_t) page.selectedIndex].name, "Drum");
    EXPECT_EQ (termShown (0), "drum");

    // The selected middle row: the row that took its place.
    select ("Kick");
    clickAndWait (*page.deleteButtons[2]);
    EXPECT_EQ (page.selectedIndex, 2);
    EXPECT_EQ (page.instruments[2].name, "Snare");
    EXPECT_EQ (status(), "Editing terms for: Snare");

    // A row above the selection: the same instrument stays selected, with its edits.
    typeInto (*page.termEditors[0], "edited snare");
    clickAndWait (*page.deleteButtons[0]);
    EXPECT_EQ (page.instruments[(size_t) page.selectedIndex].name, "Snare");
    EXPECT_EQ (termShown (0), "edited snare");
    EXPECT_TRUE (page.selectButtons[page.selectedIndex]->getToggleState());

    // The only row: both columns empty, nothing selected; ADD INSTRUMENT starts afresh.
    page.rulesFileChosen (writeRuleFile (folder / "one.csv", "Instrument;Termes\nKick;kick\n"));
    clickAndWait (*page.deleteButtons[0]);
    EXPECT_TRUE (page.instruments.empty());
    EXPECT_EQ (page.selectedIndex, -1);
    EXPECT_EQ (page.instrumentEditors.size(), 0);
    EXPECT_EQ (page.termEditors.size(), 0);
    EXPECT_NE (page.createComponentSnapshot (page.getLocalBounds()).getWidth(), 0);

    clickAndWait (page.addInstrumentButton);
    ASSERT_EQ (page.instruments.size(), 1u);
    EXPECT_EQ (page.instruments[0].name, "");
    EXPECT_EQ (page.selectedIndex, 0);
    ASSERT_EQ (page.termEditors.size(), 1);
    EXPECT_EQ (termShown (0), "");
    EXPECT_EQ (status(), "Editing terms for: ");
}

TEST_F (RulesPageTest, AddTermAppendsAndScrollsOnceThePostedCallRuns)
{
    page.rulesFileChosen (writeRuleFile (folder / "header.csv", "Instrument;Termes\n"));
    page.addNewTerme();
    EXPECT_TRUE (page.workingTerms.empty());
    EXPECT_EQ (page.termEditors.size(), 0);

    clickAndWait (page.defaultRulesButton);
    page.addNewTerme();
    ASSERT_EQ (page.termEditors.size(), 55);
    EXPECT_EQ (termShown (54), "newterm");
    EXPECT_EQ (page.termsViewport.getViewPositionY(), 0);
    EXPECT_EQ (page.instruments[0].termes.size(), 54u);   // not committed yet

    pumpMessages (30);
    const auto maxScroll = page.termsContent.getHeight() - page.termsViewport.getMaximumVisibleHeight();
    EXPECT_GT (maxScroll, 0);
    EXPECT_EQ (page.termsViewport.getViewPositionY(), maxScroll);

    select ("Bass");
    EXPECT_EQ (page.instruments[0].termes.back(), "newterm");
}

TEST_F (RulesPageTest, RebuildingTheTermsLeavesTheInstrumentListWhereItWas)
{
    page.instrumentsViewport.setViewPosition (0, 400);
    const auto scrolled = page.instrumentsViewport.getViewPositionY();
    ASSERT_GT (scrolled, 0);

    select ("Piano");
    clickAndWait (page.addTermButton);
    clickAndWait (*page.termDeleteButtons[0]);
    EXPECT_EQ (page.instrumentsViewport.getViewPositionY(), scrolled);
    EXPECT_EQ (termShown (0), "pianiste");
}

TEST_F (RulesPageTest, LaysOutTwentyInstrumentsAtTheWindowWidth)
{
    juce::String text ("Instrument;Termes\n");
    for (int i = 0; i < 20; ++i)
        text << "Name" << i << ";a,b\n";
    page.rulesFileChosen (writeRuleFile (folder / "twenty.csv", text.toRawUTF8()));
    ASSERT_EQ (page.instruments.size(), 20u);

    using R = juce::Rectangle<int>;
    EXPECT_EQ (page.closeButton->getBounds(), R (791, 9, 36, 36));
    EXPECT_EQ (page.defaultRulesButton.getBounds(), R (75, 9, 105, 36));
    EXPECT_EQ (page.loadRulesButton.getBounds(), R (195, 9, 105, 36));
    EXPECT_EQ (page.saveRulesButton.getBounds(), R (540, 9, 105, 36));
    EXPECT_EQ (page.saveRulesAsButton.getBounds(), R (660, 9, 105, 36));
    EXPECT_EQ (page.statusLabel.getBounds(), R (144, 57, 572, 30));
    EXPECT_EQ (page.instrumentsViewport.getBounds(), R (60, 105, 412, 467));
    EXPECT_EQ (page.termsViewport.getBounds(), R (472, 105, 328, 467));
    EXPECT_EQ (page.instrumentsContent.getHeight(), 582);

    EXPECT_EQ (page.selectButtons[1]->getBounds(), R (12, 24, 30, 30));
    EXPECT_EQ (page.instrumentEditors[1]->getBounds(), R (48, 27, 236, 24));
    EXPECT_EQ (page.upButtons[1]->getBounds(), R (290, 24, 30, 30));
    EXPECT_EQ (page.downButtons[1]->getBounds(), R (326, 24, 30, 30));
    EXPECT_EQ (page.deleteButtons[1]->getBounds(), R (362, 24, 30, 30));
    EXPECT_EQ (page.addInstrumentButton.getBounds(), R (48, 540, 236, 36));

    EXPECT_EQ (page.termEditors[1]->getBounds(), R (18, 27, 249, 24));
    EXPECT_EQ (page.termDeleteButtons[1]->getBounds(), R (273, 24, 30, 30));
    EXPECT_EQ (page.addTermButton.getBounds(), R (18, 54, 249, 36));
}

TEST_F (RulesPageTest, DrawsTheConnectorWhateverTheTermColumnHolds)
{
    page.rulesFileChosen (writeRuleFile (folder / "r.csv", "Instrument;Termes\nEmpty;\nOne;a\n"));
    ASSERT_EQ (page.selectedIndex, 0);
    ASSERT_EQ (page.termEditors.size(), 0);

    const auto snapshot = [this] { return page.createComponentSnapshot (page.getLocalBounds()); };
    const auto withoutTerms = snapshot();

    select ("One");
    const auto withTerm = snapshot();
    clickAndWait (*page.termDeleteButtons[0]);
    const auto allDeleted = snapshot();

    // The vertical line along the column's right edge is drawn only towards a term row.
    const auto edgePixel = [] (const juce::Image& image) { return image.getPixelAt (471, 125).getBrightness(); };
    EXPECT_GT (edgePixel (withTerm), edgePixel (withoutTerms));
    EXPECT_EQ (edgePixel (allDeleted), edgePixel (withoutTerms));
}
