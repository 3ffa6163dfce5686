#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

#include "look/RoundedLabels.h"
#include "preview/AudioPlaybackThread.h"
#include "preview/AudioProgressBar.h"
#include "rename/RenameRule.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// The rename page: one row per listed audio file (present name, editable new name, play and
// remove buttons), the waveform and status bar with its pause button, RULES, GO RENAME and close.
// Rows are made and rewritten in RenameRows.cpp; the frame lives in Rename.cpp.
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

    // Takes a batch of paths: lists the audio files among them with a suggested name, sorts the
    // rows and lays them out. Paths already listed are skipped.
    void addList (const juce::StringArray& files);
    // Removes every row; the suggestion counters keep their values.
    void clearList();
    // Hands over the main component's audio output and starts the preview thread.
    void setAudioOutput (juce::MixerAudioSource* mixerToUse, juce::AudioDeviceManager* deviceManagerToUse);
    // Ends the preview thread; the main component calls it before its mixer goes.
    void shutdownPreview();

    // The part of path after its last "/" or "\", or the whole path.
    static std::string extractFileName (const std::string& path);

    void setupNameEditor (juce::TextEditor* editor, const std::string& path);
    juce::String ensureUniqueName (const juce::String& desiredName, const std::string& path) const;
    void sortByNewNames();
    void rebuildDisplayOrder();
    void removeItem (const std::string& path);

    int getRuleCount() const noexcept { return (int) renameRules.size(); }

    // Members are public so that the tests can drive the page as a user would; the declaration
    // order is the construction order.
    juce::ImageButton closeButton;
    juce::TextButton renameRulesButton;
    std::map<std::string, std::string> newNames;
    std::vector<std::string> filePaths;
    AudioPlaybackThread playbackThread;

private:
    std::vector<RenameRule> renameRules;
    juce::MixerAudioSource* mixer = nullptr;
    juce::AudioDeviceManager* deviceManager = nullptr;
    juce::Image removeIcon;
    juce::Image removeOverIcon;
    juce::Image playIcon;
    juce::Image pauseIcon;

public:
    juce::TextButton goRenameButton;
    juce::Viewport viewport;
    juce::Component content;
    juce::OwnedArray<RoundedLabel> nameLabels;
    juce::OwnedArray<juce::TextEditor> nameEditors;
    std::vector<std::unique_ptr<juce::ImageButton>> playButtons;
    std::vector<std::unique_ptr<juce::ImageButton>> removeButtons;
    AudioProgressBar progressBar;
    juce::ImageButton pauseButton;

private:
    // The file of the last play request. Sorting moves files between rows while the player keeps
    // the row number it was given, so resuming goes by path.
    std::string previewPath;

    void timerCallback() override;

    void setStatus (const juce::String& text);
    juce::String readyCountText() const;
    void loadIcons();
    void setupIconButton (juce::ImageButton& button, const juce::Image& normal, const juce::Image& over,
                          const juce::Image& down);
    void layoutRows (int unit, int gap);

    void createRow (const std::string& path);
    void nameTextChanged (std::string path, juce::TextEditor& editor);
    void nameReturnPressed (juce::TextEditor& editor);
    void nameFieldLeft (std::string path, juce::TextEditor& editor);
    void playToggled (std::string path);
    void removeClicked (std::string path);

    void pauseClicked();
    void seekRequested (double seconds);
    void playbackStateChanged (int row, bool playing);
    void goRename();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rename)
};
