#include "rename/SortOrder.h"

#include <gtest/gtest.h>

#include <random>

using SortOrder::keyFor;
using SortOrder::sortedByNewName;

namespace
{
using Names = std::map<std::string, std::string>;

std::vector<std::string> order (const Names& names)
{
    std::vector<std::string> paths;
    for (const auto& entry : names)
        paths.push_back (entry.first);
    return sortedByNewName (paths, names);
}
} // namespace

TEST (SortOrder, ComparesLowerCasedNamesCharacterByCharacter)
{
    EXPECT_EQ (order ({ { "/a/1.wav", "Tom10" }, { "/a/2.wav", "Tom2" }, { "/a/3.wav", "snare" } }),
               (std::vector<std::string> { "/a/3.wav", "/a/1.wav", "/a/2.wav" }));

    // Digits as characters, the underscore between digits and letters, a prefix first.
    EXPECT_EQ (order ({ { "/a/1.wav", "kick_2" }, { "/a/2.wav", "Kick2" }, { "/a/3.wav", "kick10" },
                        { "/a/4.wav", "Kick" }, { "/a/5.wav", "kicka" } }),
               (std::vector<std::string> { "/a/4.wav", "/a/3.wav", "/a/2.wav", "/a/1.wav", "/a/5.wav" }));

    // Leading spaces count.
    EXPECT_EQ (order ({ { "/a/1.wav", "a" }, { "/a/2.wav", " b" } }),
               (std::vector<std::string> { "/a/2.wav", "/a/1.wav" }));

    EXPECT_TRUE (sortedByNewName ({}, {}).empty());
}

TEST (SortOrder, BlankNamesSortUnderTheirFileName)
{
    EXPECT_EQ (keyFor ("/x/Zebra Take.WAV", ""), "zebra take.wav");
    EXPECT_EQ (keyFor ("/x/Zebra Take.WAV", "   "), "zebra take.wav");
    EXPECT_EQ (keyFor ("/x/Zebra Take.WAV", " Kick1"), " kick1");
    EXPECT_EQ (keyFor ("C:\\x\\Bass.aif", ""), "bass.aif");

    const std::vector<std::string> paths { "/x/Zebra.wav", "/x/apple.wav", "/x/unlisted.wav", "/x/m.wav" };
    const Names names { { "/x/Zebra.wav", "" }, { "/x/apple.wav", "Yak" }, { "/x/m.wav", "  " } };
    EXPECT_EQ (sortedByNewName (paths, names),
               (std::vector<std::string> { "/x/m.wav", "/x/unlisted.wav", "/x/apple.wav", "/x/Zebra.wav" }));
}

TEST (SortOrder, AgreesWithJuceStringOrderBeyondAscii)
{
    // Keys are compared as UTF-8 bytes; that must give juce::String's code point order.
    const juce::juce_wchar pool[] = { 'a', 'B', '0', '_', ' ', 0xe9, 0xc9, 0x3b1, 0x4e2d, 0xff5a, 0x1f3b8, 0x10000 };
    std::mt19937 random (99);
    std::vector<std::string> paths;
    Names names;

    for (int i = 0; i < 400; ++i)
    {
        juce::String name;
        const auto length = 1 + (int) (random() % 5);
        for (int c = 0; c < length; ++c)
            name += juce::String::charToString (pool[random() % std::size (pool)]);

        const auto path = "/p/" + std::to_string (i) + ".wav";
        paths.push_back (path);
        names[path] = name.toStdString();
    }

    const auto sorted = sortedByNewName (paths, names);
    ASSERT_EQ (sorted.size(), paths.size());
    for (size_t i = 1; i < sorted.size(); ++i)
    {
        const auto before = keyFor (sorted[i - 1], names[sorted[i - 1]]);
        const auto after = keyFor (sorted[i], names[sorted[i]]);
        ASSERT_FALSE (after < before) << before << " / " << after;
    }
}
