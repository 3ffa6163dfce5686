#include "rename/RenamePageSupport.h"
#include "look/Palette.h"

using namespace tarsio::test;

namespace
{
using Bounds = juce::Rectangle<int>;

struct ExpectedLayout
{
    int width, height;
    Bounds close, rules, goRename, bar, pause, viewport;
    int contentWidth, contentHeight, rowPitch;
    Bounds label, editor, play, remove;
};

void expectLayout (const ExpectedLayout& e)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav" }));
    page.setSize (e.width, e.height);

    EXPECT_EQ (page.closeButton.getBounds(), e.close);
    EXPECT_EQ (page.renameRulesButton.getBounds(), e.rules);
    EXPECT_EQ (page.goRenameButton.getBounds(), e.goRename);
    EXPECT_EQ (page.progressBar.getBounds(), e.bar);
    EXPECT_EQ (page.pauseButton.getBounds(), e.pause);
    EXPECT_EQ (page.viewport.getBounds(), e.viewport);
    EXPECT_EQ (page.content.getBounds(), Bounds (0, 0, e.contentWidth, e.contentHeight));

    ASSERT_EQ (page.nameLabels.size(), 2);
    EXPECT_EQ (page.nameLabels[0]->getBounds(), e.label);
    EXPECT_EQ (page.nameEditors[0]->getBounds(), e.editor);
    EXPECT_EQ (page.playButtons[0]->getBounds(), e.play);
    EXPECT_EQ (page.removeButtons[0]->getBounds(), e.remove);

    EXPECT_EQ (page.nameLabels[1]->getBounds(), e.label.translated (0, e.rowPitch));
    EXPECT_EQ (page.nameEditors[1]->getBounds(), e.editor.translated (0, e.rowPitch));
    EXPECT_EQ (page.playButtons[1]->getBounds(), e.play.translated (0, e.rowPitch));
    EXPECT_EQ (page.removeButtons[1]->getBounds(), e.remove.translated (0, e.rowPitch));
}
} // namespace

TEST (RenamePageFrame, StartsReadyWithTheBuiltInRules)
{
    Rename page;
    EXPECT_EQ (page.getRuleCount(), 1013);
    EXPECT_EQ (page.progressBar.getText(), "Ready - Edit names on the right, click play buttons to preview");
    EXPECT_EQ (page.goRenameButton.getButtonText(), "GO RENAME !");
    EXPECT_EQ (page.renameRulesButton.getButtonText(), "RULES");
    EXPECT_EQ (page.renameRulesButton.findColour (juce::TextButton::textColourOffId), whiteLightVekko);
    EXPECT_EQ (page.goRenameButton.findColour (juce::TextButton::textColourOffId), greenVekko);
    EXPECT_EQ (page.viewport.getViewedComponent(), &page.content);
    EXPECT_TRUE (page.pauseButton.getClickingTogglesState());
}

TEST (RenamePageFrame, LayoutAtTheStartingSmallestAndLargestSizes)
{
    const ExpectedLayout layouts[] = {
        { 860, 587,
          { 791, 9, 36, 36 }, { 45, 9, 120, 36 }, { 665, 9, 120, 36 }, { 144, 57, 572, 30 },
          { 719, 54, 36, 36 }, { 48, 105, 761, 461 }, 751, 54, 27,
          { 0, 0, 319, 24 }, { 327, 0, 334, 24 }, { 669, -2, 30, 30 }, { 707, -2, 30, 30 } },
        { 688, 469,
          { 632, 7, 28, 28 }, { 36, 7, 96, 28 }, { 532, 7, 96, 28 }, { 115, 45, 457, 24 },
          { 574, 42, 28, 28 }, { 38, 84, 608, 368 }, 598, 43, 21,
          { 0, 0, 255, 19 }, { 261, 0, 267, 19 }, { 534, -2, 24, 24 }, { 564, -2, 24, 24 } },
        // u = 61: row 1 starts at trunc (0.9 * 61) = 54, its buttons at trunc (54.9 - 2) = 52.
        { 1720, 1174,
          { 1579, 18, 73, 73 }, { 91, 18, 244, 73 }, { 1323, 18, 244, 73 }, { 292, 115, 1134, 61 },
          { 1432, 108, 73, 73 }, { 97, 213, 1518, 917 }, 1508, 109, 54,
          { 0, 0, 637, 48 }, { 654, 0, 667, 48 }, { 1338, -2, 61, 61 }, { 1416, -2, 61, 61 } },
    };

    for (const auto& layout : layouts)
    {
        SCOPED_TRACE (juce::String (layout.width) + "x" + juce::String (layout.height));
        expectLayout (layout);
    }
}

TEST (RenamePageFrame, EmptyPageHasNoContentHeightAndPaintsWithAScrollBar)
{
    TempFolder folder;
    Rename page;
    page.setSize (860, 587);
    EXPECT_EQ (page.content.getHeight(), 0);

    juce::StringArray many;
    for (int i = 0; i < 40; ++i)
        many.add ((folder / ("Take " + juce::String (i) + ".wav")).getFullPathName());
    page.addList (many);
    EXPECT_EQ (page.content.getHeight(), 40 * 27);

    // The scroll bar sits on a black pill drawn by the page.
    ASSERT_TRUE (page.viewport.getVerticalScrollBar().isVisible());
    const auto snapshot = page.createComponentSnapshot (page.getLocalBounds());
    const auto& scrollBar = page.viewport.getVerticalScrollBar();
    EXPECT_EQ (snapshot.getPixelAt (page.viewport.getX() + scrollBar.getX() - 1, page.viewport.getBounds().getCentreY()),
               blackFullVekko);
}

TEST (RenamePageFrame, TimerReplacesPlayingTextsWithTheReadyCount)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav", "Track 1.mp3" }));
    const juce::String ready ("3 files ready for renaming - Click GO RENAME !");

    for (const auto* text : { "Playing: Room.wav - Click waveform to jump to position",
                              "Loading audio preview: Room.wav", "Stopping", "" })
    {
        page.progressBar.setText (text);
        EXPECT_TRUE (pumpUntil ([&] { return page.progressBar.getText() == ready; }, 1000)) << text;
    }

    // Texts of other events stay, also over several ticks.
    page.progressBar.setText ("Name confirmed - Click GO RENAME when ready");
    pumpMessages (150);
    EXPECT_EQ (page.progressBar.getText(), "Name confirmed - Click GO RENAME when ready");
    EXPECT_FALSE (page.pauseButton.isVisible());
    EXPECT_FALSE (page.progressBar.isPreviewActive());
}

TEST (RenamePageFrame, TimerShowsThePauseButtonWhileARowIsCurrent)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav" }));

    ASSERT_TRUE (pumpUntil ([&] { return ! page.pauseButton.isVisible(); }, 1000));
    page.playbackThread.currentRow = 1;
    ASSERT_TRUE (pumpUntil ([&] { return page.pauseButton.isVisible(); }, 1000));
    EXPECT_TRUE (page.pauseButton.getToggleState());

    page.playbackThread.currentRow = -1;
    EXPECT_TRUE (pumpUntil ([&] { return ! page.pauseButton.isVisible(); }, 1000));
}

// The preview player reports the row it was given; these tests stand in for it by setting
// currentRow, as its worker does when a play request has been carried out.
TEST (RenamePageFrame, PauseStopsAndResumesTheCurrentRow)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav" }));   // Overheads, Room

    clickToggle (*page.playButtons[1]);
    page.playbackThread.currentRow = 1;
    ASSERT_TRUE (pumpUntil ([&] { return page.pauseButton.getToggleState(); }, 1000));

    clickToggle (page.pauseButton);   // on -> off: pause
    EXPECT_EQ (page.progressBar.getText(), "2 files ready for renaming - Click GO RENAME !");
    EXPECT_FALSE (page.progressBar.isPreviewActive());

    clickToggle (page.pauseButton);   // off -> on: resume
    EXPECT_EQ (page.progressBar.getText(), "Resuming: Room.wav");

    page.playbackThread.currentRow = -1;
}

TEST (RenamePageFrame, ResumeAfterASortPlaysTheSameFile)
{
    TempFolder folder;
    Rename page;
    const auto paths = pathsIn (folder, { "Room.wav", "Overheads.wav" });
    page.addList (paths);   // Overheads, Room

    clickToggle (*page.playButtons[1]);
    page.playbackThread.currentRow = 1;

    // Room gets a name that sorts first while it plays: the player still reports row 1.
    page.newNames[paths[0].toStdString()] = "Ambience";
    page.sortByNewNames();
    ASSERT_EQ (rowOf (page, paths[0]), 0);

    page.pauseButton.setToggleState (false, juce::dontSendNotification);
    clickToggle (page.pauseButton);
    EXPECT_EQ (page.progressBar.getText(), "Resuming: Room.wav");

    page.playbackThread.currentRow = -1;
}

TEST (RenamePageFrame, PauseWithARowThatIsGoneOrNoRowDoesNothing)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav", "Track 1.mp3" }));
    const juce::String status ("Name confirmed - Click GO RENAME when ready");

    const auto expectPauseDoesNothing = [&] (int currentRow)
    {
        page.playbackThread.currentRow = currentRow;
        page.progressBar.setText (status);
        clickToggle (page.pauseButton);
        clickToggle (page.pauseButton);
        EXPECT_EQ (page.progressBar.getText(), status) << currentRow;
    };

    expectPauseDoesNothing (-1);
    expectPauseDoesNothing (7);   // nothing was ever played from this page

    // The previewed row is removed while its stop is still pending.
    clickToggle (*page.playButtons[2]);
    page.removeItem (page.filePaths[2]);
    expectPauseDoesNothing (2);
    expectPauseDoesNothing (0);

    page.playbackThread.currentRow = -1;
}

TEST (RenamePageFrame, PlaybackStateMarksThePlayingRowAndReleasesStoppedOnes)
{
    TempFolder folder;
    Rename page;
    page.addList (pathsIn (folder, { "Room.wav", "Overheads.wav", "Track 1.mp3" }));
    const auto outline = [&] (int row) { return page.nameEditors[row]->findColour (juce::TextEditor::outlineColourId); };

    page.playbackThread.onPlaybackStateChanged (2, true);
    EXPECT_EQ (outline (0), greyVekko);
    EXPECT_EQ (outline (1), greyVekko);
    EXPECT_EQ (outline (2), greenVekko);

    page.playButtons[2]->setToggleState (true, juce::dontSendNotification);
    page.playbackThread.onPlaybackStateChanged (2, false);
    EXPECT_FALSE (page.playButtons[2]->getToggleState());
    EXPECT_EQ (outline (2), greyVekko);

    // Notices for rows that no longer exist touch only the rows that do.
    page.playbackThread.onPlaybackStateChanged (1, true);
    page.playbackThread.onPlaybackStateChanged (3, true);
    page.playbackThread.onPlaybackStateChanged (5, false);
    EXPECT_EQ (outline (1), greyVekko);
}

TEST (RenamePageFrame, SeekWithoutACurrentRowMovesNothing)
{
    Rename page;
    page.progressBar.setSize (200, 30);
    page.progressBar.setProgress (0.0, 60.0, true);
    ASSERT_TRUE (page.progressBar.onSeek != nullptr);
    page.progressBar.onSeek (30.0);
    EXPECT_EQ (page.playbackThread.getCurrentPositionSeconds(), 0.0);
}
