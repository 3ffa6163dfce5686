#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

#include "preview/AudioPlaybackThread.h"

#include <map>
#include <string>
#include <vector>

// The rename page: one row per listed audio file with its suggested new name.
// Everything here runs on the message thread.
class Rename final : public juce::Component,
                     private juce::Timer
{
public:
    Rename();
    ~Rename() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Takes a batch of paths: lists the audio files among them with a suggested name.
    void addList (const juce::StringArray& files);
    // Removes every row; the suggestion counters keep their values.
    void clearList();
    // Hands over the main component's audio output and starts the preview thread.
    void setAudioOutput (juce::MixerAudioSource* mixerToUse, juce::AudioDeviceManager* deviceManagerToUse);
    // Ends the preview thread; the main component calls it before its mixer goes.
    void shutdownPreview();

    juce::ImageButton closeButton;
    juce::TextButton renameRulesButton;
    std::map<std::string, std::string> newNames;
    std::vector<std::string> filePaths;
    AudioPlaybackThread playbackThread;

private:
    void timerCallback() override;

    juce::MixerAudioSource* mixer = nullptr;
    juce::AudioDeviceManager* deviceManager = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rename)
};
