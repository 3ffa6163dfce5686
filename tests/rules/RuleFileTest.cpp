#include "rules/RuleFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using tarsio::test::TempFolder;

TEST (DefaultRuleTable, IsTheEmbeddedTableAndSavesAsItsLinesWithLineFeeds)
{
    const juce::String embedded (RuleFile::getDefaultRulesData(), (size_t) RuleFile::getDefaultRulesSize());
    EXPECT_EQ (embedded.length(), 8224);   // 8224 bytes, every one below 128
    const auto table = RuleFile::readDefaultRules();
    size_t terms = 0;
    for (const auto& instrument : table)
        terms += instrument.termes.size();
    EXPECT_EQ (table.size(), 58u);
    EXPECT_EQ (terms, 1013u);
    EXPECT_EQ (table.front().termes[23] + table.front().termes[37] + table.back().name, "steelsteelMix");

    // Saved, it is the same 59 lines, each ended by a LF instead of separated by CR LF.
    TempFolder folder;
    ASSERT_TRUE (RuleFile::write (table, folder / "saved.csv"));
    EXPECT_EQ ((folder / "saved.csv").loadFileAsString(), embedded.replace ("\r\n", "\n") + "\n");
}

// Every rule of the check and the reader in one table: what a file holds, what the check says, and
// the instruments it then loads as (name:terms, "|" between instruments).
TEST (RuleFileCheck, AcceptsOrNamesTheFirstFailingLineAndReadsWhatItAccepts)
{
    enum Kind { text, utf16, missing, folder, pipe, pastBound };
    struct Case { Kind kind; std::string bytes; const char* message; const char* loads; };
    const juce::String big = "Instrument;Termes\n" + juce::String::repeatedString ("Kick;kick,bass drum,bd\n", 40000);
    const Case cases[] = {
        { missing, "", "Error: CSV file does not exist", nullptr },
        { folder, "", "Error: Could not read CSV file", nullptr },
        { pipe, "", "Error: Could not read CSV file", nullptr },
        { pastBound, "Kick;kick\n", "Error: Could not read CSV file - Over 1 MB", nullptr },
        { text, "", "Error: CSV file is empty", nullptr },
        { text, "\n", nullptr, "" },
        { text, "Instrument;Termes", nullptr, "" },
        { text, big.toStdString(), nullptr, nullptr },
        { text, "Instrument;Termes\n\n# comment\nKick; kick,,bd ,\n", nullptr, "Kick:kick,,bd," },
        { text, "Instrument;Termes\n  #Name;term\nGuitar;", nullptr, "#Name:term|Guitar:" },
        { text, "Kick;kick\rSnare;snare\r\nTom;tom", nullptr, "Snare:snare|Tom:tom" },
        { text, "#x\nInstr\xc3\xa9ment;Termes\n# caf\xc3\xa9\nKick;kick", nullptr, "Kick:kick" },
        { text, "\xef\xbb\xbfInstrument;Termes\r\nKick;kick,bd\r\n", nullptr, "Kick:kick,bd" },
        { text, "\xef\xbb\xbf", "Error: CSV file is empty", "" },   // a mark and nothing after it
        { text, "\xff\xfe", "Error: CSV file is empty", "" },
        { text, "\xfe\xff\x41", "Error: CSV file is empty", "" },
        { text, "\xef\xbb", nullptr, "" },   // not a whole mark: one line of text, the header
        { text, "\xef", nullptr, "" },
        { utf16, "Instrument;Termes\r\nSnare;snare,clap", nullptr, "Snare:snare,clap" },
        { utf16, "Instrument;Termes\nSnare;caf\xc3\xa9", "Error: Non-ASCII characters detected on line 2", nullptr },
        { text, "Instrument;Termes\n\n# comment\nKick", "Error: Invalid CSV format - Expected semicolon separator on line 4", nullptr },
        { text, "\r\n# c\r\nInstrument;Termes\r\nGuitar;a;b", "Error: Invalid CSV format - Expected 2 columns on line 4", nullptr },
        { text, "Instrument;Termes\nKick;kick\n ;x", "Error: Empty instrument name found on line 3", nullptr },
        { text, "Instrument;Termes\nCaf\xc3\xa9;kick", "Error: Non-ASCII characters detected on line 2", nullptr },
        { text, "I;T\nKick;" + std::string (RuleFile::kMaxFieldChars + 1, 'k'), "Error: Could not read CSV file - Name or term over 1024 characters on line 2", nullptr },   // too long to draw
        { text, std::string ("I;T\n\xff\xfe\0;\x80\0\x01\n", 12), "Error: Could not read CSV file - Holds a zero byte", nullptr },
        { text, std::string ("I\0;\0T\0\n\0K\0;\0k\0\n\0", 16), "Error: Could not read CSV file - Holds a zero byte", nullptr },   // UTF-16 without its mark
    };

    TempFolder dir;
    for (size_t n = 0; n < std::size (cases); ++n)
    {
        const auto& c = cases[n];
        SCOPED_TRACE ("case " + std::to_string (n));
        const auto file = dir / ("case" + juce::String ((int) n) + ".csv");
        if (c.kind == folder)
            file.createDirectory();
        else if (c.kind == pipe)
            ASSERT_EQ (::mkfifo (file.getFullPathName().toRawUTF8(), 0600), 0);
        else if (c.kind != missing)
        {
            juce::FileOutputStream out (file);
            out.setPosition (c.kind == pastBound ? RuleFile::kMaxFileBytes : 0);   // past the bound, sparse
            c.kind == utf16 ? out.writeText (juce::String::fromUTF8 (c.bytes.c_str()), true, true, nullptr)
                            : out.write (c.bytes.data(), c.bytes.size());
        }

        const auto result = RuleFile::check (file);
        EXPECT_EQ (result.accepted ? "accepted" : result.message, c.message != nullptr ? c.message : "accepted");
        juce::StringArray loaded;
        for (const auto& instrument : RuleFile::read (RuleFile::readFileText (file)))
            loaded.add (instrument.name + ":" + juce::StringArray (instrument.termes.data(), (int) instrument.termes.size()).joinIntoString (","));
        EXPECT_TRUE (c.loads == nullptr || loaded.joinIntoString ("|") == c.loads) << loaded.joinIntoString ("|");
    }
}
