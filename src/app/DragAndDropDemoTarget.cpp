#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"

const juce::String DragAndDropDemoTarget::dropTooLargeText ("Error: Drop too large - At most 64 MB of file names at once");
const juce::String DragAndDropDemoTarget::dropUnreadableText ("Error: The dropped files could not be read - Drop them again");

void DragAndDropDemoTarget::paint (juce::Graphics& g)
{
    if (! draggingOver)
        return;

    g.fillAll (randomTransVekko);
    g.setColour (greyWhiteVekko);
    g.drawRect (0, 0, getWidth(), getHeight(), 12);
}

// The window's native handle changes whenever the window is put on the desktop again.
void DragAndDropDemoTarget::parentHierarchyChanged()
{
    watchPeer();
}

void DragAndDropDemoTarget::watchPeer()
{
    auto* peer = getPeer();
    chunkedDrops.watchWindow (peer != nullptr ? (unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle() : 0);
}

bool DragAndDropDemoTarget::isInterestedInFileDrag (const juce::StringArray&)
{
    return acceptFiles;
}

void DragAndDropDemoTarget::fileDragEnter (const juce::StringArray&, int, int)
{
    watchPeer();
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
    draggingOver = false;
    repaint();

    if (! chunkedDrops.isChunkedDrag())
    {
        pendingFiles = files;
        return;
    }

    // What JUCE passed is not the list: take the one read from the source's chunks.
    chunkedDrops.takeFiles ([this] (ChunkedDropReader::Result result, const juce::StringArray& list)
    {
        if (result == ChunkedDropReader::Result::read)
            pendingFiles = list;
        else if (onDropFailed != nullptr)
            onDropFailed (result == ChunkedDropReader::Result::tooLarge ? dropTooLargeText : dropUnreadableText);
    });
}
