// The rename page as a user drives it: a window, mouse clicks and typed keys through the window's
// peer, real files, the real preview player.
#include "rename/Rename.h"
#include "look/Palette.h"
#include "preview/PreviewTestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
struct ShownPage
{
    ShownPage() { page.setBounds (100, 100, 860, 587); page.addToDesktop (juce::ComponentPeer::windowHasTitleBar); page.setVisible (true); }

    ~ShownPage() { page.removeFromDesktop(); pumpMessages (20); }

    // Makes the files (each holding its own name) and takes them in.
    juce::StringArray take (std::initializer_list<const char*> names, double toneSeconds = 0.0)
    {
        juce::StringArray paths;
        for (auto* name : names)
        {
            const auto file = folder / name;
            if (toneSeconds > 0.0)
                writeAudioFile (file, AudioFileType::wav, 1, 44100.0, (juce::int64) (toneSeconds * 44100.0),
                                [] (int, juce::int64 f) { return sine441 (f, 0.5f); });
            else
                file.replaceWithText ("of " + file.getFileName());
            paths.add (file.getFullPathName());
        }
        page.addList (tarsio::test::bytesOf (paths));
        return paths;
    }

    int index (const juce::String& path) const
    {
        const auto it = std::find (page.filePaths.begin(), page.filePaths.end(), path.toStdString());
        return it == page.filePaths.end() ? -1 : (int) std::distance (page.filePaths.begin(), it);
    }

    RenameRow& row (const juce::String& path) { page.scrollToRow (index (path)); return *page.rowInView (index (path)); }

    // A left click at the component's centre (presses 100 ms apart: a double-click). Clicks are a
    // second apart, never one double-click. The window system focuses only the active window.
    void click (juce::Component& target, int presses = 1)
    {
        auto* peer = page.getPeer();
        for (int attempt = 0; attempt < 150 && ! peer->isFocused(); ++attempt)
            page.toFront (true), pumpUntil ([peer] { return peer->isFocused(); }, 200);
        const auto start = clickTime = juce::jmax (clickTime + 1000, juce::Time::currentTimeMillis());
        clickTime += 100 * presses;
        for (int press = 0; press < presses; ++press)
            pressAndRelease (page, target, start + 100 * press);
        pumpMessages (20);
    }

    // Ctrl+A and Delete empty the field, then the keys as typed: "\t" is Tab and "\n" Return.
    void type (const juce::String& text)
    {
        auto* peer = page.getPeer();
        peer->handleKeyPress (juce::KeyPress ('a', juce::ModifierKeys::ctrlModifier, 0));
        peer->handleKeyPress (juce::KeyPress (juce::KeyPress::deleteKey));
        for (auto c : text)
            peer->handleKeyPress (juce::KeyPress (c == '\t' ? juce::KeyPress::tabKey : c == '\n' ? juce::KeyPress::returnKey
                                                  : (int) juce::CharacterFunctions::toUpperCase (c), {}, c));
        pumpMessages (30);   // text changes and focus losses arrive as messages
    }

    // The files whose play toggle is on, then "|" and those outlined green.
    juce::String marked() const
    {
        juce::StringArray toggled, outlined;
        for (const auto& row : page.rowsInView)
            for (auto [list, on] : { std::pair (&toggled, row->playButton.getToggleState()),
                                     std::pair (&outlined, row->nameEditor.findColour (juce::TextEditor::outlineColourId) == greenVekko) })
                if (row->isVisible() && on)
                    list->add (row->nameLabel.getText());
        return toggled.joinIntoString (",") + "|" + outlined.joinIntoString (",");
    }

    TempFolder folder;
    Rename page;
    juce::int64 clickTime = 0;
};
} // namespace

TEST (RenamePage, IntakeSuggestsSortsAndKeepsCountingAfterAClear)
{
    ShownPage shown;
    shown.take ({ "Kick_01.wav", "SNARE TOP.WAV", "photo.jpg", "Kick In.aif", "Kick_01.wav", ".ogg" });
    EXPECT_EQ (shown.page.progressBar.getText(), "Ready - 4 files with suggestions - Edit names and click GO RENAME");
    juce::StringArray rows;   // an empty name shows the file name
    for (int i = 0; i < 4; ++i)
        rows.add (shown.page.rowInView (i)->nameLabel.getText() + " " + shown.page.rowInView (i)->nameEditor.getText());
    EXPECT_EQ (rows.joinIntoString ("|"), ".ogg .ogg|Kick_01.wav Kick1|Kick In.aif Kick2|SNARE TOP.WAV Snare1");
    shown.page.clearList();
    EXPECT_EQ (shown.page.rowInView (0), nullptr);
    EXPECT_EQ (shown.page.newNames.at (shown.take ({ "Kick_01.wav" })[0].toStdString()), "Kick3");
}

// Leaving a field re-sorts the rows: the field the user clicked, and what is typed next, stay with
// the file it was clicked for, also when an intake moves that file out of sight.
TEST (RenamePage, ANameTypedAfterClickingAFieldLandsOnThatFile)
{
    ShownPage shown;
    const auto paths = shown.take ({ "Bass.wav", "Kick Out.wav", "Room.wav", "Snare.wav" });   // Bass1, Kick1, Room, Snare1

    shown.click (shown.row (paths[0]).nameEditor);
    shown.type ("zzz");
    shown.click (shown.row (paths[1]).nameEditor);   // Bass sorts last: Kick Out moves up a row
    shown.type ("MYNAME\t");                         // Tab leaves the field too, for the next name field
    EXPECT_NE (dynamic_cast<juce::TextEditor*> (juce::Component::getCurrentlyFocusedComponent()), nullptr);
    shown.click (shown.row (paths[3]).nameEditor);
    shown.type ("MYNAME\n");                         // Return confirms and leaves; a duplicate is adjusted
    EXPECT_EQ (shown.page.progressBar.getText(), "Name adjusted to avoid duplicate: MYNAME_2");

    shown.click (shown.row (paths[2]).nameEditor);
    juce::StringArray many;
    for (int i = 0; i < 200; ++i)
        many.add ((shown.folder / ("Ambience " + juce::String (i) + ".wav")).getFullPathName());
    shown.page.addList (tarsio::test::bytesOf (many));   // they sort before Room
    auto* room = shown.page.rowInView (shown.index (paths[2]));
    ASSERT_NE (room, nullptr);
    EXPECT_TRUE (shown.page.viewport.getViewArea().contains (room->getBounds().reduced (0, 2)));
    room->nameEditor.selectAll();   // pasted: control characters are dropped as the field is left
    room->nameEditor.insertTextAtCaret (juce::String::fromUTF8 ("Amb\x1bi\tence\xc2\x85\xe2\x80\xa8"));
    room->nameEditor.giveAwayKeyboardFocus();
    pumpMessages (30);
    EXPECT_EQ (shown.row (paths[2]).nameEditor.getText() + shown.page.newNames.at (paths[2].toStdString()), "AmbienceAmbience");

    shown.click (shown.page.goRenameButton);
    EXPECT_TRUE (shown.page.progressBar.getText().startsWith ("Complete: 4 files renamed"));
    const char* const onDisk[][2] = { { "zzz.wav", "of Bass.wav" }, { "MYNAME.wav", "of Kick Out.wav" },
                                      { "Ambience.wav", "of Room.wav" }, { "MYNAME_2.wav", "of Snare.wav" } };
    for (const auto& [name, content] : onDisk)
        EXPECT_EQ ((shown.folder / name).loadFileAsString(), content) << name;
}

// A field that is not being typed in shows the start of its name, not its end cut through a letter.
TEST (RenamePage, AFieldLeftShowsTheStartOfALongName)
{
    ShownPage shown;
    const auto paths = shown.take ({ "Snare.wav" });
    shown.click (shown.row (paths[0]).nameEditor);
    shown.type ("Typed name far longer than its field, as the names of samples often are, ending here\n");
    auto& field = shown.row (paths[0]).nameEditor;
    EXPECT_EQ (field.getTextIndexAt (field.getLeftIndent() + 1, field.getHeight() / 2), 0);
}

// A paste of any size into a name field is cut to the field's 1,024 characters and cleaned as the
// field is left; GO RENAME then renames only the files that intake took: one replaced by another
// file since is left alone.
TEST (RenamePage, AHugePasteIsCutToTheFieldAndAFileReplacedSinceIntakeIsLeftAlone)
{
    ShownPage shown;
    const auto paths = shown.take ({ "Kick_01.wav", "Snare.wav" });
    (shown.folder / "new.wav").replaceWithText ("another file");
    ASSERT_TRUE ((shown.folder / "new.wav").moveFileTo (juce::File (paths[1])));

    shown.click (shown.row (paths[0]).nameEditor);
    juce::SystemClipboard::copyTextToClipboard ("Ki\tck" + juce::String::repeatedString ("x", 1000000));
    for (auto key : { juce::KeyPress ('a', juce::ModifierKeys::ctrlModifier, 0), juce::KeyPress ('v', juce::ModifierKeys::ctrlModifier, 0),
                      juce::KeyPress (juce::KeyPress::returnKey) })
        shown.page.getPeer()->handleKeyPress (key);
    pumpMessages (30);
    const auto kept = "Kick" + juce::String::repeatedString ("x", 1019);
    EXPECT_EQ (shown.row (paths[0]).nameEditor.getText(), kept);
    EXPECT_EQ (shown.page.newNames.at (paths[0].toStdString()), kept.toStdString());

    shown.click (shown.page.goRenameButton);   // a name too long for any file system fails for its row
    EXPECT_EQ (shown.page.progressBar.getText(), "No files were renamed");
    EXPECT_EQ (juce::File (paths[0]).loadFileAsString() + "|" + juce::File (paths[1]).loadFileAsString(), "of Kick_01.wav|another file");
}

// A double-click removes one file: its second press lands on the next file, moved up under the pointer.
TEST (RenamePage, EachRemoveButtonRemovesItsOwnFile)
{
    ShownPage shown;
    shown.take ({ "A.wav", "B.wav", "C.wav", "D.wav", "E.wav" });
    shown.click (shown.page.rowInView (3)->nameEditor);

    for (int left = 5, presses = 2; left > 0; presses = 1)
    {
        const auto removed = shown.page.filePaths[shown.page.filePaths.size() > 1 ? 1 : 0];
        shown.click (shown.row (removed).removeButton, presses);
        ASSERT_EQ ((int) shown.page.filePaths.size(), --left);
        EXPECT_TRUE (shown.index (removed) == -1 && shown.page.newNames.count (removed) == 0);
        EXPECT_EQ (shown.page.progressBar.getText(), juce::String (shown.page.filePaths.size()) + " files remaining");
        EXPECT_FALSE (shown.page.content.hasKeyboardFocus (true));
    }
}

// Without an audio device a preview never ends, so the rows can be sorted and removed meanwhile.
TEST (RenamePagePlayer, ToggleAndOutlineMarkThePreviewedFileOnly)
{
    juce::MixerAudioSource mixer;
    juce::AudioDeviceManager deviceManager;
    ShownPage shown;
    shown.page.setAudioOutput (&mixer, &deviceManager);
    const auto paths = shown.take ({ "A.wav", "B.wav", "C.wav", "D.wav" }, 0.5);
    const auto marks = [&] (const char* expected) { return pumpUntil ([&] { return shown.marked() == expected; }); };

    shown.click (shown.row (paths[2]).playButton);
    EXPECT_TRUE (marks ("C.wav|C.wav"));
    EXPECT_FALSE (shown.page.content.hasKeyboardFocus (true)) << "a key pressed now would change a name unseen";
    shown.click (shown.row (paths[0]).nameEditor);
    shown.type ("zzz\n");   // A sorts last: C moves up a row
    EXPECT_TRUE (marks ("C.wav|C.wav"));
    shown.click (shown.row (paths[1]).removeButton);   // a removal stops the preview
    EXPECT_TRUE (marks ("|"));

    shown.click (shown.row (paths[3]).playButton);
    EXPECT_TRUE (marks ("D.wav|D.wav"));
    ASSERT_TRUE (juce::File (paths[2]).deleteFile());
    shown.click (shown.row (paths[2]).playButton);
    EXPECT_EQ (shown.page.progressBar.getText(), "Error: File not found - C.wav");
    EXPECT_TRUE (marks ("|"));
    EXPECT_TRUE (pumpUntil ([&] { return shown.page.playbackThread.currentRow.load() == -1; }));

    // A file that no reader takes: its toggle goes off and the bar does not stay on "Loading".
    juce::File (paths[3]).replaceWithText ("not audio");
    shown.click (shown.row (paths[3]).playButton);
    EXPECT_TRUE (marks ("|"));
    const juce::String ready ("3 files ready for renaming - Click GO RENAME !");
    EXPECT_TRUE (pumpUntil ([&] { return shown.page.progressBar.getText() == ready; }));
    pumpMessages (200);
    EXPECT_EQ (shown.page.progressBar.getText(), ready);
}

// The buttons above the list show no focus and take none: a Return pressed after a click on one of
// them, or after a removal while typing, runs none of them again, nor does a double-click run GO
// RENAME twice. GO RENAME takes the name being typed as leaving its field would.
TEST (RenamePagePlayer, AReturnOrADoubleClickRunsTheButtonsAboveTheListNoMoreThanOnce)
{
    juce::MixerAudioSource mixer;
    juce::AudioDeviceManager deviceManager;
    ShownPage shown;
    shown.page.setAudioOutput (&mixer, &deviceManager);
    int pageLeft = 0;
    shown.page.closeButton.onClick = shown.page.renameRulesButton.onClick = [&] { ++pageLeft; };
    const auto paths = shown.take ({ "Kick_01.wav", "Room.wav", "Snare.wav" }, 0.5);
    const auto pressReturn = [&] { shown.page.getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey)); pumpMessages (30); };

    shown.click (shown.row (paths[1]).playButton);
    ASSERT_TRUE (pumpUntil ([&] { return shown.page.progressBar.isPreviewActive(); }));
    shown.click (shown.page.pauseButton);
    ASSERT_TRUE (pumpUntil ([&] { return ! shown.page.pauseButton.isVisible(); }));
    pressReturn();
    shown.click (shown.row (paths[1]).nameEditor);
    shown.type ("Room Mic");
    shown.click (shown.row (paths[0]).removeButton);
    pressReturn();
    EXPECT_EQ (pageLeft, 0);

    shown.click (shown.row (paths[2]).nameEditor);
    shown.type ("Room Mic");
    shown.click (shown.page.goRenameButton, 2);
    const juce::String complete ("Complete: 2 files renamed - History saved to Tarsio.txt");
    EXPECT_EQ (shown.page.progressBar.getText(), complete);
    pressReturn();
    EXPECT_EQ (shown.page.progressBar.getText(), complete);
    EXPECT_TRUE ((shown.folder / "Room Mic_2.wav").existsAsFile() && ! (shown.folder / "Tarsio_2.txt").exists());
}

// The page's audio chain with a consumer that the test drives: nothing is heard until the test
// pulls a block, so a preview is still playing whenever the test looks, and ends only when pulled
// to its end. No device is opened.
struct PulledOutput
{
    PulledOutput() { mixer.prepareToPlay (1024, 44100.0); }

    // The first sample of the next blocks heard.
    float pull (int blocks = 1)
    {
        juce::AudioBuffer<float> heard (2, 1024 * blocks);
        mixer.getNextAudioBlock ({ &heard, 0, heard.getNumSamples() });
        return heard.getSample (0, 0);
    }

    juce::MixerAudioSource mixer;
    juce::AudioDeviceManager deviceManager;
};

TEST (RenamePagePlayback, PauseAndAPreviewThatPlaysToItsEnd)
{
    PulledOutput output;
    ShownPage shown;
    shown.page.setAudioOutput (&output.mixer, &output.deviceManager);
    const auto paths = shown.take ({ "Kick_01.wav" }, 8.0);
    auto& bar = shown.page.progressBar;
    const juce::String ready ("1 files ready for renaming - Click GO RENAME !");

    shown.click (shown.row (paths[0]).playButton);
    ASSERT_TRUE (pumpUntil ([&] { return bar.isPreviewActive(); }));
    shown.click (shown.page.pauseButton);
    EXPECT_TRUE (pumpUntil ([&] { return ! shown.page.pauseButton.isVisible() && shown.marked() == "|" && bar.getText() == ready; }));

    // A preview that plays to its end leaves the ready count, not its last play time, on the bar.
    shown.click (shown.row (paths[0]).playButton);
    ASSERT_TRUE (pumpUntil ([&] { return bar.isPreviewActive(); }));
    EXPECT_TRUE (pumpUntil ([&] { output.pull (50); return bar.getText() == ready && shown.marked() == "|"; }));
}

// A click at the middle of the bar moves the preview of an 8 s file to 4 s: a ramp from 0 to 0.5,
// normalised, is heard at 0.5 there.
TEST (RenamePagePlayback, AClickOnTheWaveformPlaysFromThere)
{
    PulledOutput output;
    ShownPage shown;
    shown.page.setAudioOutput (&output.mixer, &output.deviceManager);
    const auto ramp = writeAudioFile (shown.folder / "Ramp.wav", AudioFileType::wav, 1, 44100.0, 8 * 44100,
                                      [] (int, juce::int64 f) { return (float) f / (16.0f * 44100.0f); });
    shown.page.addList ({ ramp.getFullPathName().toStdString() });

    shown.click (shown.row (ramp.getFullPathName()).playButton);
    ASSERT_TRUE (pumpUntil ([&] { return shown.page.progressBar.isPreviewActive(); }));
    shown.click (shown.page.progressBar);
    EXPECT_NEAR (output.pull(), 0.5f, 0.01f);
}
