#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"

const juce::String DragAndDropDemoTarget::dropTooLargeText ("Error: Drop too large - At most 64 MB of file names at once");
const juce::String DragAndDropDemoTarget::dropUnreadableText ("Error: The dropped files could not be read - Drop them again");

DragAndDropDemoTarget::DragAndDropDemoTarget()
    // Anywhere on the window: where the window manager imposes another ratio, the page stands
    // centred with margins beside it, and a drop there is a drop on the window too.
    : receiver ({ [this] (juce::Point<int> point) { return acceptFiles && isShowing() && getTopLevelComponent()->getScreenBounds().contains (point); },
                  [this] (bool over) { showDragOver (over); },
                  [this] (std::string uriList)
                  {
                      parser.parse (std::move (uriList), [this] (std::vector<std::string> files)
                      {
                          if (! files.empty())
                              pendingFiles = std::move (files);
                          dropWaiting = true;
                      });
                  },
                  [this] (DropReceiver::Failure failure)
                  {
                      if (onDropFailed != nullptr)
                          onDropFailed (failure == DropReceiver::Failure::tooLarge ? dropTooLargeText : dropUnreadableText);
                  } })
{
}

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
    receiver.watchWindow (peer != nullptr ? (unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle() : 0);
}

void DragAndDropDemoTarget::showDragOver (bool over)
{
    draggingOver = over;
    repaint();
}

bool DragAndDropDemoTarget::isInterestedInFileDrag (const juce::StringArray&)
{
    return acceptFiles;
}

void DragAndDropDemoTarget::fileDragEnter (const juce::StringArray&, int, int)
{
    showDragOver (true);
}

void DragAndDropDemoTarget::fileDragMove (const juce::StringArray&, int, int) {}

void DragAndDropDemoTarget::fileDragExit (const juce::StringArray&)
{
    showDragOver (false);
}

void DragAndDropDemoTarget::filesDropped (const juce::StringArray& files, int, int)
{
    showDragOver (false);
    pendingFiles.clear();
    for (const auto& f : files)
        pendingFiles.push_back (f.toStdString());
    dropWaiting = true;
}
