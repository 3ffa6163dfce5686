#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A component's file-drag target that hands every drag on to another component's (its content, or
// a child), the points moved into that one's space. Message thread only.
class FileDragRelay : public juce::FileDragAndDropTarget
{
public:
    bool isInterestedInFileDrag (const juce::StringArray& files) override
    {
        auto* target = relayTarget();
        return target != nullptr && target->isInterestedInFileDrag (files);
    }

    void fileDragEnter (const juce::StringArray& files, int x, int y) override
    {
        if (auto* target = relayTarget())
            target->fileDragEnter (files, toTarget (x, y).x, toTarget (x, y).y);
    }

    void fileDragMove (const juce::StringArray& files, int x, int y) override
    {
        if (auto* target = relayTarget())
            target->fileDragMove (files, toTarget (x, y).x, toTarget (x, y).y);
    }

    void fileDragExit (const juce::StringArray& files) override
    {
        if (auto* target = relayTarget())
            target->fileDragExit (files);
    }

    void filesDropped (const juce::StringArray& files, int x, int y) override
    {
        if (auto* target = relayTarget())
            target->filesDropped (files, toTarget (x, y).x, toTarget (x, y).y);
    }

protected:
    // The component the drags go on to (a file-drag target); null while there is none.
    virtual juce::Component* relayComponent() = 0;

private:
    juce::FileDragAndDropTarget* relayTarget() { return dynamic_cast<juce::FileDragAndDropTarget*> (relayComponent()); }

    juce::Point<int> toTarget (int x, int y)
    {
        return relayComponent()->getLocalPoint (dynamic_cast<juce::Component*> (this), juce::Point<int> (x, y));
    }
};
