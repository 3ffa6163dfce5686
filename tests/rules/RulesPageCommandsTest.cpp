#include "rules/RulesPageSupport.h"

using namespace tarsio::test;

namespace
{
const char* const kSmallTable = "# drums\r\nInstrument;Termes\r\n\r\nKick;kick, bd\r\nSnare;snare\r\n";
} // namespace

TEST_F (RulesPageTest, SaveRulesNeedsAFileOfItsOwn)
{
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Error: Could not save rules file");

    page.rulesFileChosen (writeRuleFile (folder / "a.csv", kSmallTable));
    clickAndWait (page.defaultRulesButton);
    EXPECT_EQ (page.rulesFile, juce::File());
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Error: Could not save rules file");
    EXPECT_EQ (bytesOf (folder / "a.csv"), kSmallTable);
}

TEST_F (RulesPageTest, SaveRulesRewritesTheLoadedFileTheSameEachTime)
{
    const auto file = writeRuleFile (folder / "drums.csv", kSmallTable);
    page.rulesFileChosen (file);
    EXPECT_EQ (status(), "CSV rules loaded successfully");
    EXPECT_EQ (page.rulesFile, file);
    ASSERT_EQ (page.instruments.size(), 2u);

    typeInto (*page.termEditors[1], "bass drum");
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Rules saved successfully");
    const auto once = bytesOf (file);
    EXPECT_EQ (once, "Instrument;Termes\nKick;kick,bass drum\nSnare;snare\n");

    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (bytesOf (file), once);

    // A rule file whose folder went away is written anew.
    const auto moved = (folder / "gone").getChildFile ("drums.csv");
    page.rulesFileChosen (writeRuleFile (moved, kSmallTable));
    moved.getParentDirectory().deleteRecursively();
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Rules saved successfully");
    EXPECT_EQ (bytesOf (moved), "Instrument;Termes\nKick;kick,bd\nSnare;snare\n");
}

TEST_F (RulesPageTest, SaveRulesAsSetsTheFileThatSaveRulesWrites)
{
    clickAndWait (page.addInstrumentButton);
    ASSERT_EQ (page.instruments.size(), 59u);
    EXPECT_EQ (page.selectedIndex, 58);
    EXPECT_EQ (page.instrumentsViewport.getViewPositionY(),
               page.instrumentsContent.getHeight() - page.instrumentsViewport.getMaximumVisibleHeight());

    const auto target = folder / "rules.csv";
    page.saveAsFileChosen (target);
    EXPECT_EQ (status(), "Rules saved as rules.csv");
    EXPECT_EQ (page.rulesFile, target);
    const auto lines = juce::StringArray::fromLines (bytesOf (target));
    ASSERT_EQ (lines.size(), 61);   // header, 59 instruments, the empty text after the last LF
    EXPECT_EQ (lines[58], "Mix;mix,bounds,export,master,mastering,mixdown,mixage,final,finished,complete,version,"
                          "stereo,mono,stems,bus,send,return,aux,group,chain,processing");
    EXPECT_EQ (lines[59], ";");

    typeInto (*page.instrumentEditors[58], "Claps");
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Rules saved successfully");
    EXPECT_TRUE (bytesOf (target).endsWith ("\nClaps;\n"));
}

TEST_F (RulesPageTest, CancelledDialogsChangeNothingButTheStatus)
{
    const auto file = writeRuleFile (folder / "drums.csv", kSmallTable);
    page.rulesFileChosen (file);
    typeInto (*page.termEditors[0], "edited");

    // The real dialog opens; closing it without a choice is what cancelling gives.
    page.saveRulesAs();
    EXPECT_EQ (status(), "Choose location to save rules...");
    page.saveChooser.reset();
    page.saveAsFileChosen (juce::File());
    EXPECT_EQ (status(), "Save cancelled");
    EXPECT_EQ (page.rulesFile, file);
    EXPECT_EQ (page.instruments[0].termes[0], "edited");   // committed all the same

    page.rulesFileChosen (juce::File());
    EXPECT_EQ (status(), Rules::kTitleText);
    EXPECT_EQ (page.rulesFile, file);
    EXPECT_EQ (page.instruments.size(), 2u);
    EXPECT_EQ (termShown (0), "edited");
}

TEST_F (RulesPageTest, LoadRulesChecksTheWholeFileFirst)
{
    select ("Kick");
    typeInto (*page.termEditors[0], "edited");

    page.rulesFileChosen (writeRuleFile (folder / "bad.csv",
                                         "Instrument;Termes\nA;a\n\n# note\nB;b\nC;c\nD;d;e\nE;e\n"));
    EXPECT_EQ (status(), "Error: Invalid CSV format - Expected 2 columns on line 7");
    EXPECT_EQ (page.instruments.size(), 58u);
    EXPECT_EQ (page.instruments[(size_t) page.selectedIndex].name, "Kick");
    EXPECT_EQ (termShown (0), "edited");
    EXPECT_EQ (page.rulesFile, juce::File());

    page.rulesFileChosen (writeRuleFile (folder / "header.csv", "Instrument;Termes"));
    EXPECT_EQ (status(), "CSV rules loaded successfully");
    EXPECT_TRUE (page.instruments.empty());
    EXPECT_EQ (page.instrumentEditors.size(), 0);
    EXPECT_EQ (page.termEditors.size(), 0);
    EXPECT_EQ (page.selectedIndex, -1);
}

TEST_F (RulesPageTest, HostileRuleFilesAreRefusedOrReadWithoutHarm)
{
    // Past the size bound: refused before it is read whole.
    const auto huge = folder / "huge.csv";
    {
        juce::FileOutputStream out (huge);
        out << "Instrument;Termes\n";
        const juce::String line ("Kick;kick\n");
        while (out.getPosition() <= RuleFile::kMaxFileBytes)
            out << line;
    }
    page.rulesFileChosen (huge);
    EXPECT_EQ (status(), "Error: Could not read CSV file");
    EXPECT_EQ (page.instruments.size(), 58u);

    // Binary data is no rule table.
    const unsigned char binary[] = { 'I', ';', 'T', '\n', 0xFF, 0xFE, 0x00, ';', 0x80, 0x00, 0x01, '\n' };
    const auto binaryFile = folder / "binary.csv";
    binaryFile.replaceWithData (binary, sizeof (binary));
    page.rulesFileChosen (binaryFile);
    EXPECT_TRUE (status().startsWith ("Error: ")) << status();
    EXPECT_EQ (page.instruments.size(), 58u);

    // UTF-16 with its byte-order mark, and a line of 100000 characters.
    const auto utf16 = folder / "utf16.csv";
    {
        juce::FileOutputStream out (utf16);
        out.writeText ("Instrument;Termes\nKick;kick\nLong;" + juce::String::repeatedString ("x", 100000) + "\n",
                       true, true, nullptr);
    }
    page.rulesFileChosen (utf16);
    EXPECT_EQ (status(), "CSV rules loaded successfully");
    ASSERT_EQ (page.instruments.size(), 2u);
    EXPECT_EQ (page.instruments[1].termes[0].length(), 100000);
}

TEST_F (RulesPageTest, AFailedSaveLeavesNoFileBehind)
{
    const auto blocker = writeRuleFile (folder / "plain.txt", "not a folder");
    const auto target = blocker.getChildFile ("rules.csv");

    page.saveAsFileChosen (target);
    EXPECT_EQ (status(), "Error: Could not save rules file");
    EXPECT_EQ (page.rulesFile, juce::File());

    page.rulesFile = target;   // as if a loaded file's folder had been replaced by a file
    clickAndWait (page.saveRulesButton);
    EXPECT_EQ (status(), "Error: Could not save rules file");
    EXPECT_FALSE (target.exists());
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}
