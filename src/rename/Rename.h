#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

#include "preview/AudioPlaybackThread.h"
#include "preview/AudioProgressBar.h"
#include "rename/FileIdentity.h"
#include "rename/RenameRow.h"
#include "rename/RenameRule.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The rename page: one row per listed audio file (present name, editable new name, play and
// remove buttons), the waveform and status bar with its pause button, RULES, GO RENAME and close.
// The files and their names live in filePaths and newNames; widgets exist only for the rows in view
// (RenameRow, handed out in RenameRowsInView.cpp), so ten thousand files cost a screenful of widgets.
// Handlers, order and removal are in RenameRows.cpp; the frame lives in Rename.cpp.
//
// Threads: everything runs on the message thread. The preview thread's state notices arrive
// there as posted messages; the 33 ms timer polls the preview through the thread's accessors.
class Rename final : public juce::Component,
                     private juce::Timer
{
public:
    static constexpr int kPlaybackPollMs = 33;

    Rename();
    ~Rename() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    // Takes a batch of paths (their bytes, UTF-8 or not): lists the audio files among them with a
    // suggested name, sorts the rows and lays them out. Paths already listed are skipped. A batch
    // given in slices says that more is to come with all but its last slice: the rows are then
    // sorted, laid out and counted once, after the last.
    void addList (const std::vector<std::string>& files, bool moreToCome = false);
    // Removes every row; the suggestion counters keep their values.
    void clearList();
    // Hands over the main component's audio output and starts the preview thread.
    void setAudioOutput (juce::MixerAudioSource* mixerToUse, juce::AudioDeviceManager* deviceManagerToUse);
    // Ends the preview thread; the main component calls it before its mixer goes.
    void shutdownPreview();

    // The part of path after its last folder separator, or the whole path.
    static std::string extractFileName (const std::string& path);

    void setupNameEditor (juce::TextEditor* editor, const std::string& path);
    juce::String ensureUniqueName (const juce::String& desiredName, const std::string& path) const;
    void sortByNewNames();
    void rebuildDisplayOrder();
    void removeItem (const std::string& path);

    int getRuleCount() const noexcept { return (int) renameRules.size(); }

    // The row widgets now showing row `row` of filePaths, or null when that row is out of view.
    RenameRow* rowInView (int row) const;
    // Scrolls the list so that the row is in sight (the rows near it get their widgets).
    void scrollToRow (int row);

    // Members are public so that the tests can drive the page as a user would; the declaration
    // order is the construction order.
    juce::ImageButton closeButton;
    juce::TextButton renameRulesButton;
    std::map<std::string, std::string> newNames;
    std::vector<std::string> filePaths;
    // What intake took at each listed path; GO RENAME renames only those files.
    FileIdentities fileIdentities;
    AudioPlaybackThread playbackThread;

private:
    std::vector<RenameRule> renameRules;
    juce::MixerAudioSource* mixer = nullptr;
    juce::AudioDeviceManager* deviceManager = nullptr;
    juce::Image removeIcon;
    juce::Image removeOverIcon;
    juce::Image playIcon;
    juce::Image pauseIcon;

    PressCount goRenamePresses;

public:
    juce::TextButton goRenameButton;
    RowsViewport viewport;
    juce::Component content;
    // The widgets of the rows in view (and of the row holding the keyboard focus), children of
    // content; spare ones are hidden.
    RowsInView<RenameRow> rowsInView { [this] { return makeRow(); } };
    AudioProgressBar progressBar;
    juce::ImageButton pauseButton;

private:
    // The preview as the page knows it. The player reports back the number it was given with each
    // play request; every request gets a new number, so a report names its file whatever sorting
    // or removals did to the rows meanwhile.
    int lastPreviewNumber = -1;
    int previewNumber = -1;      // the last play request, until the player reports its end
    std::string previewPath;     // its file: the one play toggle that is on
    int playingNumber = -1;      // the request the player reports playing
    std::string playingPath;     // its file: the green outline

    RenameRow::Columns columns;

    void timerCallback() override;

    void setStatus (const juce::String& text);
    juce::String readyCountText() const;
    void loadIcons();

    // The row of a listed path, or -1.
    int rowOf (const std::string& path) const;
    int rowTop (int row) const noexcept { return (int) (0.9 * (double) (row * columns.unit)); }
    std::unique_ptr<RenameRow> makeRow();
    void showRowsInView (bool rewriteTexts);
    void showFileInRow (RenameRow& row);
    void placeRow (RenameRow& row);
    void showPreviewState (RenameRow& row) const;
    void showPreviewStateOfRows();
    // Stops the preview from the page: no toggle stays on and the bar leaves preview mode at once.
    void stopPreview();
    void rowsFollowTheirFiles();
    void keepRowInSight (int row);
    int nextPreviewNumber();
    void forgetPreview();
    void releaseFocusFromRows();
    void leaveNameField();
    juce::String shownName (const std::string& path) const;

    void nameTextChanged (std::string path, juce::TextEditor& editor);
    void nameReturnPressed (juce::TextEditor& editor);
    void nameFieldLeft (std::string path, juce::TextEditor& editor);
    void playToggled (std::string path);
    void removeClicked (std::string path);

    void pauseClicked();
    void seekRequested (double seconds);
    void playbackStateChanged (int previewNumberReported, bool playing);
    void goRename();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rename)
};
