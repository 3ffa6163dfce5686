#pragma once

#include "app/DropReceiver.h"
#include "app/UriList.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <string>
#include <vector>

// The window-wide file-drop target. A drop replaces the pending list; the main component's intake
// timer takes it. Drops come through DropReceiver, their lists parsed by UriListParser off the
// message thread; sources that ignore its proxy come through JUCE's file-drag callbacks below.
// Message thread only.
class DragAndDropDemoTarget final : public juce::Component,
                                    public juce::FileDragAndDropTarget
{
public:
    DragAndDropDemoTarget();
    ~DragAndDropDemoTarget() override = default;

    void paint (juce::Graphics& g) override;
    void parentHierarchyChanged() override;

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragMove (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    static const juce::String dropTooLargeText;
    static const juce::String dropUnreadableText;

    // The paths' bytes as dropped or chosen: file names need not be UTF-8.
    std::vector<std::string> pendingFiles;
    // A drop came that the intake has not answered yet, even one that named no file of this machine
    // (web links, network shares the file manager has not mounted): it too gets a status.
    bool dropWaiting = false;
    bool acceptFiles = true;
    bool draggingOver = false;
    // Told when a dropped list could not be taken, with the text for the status line.
    std::function<void (const juce::String&)> onDropFailed;

private:
    void watchPeer();
    void showDragOver (bool over);

    UriListParser parser;
    DropReceiver receiver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DragAndDropDemoTarget)
};
