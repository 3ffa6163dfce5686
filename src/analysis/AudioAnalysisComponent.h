#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The loudness panel. Runs on the message thread; its measuring thread is its own.
class AudioAnalysisComponent final : public juce::Component,
                                     private juce::Timer
{
public:
    AudioAnalysisComponent();
    ~AudioAnalysisComponent() override;

    void addList (const juce::StringArray& files);
    void startBackgroundAnalysis();
    void clearList();

    // Asks the measuring thread to end and waits for it (up to timeoutMs).
    void stopAnalysis (int timeoutMs);
    bool isAnalysing() const;

private:
    void timerCallback() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioAnalysisComponent)
};
