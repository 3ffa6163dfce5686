#include "rename/RenamePageSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
juce::StringArray makeFiles (const TempFolder& folder, std::initializer_list<const char*> names)
{
    const auto paths = pathsIn (folder, names);
    for (const auto& p : paths)
        juce::File (p).replaceWithText ("audio of " + p);
    return paths;
}
} // namespace

TEST (GoRenamePage, RenamesEveryRowAsShownAndReportsTheHistory)
{
    TempFolder folder;
    const auto paths = makeFiles (folder, { "Kick_01.wav", "SNARE TOP.WAV", "Bass DI.flac" });

    Rename page;
    page.setSize (860, 587);
    page.addList (paths);
    ASSERT_EQ (page.filePaths.size(), 3u);

    page.goRenameButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return page.progressBar.getText().startsWith ("Complete: "); }));

    EXPECT_EQ (page.progressBar.getText(), "Complete: 3 files renamed - History saved to Tarsio.txt");
    EXPECT_TRUE ((folder / "Kick1.wav").existsAsFile());
    EXPECT_TRUE ((folder / "Snare1.WAV").existsAsFile());
    EXPECT_TRUE ((folder / "Bass1.flac").existsAsFile());
    EXPECT_EQ ((folder / "Kick1.wav").loadFileAsString(), "audio of " + paths[0]);
    EXPECT_FALSE (juce::File (paths[0]).exists());
    EXPECT_TRUE ((folder / "Tarsio.txt").existsAsFile());

    // The page keeps listing the former paths: a second batch finds them gone, and writes no history.
    page.goRenameButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return page.progressBar.getText() == "No files were renamed"; }));
    EXPECT_FALSE ((folder / "Tarsio_2.txt").exists());
}

TEST (GoRenamePage, AnEmptyPageRenamesNothing)
{
    Rename page;
    page.goRenameButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return page.progressBar.getText() == "No files were renamed"; }));
}
