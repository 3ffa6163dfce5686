#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <string>
#include <vector>

// The ISRC panel: one row per WAV file. Runs on the message thread.
class ISRCListComponent final : public juce::Component
{
public:
    ISRCListComponent();
    ~ISRCListComponent() override;

    void addList (const juce::StringArray& files);
    // Empties every row; listChanged keeps its value.
    void clearRows();

    bool listChanged = false;

private:
    juce::Component content;
    juce::OwnedArray<juce::Label> nameLabels;
    juce::OwnedArray<juce::Label> formatLabels;
    juce::OwnedArray<juce::TextEditor> isrcEditors;
    juce::OwnedArray<juce::Button> removeButtons;
    std::map<std::string, std::string> isrcByFile;
    std::vector<std::string> filePaths;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ISRCListComponent)
};
