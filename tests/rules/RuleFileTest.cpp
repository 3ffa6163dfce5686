#include "rules/RuleFile.h"
#include "rules/Rules.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using tarsio::test::TempFolder;

namespace
{
juce::File writeBytes (const juce::File& file, const void* data, size_t size)
{
    // replaceWithData deletes the file for zero bytes.
    file.deleteFile();
    file.create();
    file.appendData (data, size);
    return file;
}

juce::File writeText (const juce::File& file, const char* utf8)
{
    return writeBytes (file, utf8, strlen (utf8));
}

juce::String checkMessage (const juce::File& file)
{
    const auto result = RuleFile::check (file);
    EXPECT_EQ (result.accepted, result.message.isEmpty());
    return result.accepted ? juce::String ("accepted") : result.message;
}

size_t countTerms (const std::vector<Instrument>& instruments)
{
    size_t terms = 0;
    for (const auto& instrument : instruments)
        terms += instrument.termes.size();
    return terms;
}
} // namespace

TEST (DefaultRuleTable, IsEmbeddedByteForByte)
{
    const auto* data = RuleFile::getDefaultRulesData();
    const auto size = RuleFile::getDefaultRulesSize();
    ASSERT_EQ (size, 8224);

    int crlf = 0;
    for (int i = 0; i < size; ++i)
    {
        ASSERT_LT ((unsigned char) data[i], 128u) << "byte " << i;
        if (data[i] == '\r')
        {
            ASSERT_LT (i + 1, size);
            ASSERT_EQ (data[i + 1], '\n');
            ++crlf;
        }
        else if (data[i] == '\n')
        {
            ASSERT_EQ (data[i - 1], '\r') << "lone LF at " << i;
        }
    }

    EXPECT_EQ (crlf, 58);
    EXPECT_NE (data[size - 1], '\n');
    EXPECT_EQ (juce::String (data, 17), "Instrument;Termes");

    const auto lines = RuleFile::splitLines (RuleFile::getDefaultRulesText());
    ASSERT_EQ (lines.size(), 59);
    for (int i = 1; i < lines.size(); ++i)
    {
        EXPECT_EQ (lines[i].indexOfChar (';'), lines[i].lastIndexOfChar (';')) << lines[i];
        EXPECT_FALSE (lines[i].containsAnyOf (" \t")) << lines[i];
    }
}

TEST (DefaultRuleTable, ReadsAsFiftyEightInstrumentsAndThousandThirteenTerms)
{
    const auto instruments = RuleFile::readDefaultRules();
    ASSERT_EQ (instruments.size(), 58u);
    EXPECT_EQ (countTerms (instruments), 1013u);

    std::set<juce::String> distinct;
    for (const auto& instrument : instruments)
        for (const auto& term : instrument.termes)
        {
            EXPECT_TRUE (term.isNotEmpty()) << instrument.name;
            distinct.insert (term);
        }
    EXPECT_EQ (distinct.size(), 797u);

    const auto& guitar = instruments.front();
    EXPECT_EQ (guitar.name, "Guitar");
    ASSERT_EQ (guitar.termes.size(), 54u);
    EXPECT_EQ (guitar.termes[0], "guitariste");
    EXPECT_EQ (guitar.termes[23], "steel");
    EXPECT_EQ (guitar.termes[37], "steel");
    EXPECT_EQ (guitar.termes[53], "semi");

    EXPECT_EQ (instruments.back().name, "Mix");
    EXPECT_EQ (instruments.back().termes.size(), 21u);
    EXPECT_EQ (instruments.back().termes.back(), "processing");

    EXPECT_EQ (instruments[27].name, "Synth");
    EXPECT_EQ (instruments[27].termes.size(), 74u);
    EXPECT_EQ (instruments[56].name, "Drum");
    EXPECT_EQ (instruments[56].termes[17], "oberheimDMX");
}

TEST (RuleReader, FollowsTheGrammarWithoutEverFailing)
{
    EXPECT_TRUE (RuleFile::read ({}).empty());
    EXPECT_TRUE (RuleFile::read ("Instrument;Termes").empty());
    EXPECT_TRUE (RuleFile::read ("\n").empty());

    // No terms, extra fields, no semicolon, a blank name.
    const auto read = RuleFile::read ("Instrument;Termes\nGuitar;\nBass;a;b\nNoSemicolon\n ;x\n");
    ASSERT_EQ (read.size(), 3u);
    EXPECT_EQ (read[0].name, "Guitar");
    EXPECT_TRUE (read[0].termes.empty());
    EXPECT_EQ (read[1].name, "Bass");
    ASSERT_EQ (read[1].termes.size(), 1u);
    EXPECT_EQ (read[1].termes[0], "a");
    EXPECT_TRUE (read[2].name.isEmpty());
    EXPECT_EQ (read[2].termes, std::vector<juce::String> { "x" });

    // Blank line, comment, empty terms kept, whitespace trimmed.
    const auto kick = RuleFile::read ("Instrument;Termes\n\n# comment\nKick; kick,,bd ,");
    ASSERT_EQ (kick.size(), 1u);
    EXPECT_EQ (kick[0].name, "Kick");
    EXPECT_EQ (kick[0].termes, (std::vector<juce::String> { "kick", "", "bd", "" }));

    // A "#" after spaces is no comment; it is a data line whose name starts with "#".
    const auto hashed = RuleFile::read ("Instrument;Termes\n  #Name;term");
    ASSERT_EQ (hashed.size(), 1u);
    EXPECT_EQ (hashed[0].name, "#Name");

    // Without a header the first data line is taken as the header; CR and CR LF also end lines.
    const auto headless = RuleFile::read ("Kick;kick\rSnare;snare\r\nTom;tom");
    ASSERT_EQ (headless.size(), 2u);
    EXPECT_EQ (headless[0].name, "Snare");
    EXPECT_EQ (headless[1].name, "Tom");

    // A comment before the header does not count as the header.
    EXPECT_EQ (RuleFile::read ("#x\nInstrument;Termes\nKick;kick").size(), 1u);
}

TEST (RuleFileCheck, ReportsMissingEmptyAndUnreadableFiles)
{
    TempFolder folder;
    EXPECT_EQ (checkMessage (folder / "missing.csv"), "Error: CSV file does not exist");
    EXPECT_EQ (checkMessage (folder.get()), "Error: CSV file does not exist");
    EXPECT_EQ (checkMessage (writeText (folder / "empty.csv", "")), "Error: CSV file is empty");

    // One line end is two blank lines: accepted, and it reads as no instruments.
    const auto lineEnd = writeText (folder / "lineend.csv", "\n");
    EXPECT_EQ (checkMessage (lineEnd), "accepted");
    EXPECT_TRUE (RuleFile::read (RuleFile::readFileText (lineEnd)).empty());

    EXPECT_EQ (checkMessage (writeText (folder / "header.csv", "Instrument;Termes")), "accepted");
    EXPECT_EQ (checkMessage (writeText (folder / "comments.csv", "# a\n\n#b\n")), "accepted");
}

TEST (RuleFileCheck, NamesTheFirstFailingLineCountingEveryLine)
{
    TempFolder folder;
    const auto check = [&folder] (const char* text) { return checkMessage (writeText (folder / "r.csv", text)); };

    EXPECT_EQ (check ("Instrument;Termes\n\n# comment\nKick"),
               "Error: Invalid CSV format - Expected semicolon separator on line 4");
    EXPECT_EQ (check ("\r\n# c\r\nInstrument;Termes\r\nGuitar;a;b"),
               "Error: Invalid CSV format - Expected 2 columns on line 4");
    EXPECT_EQ (check ("Instrument;Termes\nKick;kick\n ;x"), "Error: Empty instrument name found on line 3");
    EXPECT_EQ (check ("Instrument;Termes\rKick;kick\rSnare;caf\xc3\xa9"),
               "Error: Non-ASCII characters detected on line 3");
    EXPECT_EQ (check ("Instrument;Termes\nKick;kick\nCaf\xc3\xa9;kick"),
               "Error: Non-ASCII characters detected on line 3");
    // The first failure wins, in line order and in test order.
    EXPECT_EQ (check ("Instrument;Termes\n;a;b\nKick"), "Error: Invalid CSV format - Expected 2 columns on line 2");

    // Header and comments are never tested; data lines of ASCII pass, also with no terms.
    EXPECT_EQ (check ("Instr\xc3\xa9ment;Termes\n# caf\xc3\xa9\nGuitar;\nKick;kick,,bd"), "accepted");
    // The checked header may itself look like a faulty data line.
    EXPECT_EQ (check ("no semicolon here\nKick;kick"), "accepted");
}

TEST (RuleFileCheck, DecodesByteOrderMarksAndUtf16)
{
    TempFolder folder;

    const char bomText[] = "\xef\xbb\xbfInstrument;Termes\r\nKick;kick,bd\r\n";
    const auto bomFile = writeBytes (folder / "bom.csv", bomText, sizeof (bomText) - 1);
    EXPECT_EQ (checkMessage (bomFile), "accepted");
    const auto bomRead = RuleFile::read (RuleFile::readFileText (bomFile));
    ASSERT_EQ (bomRead.size(), 1u);
    EXPECT_EQ (bomRead[0].termes, (std::vector<juce::String> { "kick", "bd" }));

    const auto utf16 = [] (const juce::String& text)
    {
        juce::MemoryOutputStream out;
        out.writeText (text, true, true, nullptr);   // little-endian with its byte-order mark
        return out.getMemoryBlock();
    };

    const auto ascii = utf16 ("Instrument;Termes\r\nSnare;snare,clap");
    const auto utf16File = writeBytes (folder / "utf16.csv", ascii.getData(), ascii.getSize());
    EXPECT_EQ (checkMessage (utf16File), "accepted");
    const auto utf16Read = RuleFile::read (RuleFile::readFileText (utf16File));
    ASSERT_EQ (utf16Read.size(), 1u);
    EXPECT_EQ (utf16Read[0].name, "Snare");

    const auto accented = utf16 (juce::String::fromUTF8 ("Instrument;Termes\nSnare;caf\xc3\xa9"));
    EXPECT_EQ (checkMessage (writeBytes (folder / "accent16.csv", accented.getData(), accented.getSize())),
               "Error: Non-ASCII characters detected on line 2");
}

TEST (RuleFileCheck, IsValidAsciiTestsEveryCodePoint)
{
    EXPECT_TRUE (Rules::isValidASCII ({}));
    EXPECT_TRUE (Rules::isValidASCII ("virus_ti sci-fi 808"));
    EXPECT_TRUE (Rules::isValidASCII (juce::String::charToString (0x7f)));
    EXPECT_FALSE (Rules::isValidASCII (juce::String::charToString (0x80)));
    EXPECT_FALSE (Rules::isValidASCII (juce::String::fromUTF8 ("Guit\xc3\xa1re")));
    EXPECT_FALSE (Rules::isValidASCII ("abc" + juce::String::charToString (0x1f3b8)));
}

TEST (RuleFileWriter, SavesTheBuiltInTableWithLineFeeds)
{
    TempFolder folder;
    const auto target = folder / "rules.csv";
    ASSERT_TRUE (RuleFile::write (RuleFile::readDefaultRules(), target));

    juce::MemoryBlock saved;
    ASSERT_TRUE (target.loadFileAsData (saved));
    EXPECT_EQ (saved.getSize(), 8167u);

    const auto expected = RuleFile::getDefaultRulesText().replace ("\r\n", "\n") + "\n";
    EXPECT_EQ (saved.toString(), expected);
    EXPECT_NE (*(const unsigned char*) saved.getData(), 0xefu);

    // It passes the check and reads back as the same table.
    EXPECT_EQ (checkMessage (target), "accepted");
    const auto reread = RuleFile::read (RuleFile::readFileText (target));
    const auto original = RuleFile::readDefaultRules();
    ASSERT_EQ (reread.size(), original.size());
    for (size_t i = 0; i < original.size(); ++i)
    {
        EXPECT_EQ (reread[i].name, original[i].name);
        EXPECT_EQ (reread[i].termes, original[i].termes);
    }
}

TEST (RuleFileWriter, ReplacesFormerContentAndWritesAsGiven)
{
    TempFolder folder;
    const auto target = folder / "rules.csv";
    target.replaceWithText (juce::String::repeatedString ("old content that is much longer\n", 1000));

    const std::vector<Instrument> table {
        { "Kick", { "kick", "", "bd" } },
        { "Empty", {} },
        { juce::String::fromUTF8 (" Caf\xc3\xa9 "), { " a " } },
    };

    ASSERT_TRUE (RuleFile::write (table, target));
    const auto once = target.loadFileAsString();
    EXPECT_EQ (once, juce::String::fromUTF8 ("Instrument;Termes\nKick;kick,,bd\nEmpty;\n Caf\xc3\xa9 ; a \n"));

    ASSERT_TRUE (RuleFile::write (table, target));
    EXPECT_EQ (target.loadFileAsString(), once);
    EXPECT_EQ (target.getSize(), (juce::int64) once.getNumBytesAsUTF8());

    // Only the target is left in the folder: no temporary file stays behind.
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST (RuleFileWriter, ReportsATargetThatCannotBeWritten)
{
    TempFolder folder;
    const auto inMissingFolder = (folder / "missing").getChildFile ("rules.csv");
    EXPECT_FALSE (RuleFile::write (RuleFile::readDefaultRules(), inMissingFolder));
    EXPECT_FALSE (inMissingFolder.exists());
    EXPECT_FALSE ((folder / "missing").exists());

    // A folder in the target's place stays untouched.
    const auto folderTarget = folder / "dir.csv";
    folderTarget.createDirectory();
    EXPECT_FALSE (RuleFile::write ({}, folderTarget));
    EXPECT_TRUE (folderTarget.isDirectory());
}
