#include "rename/RenamePageSupport.h"

using namespace tarsio::test;

namespace
{
juce::String utf8 (const std::string& text)
{
    return juce::String::fromUTF8 (text.c_str());
}

juce::String labelText (const Rename& page, int row)
{
    return page.nameLabels[row]->getText();
}

juce::String editorText (const Rename& page, int row)
{
    return page.nameEditors[row]->getText();
}

void clickPlay (Rename& page, int row)
{
    clickToggle (*page.playButtons[(size_t) row]);
}

// Every row shows its own file, and its buttons' handlers are bound to that file.
void expectRowsMatchPaths (const Rename& page)
{
    ASSERT_EQ ((size_t) page.nameLabels.size(), page.filePaths.size());
    ASSERT_EQ ((size_t) page.nameEditors.size(), page.filePaths.size());
    ASSERT_EQ (page.playButtons.size(), page.filePaths.size());
    ASSERT_EQ (page.removeButtons.size(), page.filePaths.size());
    ASSERT_EQ (page.newNames.size(), page.filePaths.size());

    for (size_t i = 0; i < page.filePaths.size(); ++i)
        EXPECT_EQ (labelText (page, (int) i), utf8 (Rename::extractFileName (page.filePaths[i])));
}
} // namespace

TEST (RenamePageRows, IntakeSuggestsNamesSortsAndReports)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Kick_01.wav", "SNARE TOP.WAV", "photo.jpg", "Room.wav", "Kick In.aif" }));

    expectRowsMatchPaths (page);
    ASSERT_EQ (page.filePaths.size(), 4u);
    EXPECT_EQ (page.progressBar.getText(), "Ready - 4 files with suggestions - Edit names and click GO RENAME");

    // Sorted by new name: Kick1, Kick2, Room, Snare1.
    const juce::StringArray expected { "Kick1", "Kick2", "Room", "Snare1" };
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ (editorText (page, i), expected[i]);
        EXPECT_EQ (utf8 (page.newNames.at (page.filePaths[(size_t) i])), expected[i]);
    }
    EXPECT_EQ (labelText (page, 0), "Kick_01.wav");
    EXPECT_EQ (labelText (page, 3), "SNARE TOP.WAV");
}

TEST (RenamePageRows, ListedPathsAreSkippedAndCountersNeverReset)
{
    TempFolder folder;
    Rename page;
    const auto kick = pathsIn (folder, { "Kick.wav" });
    page.addList (pathsIn (folder, { "Kick.wav", "Kick.wav" }));
    page.addList (kick);
    ASSERT_EQ (page.filePaths.size(), 1u);
    EXPECT_EQ (storedName (page, kick[0]), "Kick1");
    EXPECT_EQ (page.progressBar.getText(), "Ready - 1 files with suggestions - Edit names and click GO RENAME");

    page.clearList();
    EXPECT_TRUE (page.filePaths.empty());
    EXPECT_TRUE (page.newNames.empty());
    EXPECT_EQ (page.nameEditors.size(), 0);
    EXPECT_EQ (page.content.getNumChildComponents(), 0);
    EXPECT_EQ (page.progressBar.getText(), "Ready for new audio files");

    page.addList (kick);
    EXPECT_EQ (storedName (page, kick[0]), "Kick2");
}

TEST (RenamePageRows, OnlyNonAudioFilesLeaveNoRow)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "photo.jpg", "notes.txt", "Room.wav.bak" }));
    EXPECT_TRUE (page.filePaths.empty());
    EXPECT_EQ (page.progressBar.getText(), "Ready - 0 files with suggestions - Edit names and click GO RENAME");
}

TEST (RenamePageRows, BadInputGivesRowsOrSkipsNeverACrash)
{
    TempFolder folder;
    (folder / "Drums").createDirectory();
    (folder / "Folder.wav").createDirectory();

    const auto longStem = juce::String::repeatedString ("Long", 600);
    juce::StringArray batch;
    batch.add ((folder / "Drums").getFullPathName());            // a folder: no extension
    batch.add ((folder / "Folder.wav").getFullPathName());       // a folder named like audio
    batch.add ((folder / "missing.flac").getFullPathName());     // nothing there
    batch.add ((folder / (longStem + ".wav")).getFullPathName());
    batch.add ((folder / "noextension").getFullPathName());
    batch.add ((folder / "separator.wav").getFullPathName() + "/");
    batch.add (juce::String::fromUTF8 ("\xd0\x93\xd0\xb8\xd1\x82\xd0\xb0\xd1\x80\xd0\xb0.wav"));   // Cyrillic, bare name
    batch.add ((folder / juce::String::fromUTF8 ("\xe9\xbc\x93 \xe3\x83\x89\xe3\x83\xa9\xe3\x83\xa0.ogg")).getFullPathName());
    batch.add ("");
    batch.add (".wa");
    batch.add ((folder / ".ogg").getFullPathName());
    Rename page;
    page.setSize (860, 587);
    page.addList (batch);

    expectRowsMatchPaths (page);
    EXPECT_EQ (page.filePaths.size(), 6u);
    EXPECT_EQ (page.progressBar.getText(), "Ready - 6 files with suggestions - Edit names and click GO RENAME");

    // Non-Latin stems match no rule and are kept whole; the bare name is its own file name.
    const auto cyrillic = juce::String::fromUTF8 ("\xd0\x93\xd0\xb8\xd1\x82\xd0\xb0\xd1\x80\xd0\xb0");
    EXPECT_EQ (storedName (page, cyrillic + ".wav"), cyrillic);
    EXPECT_EQ (storedName (page, (folder / (longStem + ".wav")).getFullPathName()), longStem);
    EXPECT_EQ (storedName (page, (folder / ".ogg").getFullPathName()), "");

    // The empty suggestion shows the file name in its editor; the stored name stays empty.
    const int emptyRow = rowOf (page, (folder / ".ogg").getFullPathName());
    ASSERT_GE (emptyRow, 0);
    EXPECT_EQ (editorText (page, emptyRow), ".ogg");

    // Previewing a folder or a missing file loads no waveform and does not fail.
    for (const auto& path : { (folder / "Folder.wav").getFullPathName(), (folder / "missing.flac").getFullPathName() })
    {
        const int row = rowOf (page, path);
        ASSERT_GE (row, 0);
        clickPlay (page, row);
        EXPECT_TRUE (page.progressBar.getText().startsWith ("Playing: "));
        EXPECT_TRUE (page.progressBar.getWaveformPeaks().empty());
        clickPlay (page, row);
        EXPECT_EQ (page.progressBar.getText(), "6 files ready for renaming - Click GO RENAME !");
    }
}

TEST (RenamePageRows, SortingPutsBlankNamesUnderTheirFileNames)
{
    TempFolder folder;
    Rename page;
    const auto paths = pathsIn (folder, { "a.wav", "b.wav", "c.wav", "zz.wav" });
    page.addList (paths);

    page.newNames[paths[0].toStdString()] = "Tom10";
    page.newNames[paths[1].toStdString()] = "Tom2";
    page.newNames[paths[2].toStdString()] = "snare";
    page.newNames[paths[3].toStdString()] = "   ";
    page.sortByNewNames();

    expectRowsMatchPaths (page);
    EXPECT_EQ (page.filePaths[0], paths[2].toStdString());
    EXPECT_EQ (page.filePaths[1], paths[0].toStdString());
    EXPECT_EQ (page.filePaths[2], paths[1].toStdString());
    EXPECT_EQ (page.filePaths[3], paths[3].toStdString());
    EXPECT_EQ (editorText (page, 0), "snare");
    EXPECT_EQ (editorText (page, 1), "Tom10");
    EXPECT_EQ (editorText (page, 2), "Tom2");
    EXPECT_EQ (editorText (page, 3), "   ");   // blank, not empty: shown as stored
}

TEST (RenamePageRows, LeavingDuplicateNamesMakesThemUnique)
{
    TempFolder folder;
    Rename page;
    const auto paths = pathsIn (folder, { "Room.wav", "Overheads.wav", "Track 1.mp3" });
    page.addList (paths);

    typeAndLeave (page, paths[0], "Kick1");
    EXPECT_EQ (storedName (page, paths[0]), "Kick1");

    typeAndLeave (page, paths[1], "Kick1");
    EXPECT_EQ (storedName (page, paths[1]), "Kick1_2");
    EXPECT_EQ (editorText (page, rowOf (page, paths[1])), "Kick1_2");
    EXPECT_EQ (page.progressBar.getText(), "Name adjusted to avoid duplicate: Kick1_2");

    typeAndLeave (page, paths[2], "Kick1");
    EXPECT_EQ (storedName (page, paths[2]), "Kick1_3");
    EXPECT_EQ (editorText (page, rowOf (page, paths[2])), "Kick1_3");

    // Rows sorted after each field left: Kick1, Kick1_2, Kick1_3.
    EXPECT_EQ (rowOf (page, paths[0]), 0);
    EXPECT_EQ (rowOf (page, paths[1]), 1);
    EXPECT_EQ (rowOf (page, paths[2]), 2);
    expectRowsMatchPaths (page);
}

TEST (RenamePageRows, TypingReportsTheNameAndReturnConfirms)
{
    TempFolder folder;
    ShownRenamePage shown;
    auto& page = shown.page;
    const auto paths = pathsIn (folder, { "Room.wav" });
    page.addList (paths);

    auto* editor = page.nameEditors[0];
    ASSERT_TRUE (shown.focus (*editor));
    editor->selectAll();
    editor->insertTextAtCaret ("Ambience");
    ASSERT_TRUE (pumpUntil ([&] { return storedName (page, paths[0]) == "Ambience"; }, 3000));
    EXPECT_EQ (page.progressBar.getText(), juce::String::fromUTF8 ("Filename updated: Room.wav \xe2\x86\x92 Ambience"));

    editor->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    pumpMessages (50);
    EXPECT_FALSE (editor->hasKeyboardFocus (true));
    EXPECT_EQ (page.progressBar.getText(), "Name confirmed - Click GO RENAME when ready");
}

TEST (RenamePageRows, ClearedFieldShowsTheFileNameAndSortsUnderIt)
{
    TempFolder folder;
    Rename page;
    const auto paths = pathsIn (folder, { "Room.wav", "Overheads.wav", "Track 1.mp3" });
    page.addList (paths);   // Overheads, Room, Track 1

    typeAndLeave (page, paths[2], "");
    EXPECT_EQ (storedName (page, paths[2]), "");
    const int row = rowOf (page, paths[2]);
    EXPECT_EQ (editorText (page, row), "Track 1.mp3");
    EXPECT_EQ (row, 2);   // "track 1.mp3" after "room"

    typeAndLeave (page, paths[0], "Zither");
    EXPECT_EQ (rowOf (page, paths[2]), 1);
    EXPECT_EQ (rowOf (page, paths[0]), 2);
    EXPECT_EQ (storedName (page, paths[2]), "");
    expectRowsMatchPaths (page);
}

TEST (RenamePageRows, RemovingARowKeepsTheOtherRowsHandlersRight)
{
    TempFolder folder;
    ShownRenamePage shown;
    auto& page = shown.page;
    page.addList (pathsIn (folder, { "A.wav", "B.wav", "C.wav", "D.wav", "E.wav" }));
    const auto removed = page.filePaths[1];

    // An editor holds the focus when the row above it is removed.
    auto* focused = page.nameEditors[3];
    ASSERT_TRUE (shown.focus (*focused));

    page.removeButtons[1]->triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return page.filePaths.size() == 4; }, 1000));
    pumpMessages (50);
    EXPECT_EQ (page.progressBar.getText(), "4 files remaining");
    EXPECT_EQ (page.newNames.count (removed), 0u);
    EXPECT_FALSE (anyEditorHasFocus (page));
    expectRowsMatchPaths (page);

    // Each remaining play button previews its own file.
    for (size_t i = 0; i < page.filePaths.size(); ++i)
    {
        const auto name = utf8 (Rename::extractFileName (page.filePaths[i]));
        clickPlay (page, (int) i);
        EXPECT_EQ (page.progressBar.getText(), "Playing: " + name + " - Click waveform to jump to position");
        clickPlay (page, (int) i);
    }

    // Each remove button removes its own file.
    while (! page.filePaths.empty())
    {
        const auto last = page.filePaths.back();
        const auto count = page.filePaths.size();
        page.removeButtons.back()->triggerClick();
        ASSERT_TRUE (pumpUntil ([&] { return page.filePaths.size() == count - 1; }, 1000));
        EXPECT_EQ (page.newNames.count (last), 0u);
        EXPECT_EQ (std::count (page.filePaths.begin(), page.filePaths.end(), last), 0);
        expectRowsMatchPaths (page);
    }
    EXPECT_EQ (page.progressBar.getText(), "0 files remaining");
    EXPECT_EQ (page.content.getHeight(), 0);
}

TEST (RenamePageRows, PlayToggleOffStopsAndCountsTheRows)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav" }));

    clickPlay (page, 0);
    EXPECT_EQ (page.progressBar.getText(), "Playing: Overheads.wav - Click waveform to jump to position");
    EXPECT_TRUE (page.playButtons[0]->getToggleState());

    page.progressBar.setProgress (3.0, 10.0, true);
    clickPlay (page, 0);
    EXPECT_FALSE (page.playButtons[0]->getToggleState());
    EXPECT_EQ (page.progressBar.getText(), "2 files ready for renaming - Click GO RENAME !");
    EXPECT_FALSE (page.progressBar.isPreviewActive());
    EXPECT_EQ (page.progressBar.getPositionSeconds(), 0.0);
}

TEST (RenamePageRows, PlayingAnotherRowReleasesTheFirstWhenThePlayerReportsIt)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "A.wav", "B.wav", "C.wav" }));

    clickPlay (page, 0);
    clickPlay (page, 2);
    EXPECT_EQ (page.progressBar.getText(), "Playing: C.wav - Click waveform to jump to position");
    EXPECT_TRUE (page.playButtons[0]->getToggleState());   // until the player reports the stop

    // The player's notices, in the order it posts them: the old row stops, the new one plays.
    page.playbackThread.onPlaybackStateChanged (0, false);
    page.playbackThread.onPlaybackStateChanged (2, true);
    EXPECT_FALSE (page.playButtons[0]->getToggleState());
    EXPECT_TRUE (page.playButtons[2]->getToggleState());
}
