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

    // Also a file-drop target that hands every drag on to its content: where the window manager
    // imposes another ratio, the content stands centred with bare window around it, and a drop there
    // must not be refused.
    class MainWindow final : public juce::DocumentWindow,
                             public juce::FileDragAndDropTarget
    {
    public:
        MainWindow (const juce::String& name, juce::Colour backgroundColour);
        ~MainWindow() override = default;

        void closeButtonPressed() override;
        void resized() override;
        void moved() override;

        bool isInterestedInFileDrag (const juce::StringArray& files) override;
        void fileDragEnter (const juce::StringArray& files, int x, int y) override;
        void fileDragMove (const juce::StringArray& files, int x, int y) override;
        void fileDragExit (const juce::StringArray& files) override;
        void filesDropped (const juce::StringArray& files, int x, int y) override;

    private:
        void keepContentLimits();
        juce::FileDragAndDropTarget* contentTarget() const;
        juce::Point<int> toContent (int x, int y) const;
        juce::BorderSize<int> limitsFrame;

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    std::unique_ptr<MainWindow> mainWindow;
};
