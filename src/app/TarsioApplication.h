#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The process's root: owns the one main window. Message thread only.
class TarsioApplication final : public juce::JUCEApplication
{
public:
    TarsioApplication() = default;
    ~TarsioApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    class MainWindow final : public juce::DocumentWindow
    {
    public:
        MainWindow (const juce::String& name, juce::Colour backgroundColour);
        ~MainWindow() override = default;

        void closeButtonPressed() override;
        void resized() override;
        void moved() override;

    private:
        void keepContentLimits();
        juce::BorderSize<int> limitsFrame;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    std::unique_ptr<MainWindow> mainWindow;
};
