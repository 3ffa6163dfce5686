#include "look/Look.h"
#include "rules/Rules.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarsio::test;

// The page at the window's size with the built-in table, as the main component shows it.
class RulesPage : public ::testing::Test
{
protected:
    RulesPage() { page.setSize (860, 587); page.loadDefaultRules(); std::signal (SIGXFSZ, SIG_IGN); }

    juce::File ruleFile (const juce::String& name, const juce::String& text) const { (folder / name).replaceWithText (text, false, false, nullptr); return folder / name; }

    // The widgets of a row, scrolled into view first as a user would.
    InstrumentRow& row (int index)
    {
        page.instrumentsViewport.setViewPosition (0, page.instrumentsContent.getHeight() * index / ((int) page.instruments.size() + 1));
        auto* shown = page.findInstrumentRow (index);
        return shown != nullptr ? *shown : throw std::runtime_error ("row not shown");
    }

    juce::String term (int index) const { return page.findTermRow (index)->editor.getText(); }
    juce::String status() const { return page.statusLabel.getText(); }
    // A click goes through the message loop, which runs the posted click before its time is up.
    static void click (juce::Button& button) { button.triggerClick(); pumpMessages (10); }
    static void typeInto (juce::TextEditor& editor, const juce::String& text) { editor.selectAll(); editor.insertTextAtCaret (text); pumpMessages (20); }

    // The page in a focused window; clicks go through the X pointer and keys through the window, as a user's.
    void showInWindow()
    {
        page.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        page.setVisible (true);
        page.addMouseListener (&releases, true);
        for (int attempt = 0; attempt < 150 && ! page.getPeer()->isFocused(); ++attempt)
            page.toFront (true), pumpUntil ([this] { return page.getPeer()->isFocused(); }, 200);
    }
    // Returns once the page has seen the button go up.
    void pointerClick (juce::Component& target)
    {
        const auto at = page.getLocalPoint (&target, target.getLocalBounds().getCentre());
        const auto before = releases.count;
        juce::ChildProcess xdotool;
        xdotool.start (juce::StringArray { "xdotool", "mousemove", "--window", juce::String ((juce::int64) (juce::pointer_sized_int) page.getPeer()->getNativeHandle()),
                                           juce::String (at.x), juce::String (at.y), "click", "1" });
        pumpUntil ([&] { return releases.count > before; });
    }
    void press (const juce::KeyPress& key) { page.getPeer()->handleKeyPress (key); pumpMessages (20); }
    bool inView (juce::TextEditor& editor) { return page.instrumentsViewport.getViewArea().contains (editor.getBounds()); }

    struct Releases : juce::MouseListener { int count = 0; void mouseUp (const juce::MouseEvent&) override { ++count; } } releases;
    TempFolder folder;
    Rules page;
};

// The list hands widgets from row to row as it scrolls: every click still acts on the row under
// the pointer, the list stays where it is, and Tab brings the next row into view.
TEST_F (RulesPage, AfterScrollingClicksActOnTheRowUnderThePointerAndTheListFollowsOnlyTheFocus)
{
    showInWindow();
    page.instrumentsViewport.setViewPosition (0, 360);
    pointerClick (page.findInstrumentRow (21)->selectButton);
    EXPECT_EQ (status(), "Editing terms for: Accordion");
    pointerClick (*page.findInstrumentRow (21)->downButton);
    pointerClick (*page.findInstrumentRow (22)->deleteButton);
    EXPECT_EQ (page.instruments[21].name + page.instruments[22].name + status(), "HarmonicaMandolinEditing terms for: Mandolin");
    EXPECT_EQ (page.instrumentsViewport.getViewPositionY(), 360);

    auto* last = page.findInstrumentRow ((page.instrumentsViewport.getViewArea().getBottom() - 30) / 27);
    pointerClick (last->nameEditor);
    for (int tab = 0; tab < 3; ++tab)
        press (juce::KeyPress (juce::KeyPress::tabKey));
    press (juce::KeyPress ('Q', {}, 'Q'));
    auto& focused = page.findInstrumentRow (page.selectedIndex)->nameEditor;
    EXPECT_TRUE (focused.hasKeyboardFocus (false) && inView (focused) && focused.getText().endsWith ("Q") && page.selectedIndex == last->index + 3);

    // Past the last name and the last term Tab leads on to a field: not to ADD INSTRUMENT or DEFAULT
    // RULES, where typing vanished and Return added an instrument or threw the edits away.
    const auto tabTypeAndReturn = [this] { for (auto key : { juce::KeyPress (juce::KeyPress::tabKey), juce::KeyPress ('Q', {}, 'Q'), juce::KeyPress (juce::KeyPress::returnKey) }) press (key); };
    page.instrumentsViewport.setViewPosition (0, page.instrumentsContent.getHeight());
    pointerClick (page.findInstrumentRow (56)->nameEditor);
    tabTypeAndReturn();
    EXPECT_EQ (juce::String ((int) page.instruments.size()) + page.workingTerms[0], "57mixQ");
    page.termsViewport.setViewPosition (0, page.termsContent.getHeight());
    pointerClick (page.findTermRow (20)->editor);
    tabTypeAndReturn();
    EXPECT_EQ (status() + juce::String ((int) page.instruments.size()), "Instrument name updated57");   // round to a name
}

TEST_F (RulesPage, FiveThousandInstrumentsAreSelectedMovedAndDeletedInTheRowsInView)
{
    juce::String text ("Instrument;Termes\n");
    for (int i = 0; i < 5000; ++i)
        text << "Name" << i << ";term" << i << "\n";
    page.rulesFileChosen (ruleFile ("big.csv", text));

    click (row (4000).selectButton);
    EXPECT_EQ (status() + term (0), "Editing terms for: Name4000term4000");
    click (*row (4000).upButton);
    EXPECT_EQ (page.instruments[3999].name + row (4000).nameEditor.getText(), "Name4000Name3999");
    click (*row (3999).deleteButton);
    EXPECT_EQ (page.instruments[(size_t) page.selectedIndex].name + row (3999).nameEditor.getText(), "Name3999Name3999");
    click (page.addInstrumentButton);
    EXPECT_TRUE (page.findInstrumentRow (4999)->selectButton.getToggleState());
    EXPECT_LT (page.instrumentRows.rows.size(), 60u);
}

// A paste past the longest field a row can draw is cut there, so that the saved file loads again.
TEST_F (RulesPage, FiftyThousandTermsOnOneLineScrollToTheEndAndTakeEditsOnTheRightTerm)
{
    juce::StringArray terms;
    for (int j = 0; j < 50000; ++j)
        terms.add ("t" + juce::String (j));
    const auto file = ruleFile ("wide.csv", "Instrument;Termes\nWide;" + terms.joinIntoString (","));
    page.rulesFileChosen (file);
    page.termsViewport.setViewPosition (0, page.termsContent.getHeight());
    typeInto (page.findTermRow (49999)->editor, juce::String::repeatedString ("x", RuleFile::kMaxFieldChars + 10));
    EXPECT_EQ (term (49998) + status(), "t49998CSV rules loaded successfully");
    click (page.saveRulesButton);
    EXPECT_TRUE (file.loadFileAsString().endsWith (",t49998," + juce::String::repeatedString ("x", RuleFile::kMaxFieldChars) + "\n"));
    page.rulesFileChosen (file);
    EXPECT_EQ (page.instruments[0].termes.size() + page.instruments.size(), 50001u);
}

TEST_F (RulesPage, ANameTypedIntoStaysWithItsInstrumentWhileScrolledAway)
{
    page.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    page.setVisible (true);
    auto& snare = row (3).nameEditor;
    focusField (page, snare);
    EXPECT_EQ (status(), "Editing terms for: Snare");
    EXPECT_TRUE (row (3).selectButton.getToggleState() && ! row (0).selectButton.getToggleState());
    EXPECT_TRUE (snare.isCaretVisible() && ! row (4).nameEditor.isCaretVisible());   // only a focused editor runs a caret

    page.instrumentsViewport.setViewPosition (0, page.instrumentsContent.getHeight());
    snare.moveCaretToEnd();
    snare.insertTextAtCaret (" Top");
    EXPECT_TRUE (pumpUntil ([this] { return page.instruments[3].name == "Snare Top"; }));
}

TEST_F (RulesPage, OpensOnGuitarAndEditedTermsFollowTheirInstrumentUntilDefaultRules)
{
    EXPECT_EQ (status(), "Edit instrument name and configure detection terms - Click other instruments to switch");
    EXPECT_EQ (row (0).nameEditor.getText() + term (0) + row (57).nameEditor.getText(), "GuitarguitaristeMix");
    EXPECT_TRUE (row (0).selectButton.getToggleState() && row (0).deleteButton->isVisible());

    click (row (2).selectButton);   // Kick
    typeInto (page.findTermRow (1)->editor, "grosse caisse");
    click (*row (2).upButton);
    click (*row (0).downButton);   // the row above the selection: the selection moves up with Kick
    click (*row (0).upButton);     // nothing lies above the first row
    EXPECT_EQ (page.instruments[0].name + page.instruments[(size_t) page.selectedIndex].termes[1], "Kickgrosse caisse");
    click (*row (0).deleteButton);   // the selected row: the row that took its place
    EXPECT_EQ (status(), "Editing terms for: Guitar");
    click (row (56).selectButton);   // Mix
    click (*row (56).deleteButton);   // the selected last row: the row before it
    EXPECT_EQ (status() + term (0), "Editing terms for: Drumdrum");
    click (*row (0).deleteButton);   // a row above the selection keeps it on Drum
    EXPECT_EQ (page.instruments[(size_t) page.selectedIndex].name, "Drum");

    page.instrumentsViewport.setViewPosition (0, 1000);
    click (page.defaultRulesButton);   // shown from the top, where Guitar stands selected
    EXPECT_EQ (status() + page.instruments[2].termes[1], "Default rules loaded successfullygrosse");
    EXPECT_EQ (page.instrumentsViewport.getViewPositionY(), 0);
}

TEST_F (RulesPage, AnEmptyTableShowsAddInstrumentAtTheTopAndItWorks)
{
    const auto fullSize = page.addInstrumentButton.getHeight();
    showInWindow();
    for (bool inName : { false, true })   // deleted while typing in its term, or in its name
    {
        page.rulesFileChosen (ruleFile ("one.csv", "Instrument;Termes\nKick;kick"));
        pointerClick (inName ? (juce::Component&) row (0).nameEditor : page.findTermRow (0)->editor);
        press (juce::KeyPress ('s', {}, 's'));
        ASSERT_EQ ((inName ? page.instruments[0].name : page.workingTerms[0]).length(), 5);
        pointerClick (*row (0).deleteButton);
    }
    EXPECT_TRUE (page.instruments.empty() && page.findTermRow (0) == nullptr && page.selectedIndex == -1);
    EXPECT_EQ (status(), Rules::kEmptyTableText);   // no longer "Editing terms for: Kick"
    EXPECT_TRUE (page.instrumentsViewport.getViewArea().contains (page.addInstrumentButton.getBounds())
                 && page.addInstrumentButton.getHeight() == fullSize);
    page.addNewTerme();   // nothing selected: nothing to add to
    click (page.addInstrumentButton);
    EXPECT_EQ (status() + term (0), "Editing terms for: ");
    EXPECT_EQ (page.instruments.size() + page.workingTerms.size(), 2u);
}

// A status too long for one line (a long name in it) is narrowed and cut short, never drawn over the
// label's rim in two lines.
TEST_F (RulesPage, ALongStatusStaysOffTheRim)
{
    Look look;
    look.labelFontSize = 0.7f * 0.022f * 860.0f;   // what the window gives its labels at this size
    page.setLookAndFeel (&look);
    const auto rimRows = [this]
    {
        const auto image = page.statusLabel.createComponentSnapshot (page.statusLabel.getLocalBounds());
        juce::String pixels;
        for (int y : { 2, image.getHeight() - 3 })
            for (int x = 0; x < image.getWidth(); ++x)
                pixels << image.getPixelAt (x, y).toDisplayString (true);
        return pixels;
    };
    page.statusLabel.setText ({}, juce::dontSendNotification);
    const auto bare = rimRows();
    page.rulesFileChosen (ruleFile ("long.csv", "I;T\nKick;kick\n" + juce::String::repeatedString ("LongName", 15) + ";x"));
    click (row (1).selectButton);
    EXPECT_TRUE (status().endsWith ("LongName") && rimRows() == bare);
    page.setLookAndFeel (nullptr);
}

TEST_F (RulesPage, AddTermScrollsTheTermsOnceThePostedCallRunsAndLeavesTheInstrumentsWhereTheyWere)
{
    click (row (7).selectButton);   // Piano
    page.instrumentsViewport.setViewPosition (0, 400);
    page.addNewTerme();
    EXPECT_EQ ((size_t) page.termsViewport.getViewPositionY() + page.instruments[7].termes.size(), 35u);   // not yet
    pumpMessages (30);
    EXPECT_EQ (term (35), "newterm");   // in view
    click (*page.findTermRow (34)->deleteButton);   // dampers
    EXPECT_EQ (page.instrumentsViewport.getViewPositionY(), 400);
    click (row (1).selectButton);
    EXPECT_EQ (page.instruments[7].termes[33] + page.instruments[7].termes[34], "stringsnewterm");
}

TEST_F (RulesPage, SaveAndLoadWorkOnTheirFileAndChangeNothingWhenRefused)
{
    click (page.saveRulesButton);
    EXPECT_EQ (status(), "Error: Could not save rules file");
    page.rulesFileChosen (ruleFile ("bad.csv", "Instrument;Termes\nA;a\n\n# note\nB;b\nC;c\nD;d;e\n"));
    EXPECT_EQ (status() + " " + juce::String (page.instruments.size()), "Error: Invalid CSV format - Expected 2 columns on line 7 58");

    const auto file = ruleFile ("drums.csv", "# drums\r\nInstrument;Termes\r\n\r\nKick;kick, bd\r\nSnare;snare\r\n");
    page.rulesFileChosen (file);
    typeInto (page.findTermRow (1)->editor, "bass drum");
    click (page.saveRulesButton);
    EXPECT_EQ (status() + ": " + file.loadFileAsString(), "Rules saved successfully: Instrument;Termes\nKick;kick,bass drum\nSnare;snare\n");

    page.saveAsFileChosen ({});
    page.rulesFileChosen ({});
    EXPECT_EQ (status(), Rules::kTitleText);
    EXPECT_EQ (page.rulesFile, file);
    click (page.addInstrumentButton);
    typeInto (row (2).nameEditor, "Tom");
    typeInto (page.findTermRow (0)->editor, "tom");
    page.saveAsFileChosen (folder / "rules.csv");
    EXPECT_EQ (status(), "Rules saved as rules.csv");
    EXPECT_TRUE ((folder / "rules.csv").loadFileAsString().endsWith ("\nSnare;snare\nTom;tom\n"));

    // SAVE RULES now writes the file chosen last; the file loaded before stays as it was.
    typeInto (page.findTermRow (0)->editor, "toms");
    click (page.saveRulesButton);
    EXPECT_TRUE ((folder / "rules.csv").loadFileAsString().endsWith ("\nSnare;snare\nTom;toms\n"));
    EXPECT_EQ (file.loadFileAsString(), "Instrument;Termes\nKick;kick,bass drum\nSnare;snare\n");
}

// What SAVE RULES and SAVE RULES AS write, LOAD RULES reads back as the same table. A table that
// would not come back is not written: the old file and the table on screen stay, the status says why.
TEST_F (RulesPage, ASavedTableLoadsBackTheSameOrIsNotSaved)
{
    enum Field { name, term, newInstrument };
    struct Case { Field field; const char* typed; bool saveAs; const char* refusal; };
    const Case cases[] = {
        { name, "ab cd;ef", false, "\";\" in instrument name \"ab cd;ef\"" },
        { term, "ab cd;ef", true, "\";\" in term \"ab cd;ef\" of instrument \"Kick\"" },
        { term, "gro,sse", false, "\",\" in term \"gro,sse\" of instrument \"Kick\"" },
        { name, "#Kick", false, "\"#\" at the start of instrument name \"#Kick\"" },
        { name, "Caf\xc3\xa9", true, "Non-ASCII characters in instrument name \"Caf\xc3\xa9\"" },
        { term, "bd ", false, "Space at the start or end of term \"bd \" of instrument \"Kick\"" },
        { newInstrument, "", true, "Instrument 3 has no name" },
        { newInstrument, "Tom", false, "The only term of instrument \"Tom\" is empty" },
        { name, "Kick, #2", false, nullptr },
        { term, "", true, nullptr },
    };
    const auto same = [] (const std::vector<Instrument>& a, const std::vector<Instrument>& b)
    {
        return std::equal (a.begin(), a.end(), b.begin(), b.end(), [] (auto& x, auto& y) { return x.name == y.name && x.termes == y.termes; });
    };
    const juce::String old ("Instrument;Termes\nKick;kick,bd\nSnare;snare\n");
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.typed);
        (folder / "copy.csv").deleteFile();
        const auto file = ruleFile ("rules.csv", old), target = c.saveAs ? folder / "copy.csv" : file;
        page.rulesFileChosen (file);
        if (c.field == newInstrument)
            click (page.addInstrumentButton);
        typeInto (c.field == term ? page.findTermRow (1)->editor : row (c.field == name ? 0 : 2).nameEditor, juce::String::fromUTF8 (c.typed));
        auto shown = page.instruments;
        shown[(size_t) page.selectedIndex].termes = page.workingTerms;

        c.saveAs ? page.saveAsFileChosen (target) : click (page.saveRulesButton);
        if (c.refusal != nullptr)
        {
            EXPECT_EQ (status(), "Error: Rules not saved - " + juce::String::fromUTF8 (c.refusal));
            EXPECT_TRUE (file.loadFileAsString() == old && target.existsAsFile() == ! c.saveAs);
            EXPECT_TRUE (same (page.instruments, shown) && page.rulesFile == file);
            continue;
        }
        EXPECT_EQ (status(), c.saveAs ? "Rules saved as copy.csv" : "Rules saved successfully");
        page.rulesFileChosen (target);
        EXPECT_EQ (status(), "CSV rules loaded successfully");
        EXPECT_TRUE (same (page.instruments, shown));
    }
}

// The file the user chose gets the table whole, and stays the file it was: a link stays a link,
// mode and owner stay, every hard link sees the new table. A failed save leaves the old file whole.
TEST_F (RulesPage, SavingWritesTheChosenFileItselfOrLeavesItWhole)
{
    enum Setup { plain, newFile, privateMode, link, danglingLink, hardLink, fullDisk, fullDiskHardLink, device, noFolder };
    const auto path = [] (const juce::File& file) { return file.getFullPathName().toRawUTF8(); };
    for (int setup = plain; setup <= noFolder; ++setup)
    {
        SCOPED_TRACE (setup);
        TempFolder dir;
        const auto real = dir / "real.csv", other = dir / "other.csv";
        const bool fails = setup >= fullDisk, made = setup != newFile && setup != danglingLink && setup != noFolder;
        const bool linked = setup == link || setup == danglingLink, hardLinked = setup == hardLink || setup == fullDiskHardLink;
        const auto chosen = linked ? dir / "link.csv" : setup == device ? juce::File ("/dev/full") : setup == noFolder ? dir / "no/real.csv" : real;
        if (made)
            real.replaceWithText ("old");
        ::chmod (path (real), setup == privateMode ? 0600 : 0755);
        (void) ::chown (path (real), 1, 1);   // a foreign owner, where permitted
        ::symlink ("real.csv", path (dir / "link.csv"));
        hardLinked ? ::link (path (real), path (other)) : ::symlink ("real.csv", path (other));
        struct stat before {}, after {};
        ::stat (path (real), &before);
        const auto entries = dir.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories);
        rlimit unlimited {}, full {};   // a full disk as this process sees it: no file grows past 4 KB
        getrlimit (RLIMIT_FSIZE, &unlimited);
        full = { setup == fullDisk || setup == fullDiskHardLink ? 4096 : unlimited.rlim_cur, unlimited.rlim_max };
        setrlimit (RLIMIT_FSIZE, &full);
        page.saveAsFileChosen (chosen);
        setrlimit (RLIMIT_FSIZE, &unlimited);
        ::stat (path (real), &after);
        EXPECT_EQ (status(), fails ? "Error: Could not save rules file" : "Rules saved as " + chosen.getFileName());
        EXPECT_EQ (real.loadFileAsString(), fails ? (made ? "old" : "") : RuleFile::toText (page.instruments));
        EXPECT_TRUE (chosen.isSymbolicLink() == linked && other.loadFileAsString() == real.loadFileAsString());   // other: another name of the file
        EXPECT_EQ (dir.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), entries + (made || fails ? 0 : 1));
        EXPECT_TRUE (! made || (after.st_mode == before.st_mode && after.st_uid == before.st_uid && after.st_gid == before.st_gid));
    }
}

// A relative link reached through a linked folder leads where the system says, never to a file
// beside the linked folder's own name.
TEST_F (RulesPage, SavingFollowsLinksAsTheSystemResolvesThem)
{
    (folder / "deep").createDirectory();
    (folder / "real").createDirectory();
    (folder / "shared.csv").replaceWithText ("old");
    ::symlink ("../real", (folder / "deep/alias").getFullPathName().toRawUTF8());
    ::symlink ("../shared.csv", (folder / "real/rules.csv").getFullPathName().toRawUTF8());
    page.saveAsFileChosen (folder / "deep/alias/rules.csv");
    EXPECT_EQ ((folder / "shared.csv").loadFileAsString(), RuleFile::toText (page.instruments));
    EXPECT_FALSE ((folder / "deep/shared.csv").exists());
}
// Tab goes round the page's own fields, never on to a field of the window that the page covers.
TEST_F (RulesPage, TabStaysOnThePage)
{
    juce::Component window;
    juce::TextEditor behind;
    window.addAndMakeVisible (behind);
    window.addAndMakeVisible (page);
    behind.setBounds (100, 100, 100, 20);
    window.setSize (860, 587);
    window.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    window.setVisible (true);
    auto& guitar = row (0).nameEditor;
    focusField (window, guitar);
    press (juce::KeyPress (juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier, 0));
    EXPECT_TRUE (page.isParentOf (juce::Component::getCurrentlyFocusedComponent()));
    window.removeChildComponent (&page);
}
