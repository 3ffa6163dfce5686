#include "rename/UniqueName.h"

#include <gtest/gtest.h>

using UniqueName::makeUnique;

namespace
{
using Names = std::map<std::string, std::string>;

// Leaves a row's field as the page does: the adjusted name is stored for the row.
juce::String leaveField (Names& names, const std::string& path, const juce::String& typed)
{
    names[path] = typed.toStdString();
    const auto unique = makeUnique (typed, path, names);
    if (unique != typed.trim())
        names[path] = unique.toStdString();
    return unique;
}
} // namespace

TEST (UniqueNames, NumberDuplicatesFromTwoOn)
{
    Names names { { "/a/1.wav", "Kick1" } };
    EXPECT_EQ (leaveField (names, "/a/2.wav", "Kick1"), "Kick1_2");
    EXPECT_EQ (leaveField (names, "/a/3.wav", "Kick1"), "Kick1_3");
    EXPECT_EQ (names["/a/3.wav"], "Kick1_3");

    // The row's own stored name never counts against it.
    EXPECT_EQ (makeUnique ("Kick1_2", "/a/2.wav", names), "Kick1_2");
    EXPECT_EQ (makeUnique ("Kick1", "/a/1.wav", names), "Kick1");

    // The first free suffix fills a gap.
    names.erase ("/a/2.wav");
    EXPECT_EQ (makeUnique ("Kick1", "/a/4.wav", names), "Kick1_2");
}

TEST (UniqueNames, CompareWholeStoredNamesExactly)
{
    const Names names { { "/a/1.wav", "kick1" }, { "/a/2.wav", " Snare1 " }, { "/a/3.wav", "Tom1_02" },
                        { "/a/4.wav", "Tom1" }, { "/a/5.wav", "Tom1_2x" }, { "/a/6.wav", "Tom1_100" } };

    EXPECT_EQ (makeUnique ("Kick1", "/a/9.wav", names), "Kick1");        // case counts
    EXPECT_EQ (makeUnique ("Snare1", "/a/9.wav", names), "Snare1");      // stored spaces count
    EXPECT_EQ (makeUnique ("  Tom1 ", "/a/9.wav", names), "Tom1_2");     // lookalike suffixes do not
    EXPECT_EQ (makeUnique ("  Room ", "/a/9.wav", names), "Room");
    EXPECT_EQ (makeUnique ("   ", "/a/9.wav", names), "");
    EXPECT_EQ (makeUnique ({}, "/a/9.wav", names), "");

    const Names accented { { "/a/1.wav", "Guit\xc3\xa1re" } };
    EXPECT_EQ (makeUnique (juce::String::fromUTF8 ("Guit\xc3\xa1re"), "/a/2.wav", accented).toStdString(),
               "Guit\xc3\xa1re_2");
}

TEST (UniqueNames, StopAtNinetyNine)
{
    Names names { { "/a/0.wav", "Kick1" } };
    for (int k = 2; k <= 97; ++k)
        names["/a/" + std::to_string (k) + ".wav"] = "Kick1_" + std::to_string (k);

    EXPECT_EQ (makeUnique ("Kick1", "/a/new.wav", names), "Kick1_98");

    names["/a/98.wav"] = "Kick1_98";
    EXPECT_EQ (makeUnique ("Kick1", "/a/new.wav", names), "Kick1_99");

    // "_99" is given even when another row already holds it.
    names["/a/99.wav"] = "Kick1_99";
    EXPECT_EQ (makeUnique ("Kick1", "/a/new.wav", names), "Kick1_99");
}

TEST (UniqueNames, StayCheapWithTenThousandRows)
{
    // Not a timing test: a name every row shares must still give the right answer in one pass.
    Names names;
    for (int i = 0; i < 10000; ++i)
        names["/a/" + std::to_string (i) + ".wav"] = i < 9000 ? "Kick1" : "Kick1_" + std::to_string (i - 8998);

    EXPECT_EQ (makeUnique ("Kick1", "/a/0.wav", names), "Kick1_99");
    EXPECT_EQ (makeUnique ("Snare1", "/a/0.wav", names), "Snare1");
}
