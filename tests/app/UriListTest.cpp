// Dropped lists: every name arrives as the bytes it was, whatever it holds and however the source
// wrote its URI; the parsing thread hands lists back in order.
#include "app/UriList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

namespace
{
// A file URI as drag sources write one: GTK leaves "+" and other sub-delimiters as they are, Python's
// quote (the tests' drag source) escapes them; both escape "%", spaces and every byte above 0x7f.
std::string uriOf (const std::string& path, bool escapePlus)
{
    std::string uri = "file://";
    for (const auto c : path)
    {
        const auto b = (unsigned char) c;
        if (std::isalnum (b) || std::strchr (escapePlus ? "/-._~" : "/-._~+!$&'()*,;=:@", c) != nullptr)
            uri += c;
        else
            uri += juce::String::formatted ("%%%02X", b).toStdString();
    }
    return uri;
}
} // namespace

TEST (UriList, NamesArriveAsTheirBytesInListsOfAnySize)
{
    const std::vector<std::string> names { "/m/Kick 01.wav", "/m/a+b.wav", "/m/100% dry.wav", "/m/%41.wav", "/m/ trailing .wav",
                                           "/m/d\xfcsseldorf.wav", "/m/\xff\xfe.wav", "/m/K\xc3\xb6ln #2.wav", "/m/tab\there.wav" };

    // Some 20,000 paths, over the 256 KB above which sources send the list in chunks.
    std::vector<std::string> expected;
    std::string list;
    for (int i = 0; i < 2300; ++i)
        for (const auto& name : names)
        {
            expected.push_back (name);
            list += uriOf (name, i % 2 == 0) + (i % 3 == 0 ? "\n" : "\r\n");
        }
    ASSERT_GT (list.size(), 256u * 1024u);
    EXPECT_EQ (UriList::filePaths (list), expected);
}

TEST (UriList, OnlyFilesOfThisMachineAreTaken)
{
    const struct { const char* line; const char* path; } cases[] = {
        { "file:///m/a.wav", "/m/a.wav" },
        { "FILE://localhost/m/a.wav", "/m/a.wav" },
        { "file:/m/a.wav", "/m/a.wav" },
        { "/m/bare path.wav", "/m/bare path.wav" },
        { "  file:///m/a.wav\t", "/m/a.wav" },
        { "file:///m/%e9t%C3%A9.wav", "/m/\xe9t\xc3\xa9.wav" },
        { "file:///m/50%.wav", "/m/50%.wav" },
        { "file:///m/a%0.wav", "/m/a%0.wav" },
        { "file:///m/nul%00.wav", nullptr },       // would end the name early: another file
        { "file://elsewhere.example/m/a.wav", nullptr },
        { "http://example.com/a.wav", nullptr },
        { "# a comment", nullptr },
        { "relative.wav", nullptr },
        { "", nullptr },
    };
    for (const auto& c : cases)
        EXPECT_EQ (UriList::filePaths (c.line), c.path != nullptr ? std::vector<std::string> { c.path } : std::vector<std::string>()) << c.line;
}

TEST (UriListParserThread, ListsComeBackInTheirOrderOnTheMessageThread)
{
    std::vector<std::vector<std::string>> results;
    {
        UriListParser parser;
        std::string big;
        for (int i = 0; i < 50000; ++i)
            big += "file:///m/take%20" + std::to_string (i) + ".wav\r\n";
        for (const auto* list : { big.c_str(), "file:///m/a.wav", "file:///m/b.wav\nfile:///m/c.wav" })
            parser.parse (list, [&] (std::vector<std::string> paths)
            {
                EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
                results.push_back (std::move (paths));
            });
        ASSERT_TRUE (tarsio::test::pumpUntil ([&] { return results.size() == 3; }));

        // A parser that goes takes its pending lists with it.
        parser.parse (big, [&] (std::vector<std::string>) { ADD_FAILURE() << "called after the parser went"; });
    }
    tarsio::test::pumpMessages (200);
    ASSERT_EQ (results.size(), 3u);
    EXPECT_EQ (results[0].size(), 50000u);
    EXPECT_EQ (results[0][49999], "/m/take 49999.wav");
    EXPECT_EQ (results[1], std::vector<std::string> { "/m/a.wav" });
    EXPECT_EQ (results[2], (std::vector<std::string> { "/m/b.wav", "/m/c.wav" }));
}
