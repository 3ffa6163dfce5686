#pragma once

#include "app/FileDragRelay.h"

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

    // Also a file-drop target that hands every drag on to its content: where the window manager
    // imposes another ratio, the content stands centred with bare window around it, and a drop there
    // must not be refused.
    class MainWindow final : public juce::DocumentWindow,
                             public FileDragRelay
    {
    public:
        MainWindow (const juce::String& name, juce::Colour backgroundColour);
        ~MainWindow() override = default;

        void closeButtonPressed() override;
        void resized() override;
        void moved() override;

    private:
        void keepContentLimits();
        juce::Component* relayComponent() override { return getContentComponent(); }
        juce::BorderSize<int> limitsFrame;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    std::unique_ptr<MainWindow> mainWindow;
};
