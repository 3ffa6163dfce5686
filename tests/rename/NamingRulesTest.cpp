// The UI-free naming rules of the rename page: suggestions, the audio test, unique names, row order.
#include "rename/NameSuggestion.h"
#include "rename/SortOrder.h"
#include "rename/UniqueName.h"

#include <gtest/gtest.h>

using namespace NameSuggestion;
using Names = std::map<std::string, std::string>;

TEST (NamingRules, SuggestionsFollowTheTableOrderAndKeepCountingForAudioFilesOnly)
{
    auto rules = buildDefaultRenameRules();
    ASSERT_EQ (rules.size(), 1013u);

    // In one run of the page, in order: path, suggestion.
    const char* const batch[][2] = {
        { "/d/Kick_01.wav", "Kick1" }, { "/d/Kick In.aif", "Kick2" }, { "/d/SNARE TOP.WAV", "Snare1" },
        { "/d/Clap.wav", "Guitar1" },          // lap, on the Guitar line, which comes first
        { "/d/Bassoon.wav", "Bass1" }, { "/d/Strings.wav", "Guitar2" },
        { "/d/Guit\xc3\xa1re.wav", "Guitar3" },  // key guitre holds gui
        { "/d/Room.wav", "Room" }, { "/d/Track 1.mp3", "Track 1" }, { "/d/.ogg", "" },   // no match: the stem
        { "C:\\Music\\Vocal.Take.2.ogg", "Vocals1" }, { "/d/Tom 2.wav", "Tom1" }, { "/d/Tom 1.wav", "Tom2" },
        { "/d/\xff\xfe snare.wav", "Snare2" },  // not UTF-8 at all
        { "/d/d\xfcsseldorf.wav", "d\xfcsseldorf" },  // unmatched: the stem's own bytes
        { "/d/folder/", "" }, { "...", ".." },
    };
    for (const auto& [path, expected] : batch)
        EXPECT_EQ (suggestName (rules, path), expected) << path;

    EXPECT_EQ (suggestName (rules, "/d/" + std::string (100000, 'z') + "kick.wav"), "Kick3");

    // Audio files are known by their last bytes.
    for (auto* path : { "/a/x.wav", "/a/X.WAV", "/a/x.Mp3", "/a/x.aif", "/a/x.ogg", "/a/x.AIFF", "/a/x.flac", ".ogg" })
        EXPECT_TRUE (isAudioFile (path)) << path;
    for (auto* path : { "", ".wa", "/a/x.fla", "/a/photo.jpg", "/a/x.wav.txt", "/a/x.wav ", "/a/folder/", "/a/xwav" })
        EXPECT_FALSE (isAudioFile (path)) << path;
    EXPECT_EQ (extractFileName ("/d/Kick\\Snare.wav"), "Kick\\Snare.wav");   // a backslash is no separator here
}

TEST (NamingRules, UniqueNamesCompareWholeStoredNamesExactly)
{
    Names names { { "/a/1.wav", "Kick1" }, { "/a/2.wav", "Kick1_2" }, { "/a/3.wav", "kick9" },
                  { "/a/4.wav", " Snare1 " }, { "/a/5.wav", "Tom1" }, { "/a/6.wav", "Tom1_02" } };
    const char* const cases[][3] = {   // path, desired name, result
        { "/a/9.wav", "Kick1", "Kick1_3" }, { "/a/1.wav", "Kick1", "Kick1" },   // a row's own name never counts
        { "/a/9.wav", "Kick9", "Kick9" }, { "/a/9.wav", "Snare1", "Snare1" },   // case and stored spaces count
        { "/a/9.wav", "  Tom1 ", "Tom1_2" }, { "/a/9.wav", "   ", "" },
    };
    for (const auto& [path, desired, expected] : cases)
        EXPECT_EQ (UniqueName::makeUnique (desired, path, names), expected) << desired;

    for (int k = 3; k <= 98; ++k)
        names["/b/" + std::to_string (k)] = "Kick1_" + std::to_string (k);
    EXPECT_EQ (UniqueName::makeUnique ("Kick1", "/a/9.wav", names), "Kick1_99");
    names["/b/99"] = "Kick1_99";
    EXPECT_EQ (UniqueName::makeUnique ("Kick1", "/a/9.wav", names), "Kick1_99");   // given even when taken
}

TEST (NamingRules, RowsSortByLowerCasedNameOrBlankNamesByFileName)
{
    const Names names { { "/a/1.wav", "Tom10" }, { "/a/2.wav", "Tom2" }, { "/a/3.wav", "snare" },
                        { "/a/4.wav", "kick_2" }, { "/a/5.wav", "Kick2" }, { "/a/6.wav", " zz" },
                        { "/a/Room.wav", "  " }, { "/a/\xce\xb1.wav", "\xc3\xa9" } };
    std::vector<std::string> paths { "/a/unlisted.wav" };
    for (const auto& entry : names)
        paths.push_back (entry.first);

    EXPECT_EQ (SortOrder::sortedByNewName (paths, names),
               (std::vector<std::string> { "/a/6.wav", "/a/5.wav", "/a/4.wav", "/a/Room.wav", "/a/3.wav",
                                           "/a/1.wav", "/a/2.wav", "/a/unlisted.wav", "/a/\xce\xb1.wav" }));
}
