#include "rename/NameSuggestion.h"
#include "rename/RenameRule.h"

#include <gtest/gtest.h>

#include <random>

using namespace NameSuggestion;

namespace
{
// Suggestions for a batch, each rule set starting from fresh counters unless one is passed in.
std::vector<juce::String> suggest (std::vector<RenameRule>& rules, std::initializer_list<const char*> paths)
{
    std::vector<juce::String> names;
    for (auto* path : paths)
        names.push_back (suggestName (rules, path));
    return names;
}

// The scan exactly as described, with the terms normalised as the description says.
int referenceMatch (const juce::StringArray& terms, const juce::String& key)
{
    for (int i = 0; i < terms.size(); ++i)
        if (terms[i].isNotEmpty() && key.contains (terms[i]))
            return i;
    return -1;
}
} // namespace

TEST (RenameRules, FlattenTheBuiltInTableInTableOrder)
{
    const auto rules = buildDefaultRenameRules();
    ASSERT_EQ (rules.size(), 1013u);

    EXPECT_EQ (rules.front().term, "guitariste");
    EXPECT_EQ (rules.front().instrument, "Guitar");
    EXPECT_EQ (rules.back().term, "processing");
    EXPECT_EQ (rules.back().instrument, "Mix");

    for (const auto& rule : rules)
    {
        EXPECT_EQ (rule.counter, 1);
        EXPECT_EQ (rule.matchTerm, rule.term.toLowerCase().retainCharacters (kMatchCharacters).toStdString());
    }

    const auto find = [&rules] (const char* term)
    {
        return *std::find_if (rules.begin(), rules.end(), [term] (const RenameRule& r) { return r.term == term; });
    };
    EXPECT_EQ (find ("virus_ti").matchTerm, "virusti");
    EXPECT_EQ (find ("sci-fi").matchTerm, "scifi");
    EXPECT_EQ (find ("oberheimDMX").matchTerm, "oberheimdmx");
    EXPECT_NE (find ("kick").instrumentIndex, find ("snare").instrumentIndex);
    EXPECT_EQ (find ("kick").instrumentIndex, find ("bd").instrumentIndex);
}

TEST (RenameRules, KeepEmptyTermsAndGroupInstrumentsByExactName)
{
    auto rules = buildRenameRules ("header\nKick; kick ,, ;extra\nkick;bd\nKick;thump\nNoFields\n;orphan");
    ASSERT_EQ (rules.size(), 6u);
    EXPECT_EQ (rules[0].term, "kick");
    EXPECT_TRUE (rules[1].term.isEmpty());
    EXPECT_TRUE (rules[2].term.isEmpty());
    EXPECT_TRUE (rules[1].matchTerm.empty());
    EXPECT_EQ (rules[0].instrumentIndex, rules[4].instrumentIndex);   // the two "Kick" lines
    EXPECT_NE (rules[0].instrumentIndex, rules[3].instrumentIndex);   // "kick" differs in case
    EXPECT_TRUE (rules[5].instrument.isEmpty());

    // Both Kick lines count together; the lower-case kick line counts on its own.
    EXPECT_EQ (suggest (rules, { "/a/kick.wav", "/a/thump.wav", "/a/bd.wav", "/a/kick.wav" }),
               (std::vector<juce::String> { "Kick1", "Kick2", "kick1", "Kick3" }));
    EXPECT_TRUE (buildRenameRules ({}).empty());
}

TEST (NameSuggestions, FollowTheTableOrderAndTheRunningNumbers)
{
    auto rules = buildDefaultRenameRules();
    EXPECT_EQ (suggest (rules, { "/d/Kick_01.wav", "/d/Kick In.aif" }), (std::vector<juce::String> { "Kick1", "Kick2" }));

    // A later batch goes on counting; other instruments have their own numbers.
    EXPECT_EQ (suggest (rules, { "/d/BD Sub.wav", "/d/SNARE TOP.WAV", "/d/kick.flac" }),
               (std::vector<juce::String> { "Kick3", "Snare1", "Kick4" }));

    // Numbering follows the batch, not the numbers in the names.
    auto fresh = buildDefaultRenameRules();
    EXPECT_EQ (suggest (fresh, { "/d/Tom 2.wav", "/d/Tom 1.wav" }), (std::vector<juce::String> { "Tom1", "Tom2" }));
}

TEST (NameSuggestions, TakeTheFirstTermOfTheTableFoundInTheKey)
{
    // Each from fresh counters: path, suggestion, and why.
    const std::pair<const char*, const char*> examples[] = {
        { "/d/Clap.wav", "Guitar1" },                     // lap, on the Guitar line
        { "/d/Bassoon.wav", "Bass1" },                    // the Bass line comes first
        { "/d/Strings.wav", "Guitar1" },                  // string
        { "/d/Guit\xc3\xa1re.wav", "Guitar1" },           // key guitre holds gui
        { "/d/Hi-Hat.wav", "HiHat1" },
        { "/d/Room.wav", "Room" },                        // no match: the stem
        { "/d/Overheads.wav", "Overheads" },
        { "/d/Track 1.mp3", "Track 1" },
        { "C:\\Music\\Vocal.Take.2.ogg", "Vocals1" },
        { "/d/.ogg", "" },
    };

    for (const auto& [path, expected] : examples)
    {
        auto rules = buildDefaultRenameRules();
        EXPECT_EQ (suggestName (rules, path).toStdString(), expected) << path;
    }

    EXPECT_EQ (matchKeyOf ("Kick_01"), "kick01");
    EXPECT_EQ (matchKeyOf ("Hi-Hat"), "hihat");
    EXPECT_EQ (matchKeyOf (juce::String::fromUTF8 ("Guit\xc3\xa1re")), "guitre");
}

TEST (NameSuggestions, ANameWithoutMatchLeavesTheCountersAlone)
{
    auto rules = buildDefaultRenameRules();
    EXPECT_EQ (suggestName (rules, "/d/Room.wav"), "Room");
    EXPECT_EQ (suggestName (rules, "/d/.wav"), "");
    for (const auto& rule : rules)
        ASSERT_EQ (rule.counter, 1);

    EXPECT_EQ (suggestName (rules, "/d/kick.wav"), "Kick1");
    for (const auto& rule : rules)
        ASSERT_EQ (rule.counter, rule.instrument == "Kick" ? 2 : 1) << rule.term;
}

TEST (NameSuggestions, FastScanAgreesWithTheDescribedScan)
{
    const auto rules = buildDefaultRenameRules();
    juce::StringArray terms;
    for (const auto& rule : rules)
        terms.add (rule.term.toLowerCase().trim().retainCharacters (kMatchCharacters));

    std::vector<juce::String> keys;

    for (const auto& rule : rules)
        keys.push_back ("x" + rule.matchTerm + "9");

    std::mt19937 random (1234);
    const juce::String alphabet (kMatchCharacters);
    for (int i = 0; i < 3000; ++i)
    {
        juce::String key;
        const auto length = (int) (random() % 14);
        for (int c = 0; c < length; ++c)
            key += alphabet[(int) (random() % (unsigned) (i % 2 == 0 ? 26 : 36))];
        keys.push_back (key);
    }

    for (const auto& key : keys)
        ASSERT_EQ (findFirstMatch (rules, key.toStdString()), referenceMatch (terms, key)) << key;
}

TEST (NameSuggestions, AudioTestLooksAtTheLastBytesOnly)
{
    for (auto* path : { "/a/x.wav", "/a/X.WAV", "/a/x.Mp3", "/a/x.aif", "/a/x.ogg", "/a/x.AIFF", "/a/x.flac",
                        ".wav", ".ogg", "/a/.flac", "/weird.wav/x.wav" })
        EXPECT_TRUE (isAudioFile (path)) << path;

    for (auto* path : { "", "wav", ".wa", "/a/x.wa", "/a/x.mp", "/a/x.fla", "/a/photo.jpg", "/a/x.wav.txt",
                        "/a/x.wav ", "/a/folder/", "/a/x.flacc", "/a/xwav", "/a/x.w\xc3\xa1v" })
        EXPECT_FALSE (isAudioFile (path)) << path;
}

TEST (NameSuggestions, FileNameAndStemOfAnyPath)
{
    const std::pair<const char*, const char*> fileNames[] = {
        { "/a/b/Kick.wav", "Kick.wav" }, { "C:\\a\\b\\Kick.wav", "Kick.wav" }, { "/a\\b/c\\Kick.wav", "Kick.wav" },
        { "Kick.wav", "Kick.wav" }, { "/a/folder/", "" }, { "", "" },
    };

    for (const auto& [path, expected] : fileNames)
        EXPECT_EQ (extractFileName (path), expected) << path;

    EXPECT_EQ (stemOf ("/a/b.c/Kick.take.wav"), "Kick.take");
    EXPECT_EQ (stemOf ("/a/b.c/NoDot"), "NoDot");
    EXPECT_EQ (stemOf ("/a/.wav"), "");
    EXPECT_EQ (stemOf ("/a/name."), "name");

    EXPECT_EQ (describeRenaming ("Kick_01.wav", "Kick1").toStdString(), "Kick_01.wav \xe2\x86\x92 Kick1");
}

TEST (NameSuggestions, BadInputNeverBreaksThem)
{
    auto rules = buildDefaultRenameRules();

    // Very long names, with and without a match.
    const auto longStem = std::string (100000, 'z');
    EXPECT_EQ (suggestName (rules, "/d/" + longStem + ".wav"), juce::String (longStem));
    EXPECT_EQ (suggestName (rules, "/d/" + longStem + "kick" + longStem + ".wav"), "Kick1");

    // Non-Latin names keep their stems; Latin words inside them still match.
    EXPECT_EQ (suggestName (rules, "/d/\xe3\x82\xad\xe3\x83\x83\xe3\x82\xaf.wav"),
               juce::String::fromUTF8 ("\xe3\x82\xad\xe3\x83\x83\xe3\x82\xaf"));
    EXPECT_EQ (suggestName (rules, "/d/\xd0\x91\xd0\xb0\xd1\x81 snare.wav"), "Snare1");

    // Bytes that are no UTF-8 at all: no assertion, and a plain ASCII part still matches.
    EXPECT_EQ (suggestName (rules, "/d/\xff\xfe snare.wav"), "Snare2");
    EXPECT_EQ (fromUTF8 ("\xff\xc3\xa9\xc3").toStdString(), "\xef\xbf\xbd\xc3\xa9\xef\xbf\xbd");
    EXPECT_FALSE (describeRenaming ("\xff.wav", "x").isEmpty());

    // A folder path or a name of dots gives an empty stem and no match.
    EXPECT_EQ (suggestName (rules, "/d/folder/"), "");
    EXPECT_EQ (suggestName (rules, "..."), "..");
}
