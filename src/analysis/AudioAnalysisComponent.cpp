#include "analysis/AudioAnalysisComponent.h"

AudioAnalysisComponent::AudioAnalysisComponent()
{
    startTimer (200);
}

AudioAnalysisComponent::~AudioAnalysisComponent()
{
    stopTimer();
}

void AudioAnalysisComponent::addList (const juce::StringArray&) {}

void AudioAnalysisComponent::startBackgroundAnalysis() {}

void AudioAnalysisComponent::clearList() {}

void AudioAnalysisComponent::stopAnalysis (int) {}

bool AudioAnalysisComponent::isAnalysing() const { return false; }

void AudioAnalysisComponent::timerCallback() {}
