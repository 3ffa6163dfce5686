#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "analysis/AudioAnalysisComponent.h"
#include "analysis/ISRCListComponent.h"
#include "app/AspectLock.h"
#include "app/DragAndDropDemoTarget.h"
#include "app/FileDialog.h"
#include "app/FileDragRelay.h"
#include "look/Look.h"
#include "rename/Rename.h"
#include "rules/Rules.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The window's content: owns every page, the home page's widgets, the audio output and the
// file intake. Everything runs on the message thread except the three device callbacks, which
// only forward to the source player.
//
// It is also a file-drop target that hands every drag on to dropTarget: the framework looks for a
// target from the component under the mouse up through its parents, and the home page's buttons
// and labels lie above dropTarget, so without this a drop on them would be refused.
class MainComponent final : public juce::Component,
                            public juce::Timer,
                            public juce::AudioIODeviceCallback,
                            public FileDragRelay,
                            private juce::ComponentListener
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    void timerCallback() override;

    void audioDeviceIOCallbackWithContext (const float* const* inputChannelData, int numInputChannels,
                                           float* const* outputChannelData, int numOutputChannels,
                                           int numSamples,
                                           const juce::AudioIODeviceCallbackContext& context) override;
    void audioDeviceAboutToStart (juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;

    // Every file drag on the window goes to the drop target.
    juce::Component* relayComponent() override { return &dropTarget; }

    void setVisibleHomePage (bool visible);
    void createLabel (juce::Label& label, juce::String text);

    static constexpr int kIntakeIntervalMs = 200;
    static const juce::String welcomeText;
    static const char* const websiteAddress;

    // Members are public so that the tests can drive the window as a user would.
    ISRCListComponent isrcList;
    AudioAnalysisComponent analysisList;
    Rename renamePage;
    Rules rulesPage;
    // The regular files of the batch that the last intake handed to the pages, as bytes.
    std::vector<std::string> acceptedFiles;
    Look look;
    juce::Image logoImage;
    juce::ColourGradient backgroundGradient;
    juce::ColourGradient panelGradient;
    juce::ImageButton logoButton;
    juce::TextButton openButton;
    juce::TextButton rulesButton;
    juce::TextButton renameButton;
    juce::TextButton clearButton;
    std::array<juce::TextButton, 11> presetButtons;
    // Open the loudness and the ISRC panel over the whole window; each panel's X closes it.
    juce::TextButton loudnessButton;
    juce::TextButton isrcButton;
    juce::Label statusLabel;
    juce::Label welcomeLabel;
    juce::AudioDeviceManager deviceManager;
    juce::AudioSourcePlayer audioSourcePlayer;
    juce::MixerAudioSource mixer;
    std::unique_ptr<FileDialog> fileChooser;
    DragAndDropDemoTarget dropTarget;
    std::unique_ptr<juce::PropertiesFile> settingsFile;
    juce::Image backgroundTexture;
    struct { int width = 860, height = 587; } referenceSize;
    AspectLock aspectLock { referenceSize.width, referenceSize.height };

    void openClicked();
    // The OPEN dialog's result (the paths' bytes): an empty list means it was cancelled.
    void openDialogClosed (const std::vector<std::string>& chosenFiles);
    // True while a batch is still being handed to the pages.
    bool isTakingIn() const noexcept { return takingIn; }
    void renameClicked();
    void clearClicked();
    void rulesClicked();
    void logoClicked();
    void renamePageClosed();
    void renamePageRulesClicked();
    void rulesPageClosed();
    // Files dropped while a panel is open are taken in as on the home page and show up in it.
    void showPanel (juce::Component& panel);

    // The loudness-target toggles' states in settingsFile, under each target's key. No store is
    // created, so both return at once unless one has been set.
    void saveAllLufsStates();
    void restoreAllLufsStates();

    struct LoudnessTarget
    {
        const char* name;
        const char* settingsKey;
        const char* statusText; // nullptr: the toggle reports nothing
    };
    // In the order of presetButtons: Netflix to Streaming, then Custom.
    static const std::array<LoudnessTarget, 11> loudnessTargets;

private:
    // Step 1 of resized: true when the layout may run at the current size.
    bool keepAspect (juce::DocumentWindow& window);
    bool settingOwnSize = false;
    // The status text that the home page's status frame was last drawn for.
    juce::String framedStatusText;

    // A large batch goes to the pages a slice at a time, each slice sized to hold the window about
    // kIntakeSliceMs, the next one following at once after the window has had its turn.
    static constexpr double kIntakeSliceMs = 10.0;
    static constexpr size_t kFirstSliceFiles = 250;
    void takeInSlice();
    void finishIntake();
    // The home status after a batch: the count the rename page lists, or that it found none.
    void reportIntake();
    std::vector<std::string> intakeBatch;
    size_t intakeNext = 0;
    bool takingIn = false;
    bool intakeRowsSorted = false;
    size_t intakeSliceFiles = kFirstSliceFiles;
    struct SliceTimer final : public juce::Timer
    {
        std::function<void()> onTick;
        void timerCallback() override { onTick(); }
    } nextSlice;

    // The panels paint translucent over the home page: the target toggles in its margin and RENAME
    // would show through them, so they hide while a panel is open.
    void componentVisibilityChanged (juce::Component& panel) override;
    void showTargets (bool homePageShown);

    int renameFileCount() const { return (int) renamePage.filePaths.size(); }
    bool isHomePageShown() const { return welcomeLabel.isVisible(); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
