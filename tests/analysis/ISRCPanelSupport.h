#pragma once

#include "analysis/ISRCListComponent.h"
#include "analysis/WavFileSupport.h"

#include <gtest/gtest.h>

namespace tarsio::test
{
// A panel and a folder of WAV files to feed it; the panel goes before the test ends.
struct ISRCPanel : public ::testing::Test
{
    TempFolder folder;
    std::unique_ptr<ISRCListComponent> panel = std::make_unique<ISRCListComponent>();

    ~ISRCPanel() override
    {
        panel.reset();
        pumpMessages (10);
    }

    juce::String pathOf (const juce::File& file) const { return file.getFullPathName(); }

    // Adds the files as the intake timer does, one list per call.
    void add (std::initializer_list<juce::File> files)
    {
        juce::StringArray paths;
        for (const auto& f : files)
            paths.add (f.getFullPathName());
        panel->addList (paths);
    }

    int rowOf (const juce::File& file) const
    {
        const auto& paths = panel->filePaths;
        const auto it = std::find (paths.begin(), paths.end(), file.getFullPathName().toStdString());
        return it == paths.end() ? -1 : (int) std::distance (paths.begin(), it);
    }

    juce::String formatOf (const juce::File& file) const { return panel->formatLabels[rowOf (file)]->getText(); }
    juce::TextEditor& editorOf (const juce::File& file) const { return *panel->isrcEditors[rowOf (file)]; }
    std::string storedIsrcOf (const juce::File& file) const
    {
        return panel->isrcByFile.at (file.getFullPathName().toStdString());
    }

    // A click on the row's remove button, delivered the way the button delivers it.
    void clickRemove (const juce::File& file)
    {
        panel->removeButtons[rowOf (file)]->triggerClick();
        pumpMessages (20);
    }
};
} // namespace tarsio::test
