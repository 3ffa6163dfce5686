#include "analysis/ISRCListComponent.h"

ISRCListComponent::ISRCListComponent() = default;

ISRCListComponent::~ISRCListComponent() = default;

void ISRCListComponent::addList (const juce::StringArray&) {}

void ISRCListComponent::clearRows()
{
    content.removeAllChildren();
    nameLabels.clear();
    formatLabels.clear();
    isrcEditors.clear();
    removeButtons.clear();
    isrcByFile.clear();
    filePaths.clear();
}
