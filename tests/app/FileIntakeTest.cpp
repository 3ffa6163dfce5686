#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
const juce::String noAudioText ("No audio files found - Only WAV, MP3, FLAC, AIFF, OGG supported");

struct FileIntake : public ::testing::Test
{
    TempFolder folder;
    ShownMainComponent main;

    juce::StringArray wavs (std::initializer_list<const char*> names)
    {
        juce::StringArray paths;
        for (auto* n : names)
            paths.add (writeWav (folder / n).getFullPathName());
        return paths;
    }

    void drop (const juce::StringArray& paths) { main->filesDropped (paths, 10, 10); }
    juce::String status() const { return main->statusLabel.getText(); }
};
} // namespace

TEST_F (FileIntake, TheTimerTakesADropWithinItsPeriod)
{
    const auto files = wavs ({ "Kick 01.wav" });
    drop (files);
    EXPECT_TRUE (pumpUntil ([&] { return main->dropTarget.pendingFiles.isEmpty(); }, 2000));
    EXPECT_EQ (main->acceptedFiles, files);
}

TEST_F (FileIntake, ADropReplacesWhatWaitsAndAnOpenResultAppends)
{
    main->stopTimer();
    const auto first = wavs ({ "a.wav", "b.wav" });
    const auto second = wavs ({ "c.wav" });
    const auto chosen = wavs ({ "d.wav", "e.wav" });

    // Two drops within one period: only the second counts.
    drop (first);
    drop (second);
    main->timerCallback();
    EXPECT_EQ (main->acceptedFiles, second);
    EXPECT_TRUE (main->dropTarget.pendingFiles.isEmpty());

    // A drop and then an OPEN result: both, the drop first.
    drop (first);
    main->openDialogClosed ({ juce::File (chosen[0]), juce::File (chosen[1]) });
    EXPECT_EQ (status(), "Loading 2 selected file(s)...");
    main->timerCallback();
    auto expected = first;
    expected.addArray (chosen);
    EXPECT_EQ (main->acceptedFiles, expected);

    // An OPEN result and then a drop: the drop replaces the chosen files.
    main->openDialogClosed ({ juce::File (chosen[0]) });
    drop (second);
    main->timerCallback();
    EXPECT_EQ (main->acceptedFiles, second);
}

TEST_F (FileIntake, OpenRefusesDropsUntilItsDialogCloses)
{
    main->openClicked();
    EXPECT_FALSE (main->isInterestedInFileDrag ({ "/x.wav" }));
    main->fileChooser.reset(); // closes the dialog without a result

    main->dropTarget.pendingFiles = { "/waiting.wav" };
    main->openDialogClosed ({});
    EXPECT_EQ (status(), "No files selected");
    EXPECT_EQ (main->dropTarget.pendingFiles, juce::StringArray ({ "/waiting.wav" }));
    EXPECT_TRUE (main->isInterestedInFileDrag ({ "/x.wav" }));
}

TEST_F (FileIntake, ADialogThatClosesAfterTheHomePageWasLeftKeepsDropsRefused)
{
    main->openClicked();
    main->fileChooser.reset();
    main->rulesClicked();

    const auto chosen = wavs ({ "late.wav" });
    main->openDialogClosed ({ juce::File (chosen[0]) });
    EXPECT_FALSE (main->dropTarget.acceptFiles);
    // What the user chose is still taken in.
    EXPECT_EQ (main->dropTarget.pendingFiles, chosen);
}

TEST_F (FileIntake, StatusLineReportsTheRenamePagesCount)
{
    main->stopTimer();
    const auto notes = pathsOf ({ writeText (folder / "notes.txt"), writeText (folder / "cover.jpg") });

    // Nothing audio on an empty rename page.
    drop (notes);
    main->timerCallback();
    EXPECT_EQ (status(), noAudioText);

    // Nothing audio while the rename page already lists files: its unchanged count.
    listOnRenamePage (*main, { "/music/one.wav", "/music/two.wav", "/music/three.wav" });
    drop (notes);
    main->timerCallback();
    EXPECT_EQ (status(), "3 audio files loaded - Click RENAME to edit names");
}

TEST_F (FileIntake, ARowRemovedOnTheISRCPanelIsReportedAtTheNextTick)
{
    main->stopTimer();
    auto files = wavs ({ "Kick.wav", "Snare.wav" });
    files.add (writeText (folder / "notes.txt").getFullPathName());
    drop (files);
    main->timerCallback();
    ASSERT_EQ (main->isrcList.filePaths.size(), 2u) << "the panel takes the WAV files";

    main->isrcList.removeRow (main->isrcList.filePaths[0]);
    EXPECT_TRUE (main->isrcList.listChanged);

    // Nothing else reports the removal; the rename page keeps its rows.
    main->timerCallback();
    EXPECT_EQ (status(), "2 audio files ready - Click RENAME to edit names");
    EXPECT_FALSE (main->isrcList.listChanged);

    main->clearClicked();
    EXPECT_TRUE (main->isrcList.filePaths.empty());
    EXPECT_TRUE (main->isrcList.isrcByFile.empty());
}

TEST_F (FileIntake, TheSameFilesTwiceKeepTheCount)
{
    main->stopTimer();
    const auto files = wavs ({ "Snare.wav", "Bass DI.wav" });

    drop (files);
    main->timerCallback();
    const auto countAfterFirst = main->renamePage.filePaths.size();
    const auto statusAfterFirst = status();

    drop (files);
    main->timerCallback();
    EXPECT_EQ (main->renamePage.filePaths.size(), countAfterFirst);
    EXPECT_EQ (status(), statusAfterFirst);
}

TEST_F (FileIntake, TicksWhileHiddenKeepTheFilesWaiting)
{
    main->stopTimer();
    const auto files = wavs ({ "Vocals.wav" });
    main->setVisible (false);
    drop (files);
    main->timerCallback();
    EXPECT_EQ (main->dropTarget.pendingFiles, files);
    EXPECT_TRUE (main->acceptedFiles.isEmpty());
    EXPECT_EQ (status(), "DRAG & DROP audio files !");

    main->setVisible (true);
    main->timerCallback();
    EXPECT_EQ (main->acceptedFiles, files);
}

TEST_F (FileIntake, DropTargetHighlightsOnlyWhileAnAcceptedDragIsOver)
{
    auto& target = main->dropTarget;
    auto snapshot = [&] { return target.createComponentSnapshot (target.getLocalBounds(), true, 1.0f); };
    const auto centre = target.getLocalBounds().getCentre();

    main->fileDragEnter ({ "/x.wav" }, centre.x, centre.y);
    auto image = snapshot();
    // A 12-pixel frame along the edge, a faint wash inside.
    EXPECT_EQ (image.getPixelAt (5, centre.y), juce::Colour (0xFFD2D3D3));
    EXPECT_EQ (image.getPixelAt (centre.x, 5), juce::Colour (0xFFD2D3D3));
    EXPECT_EQ (image.getPixelAt (centre.x, centre.y).getAlpha(), 0x0F);

    main->fileDragExit ({ "/x.wav" });
    image = snapshot();
    EXPECT_EQ (image.getPixelAt (5, centre.y).getAlpha(), 0);

    main->fileDragEnter ({ "/x.wav" }, centre.x, centre.y);
    main->filesDropped ({ "/x.wav" }, centre.x, centre.y);
    EXPECT_FALSE (target.draggingOver);
    EXPECT_EQ (target.pendingFiles, juce::StringArray ({ "/x.wav" }));
}
