#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"

void DragAndDropDemoTarget::paint (juce::Graphics& g)
{
    if (! draggingOver)
        return;

    g.fillAll (randomTransVekko);
    g.setColour (greyWhiteVekko);
    g.drawRect (0, 0, getWidth(), getHeight(), 12);
}

bool DragAndDropDemoTarget::isInterestedInFileDrag (const juce::StringArray&)
{
    return acceptFiles;
}

void DragAndDropDemoTarget::fileDragEnter (const juce::StringArray&, int, int)
{
    draggingOver = true;
    repaint();
}

void DragAndDropDemoTarget::fileDragMove (const juce::StringArray&, int, int) {}

void DragAndDropDemoTarget::fileDragExit (const juce::StringArray&)
{
    draggingOver = false;
    repaint();
}

void DragAndDropDemoTarget::filesDropped (const juce::StringArray& files, int, int)
{
    pendingFiles = files;
    draggingOver = false;
    repaint();
}
