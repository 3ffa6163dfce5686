#include "rename/Rename.h"

Rename::Rename()
{
    renameRulesButton.setButtonText ("RULES");
    addAndMakeVisible (closeButton);
    addAndMakeVisible (renameRulesButton);
    startTimer (33);
}

Rename::~Rename()
{
    stopTimer();
}

void Rename::paint (juce::Graphics&) {}

void Rename::resized() {}

void Rename::addList (const juce::StringArray&) {}

void Rename::clearList()
{
    playbackThread.stopPlayback();
    newNames.clear();
    filePaths.clear();
}

void Rename::setAudioOutput (juce::MixerAudioSource* mixerToUse, juce::AudioDeviceManager* deviceManagerToUse)
{
    mixer = mixerToUse;
    deviceManager = deviceManagerToUse;
    playbackThread.mixer = mixer;
    playbackThread.deviceManager = deviceManager;

    if (mixer != nullptr && deviceManager != nullptr && ! playbackThread.isThreadRunning())
        playbackThread.startThread();
}

void Rename::shutdownPreview()
{
    playbackThread.shutdown();
}

void Rename::timerCallback() {}
