#include "analysis/ISRCListComponent.h"
#include "analysis/AudioConverter.h"
#include "analysis/PanelFrame.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include <algorithm>

namespace
{
// "44k-24b": the rate in whole kilohertz, truncated, and the bit depth; empty for an unread file.
juce::String formatText (double sampleRate, int bitsPerSample)
{
    if (sampleRate == 0.0)
        return {};

    return juce::String ((int) (sampleRate / 1000.0)) + "k-" + juce::String (bitsPerSample) + "b";
}
} // namespace

//==============================================================================
ISRCListComponent::ISRCListComponent()
{
    closeButton = std::make_unique<juce::TextButton> ("X");
    addAndMakeVisible (*closeButton);
    closeButton->onClick = [this] { setVisible (false); };

    viewport = std::make_unique<juce::Viewport>();
    addAndMakeVisible (*viewport);

    content = std::make_unique<juce::Component>();
    viewport->setViewedComponent (content.get(), false);
}

ISRCListComponent::~ISRCListComponent() = default;

//==============================================================================
void ISRCListComponent::addList (const juce::StringArray& files)
{
    for (const auto& file : files)
    {
        const auto path = file.toStdString();

        if (! NameSuggestion::endsWithExtension (path, kAnalysisFileExtension))
            continue;

        if (isrcByFile.count (path) != 0)
            continue;

        addRow (path);
    }

    resized();
}

void ISRCListComponent::addRow (const std::string& path)
{
    auto* nameLabel = nameLabels.add (new juce::Label ({}, NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path))));
    nameLabel->setColour (juce::Label::backgroundColourId, maskVekko);
    nameLabel->setJustificationType (juce::Justification::centred);
    content->addAndMakeVisible (nameLabel);

    auto* editor = isrcEditors.add (new juce::TextEditor());
    editor->setInputRestrictions (kIsrcMaxLength, kIsrcEditorCharacters);
    editor->setTextToShowWhenEmpty ("ISRC Code", termsVekko);
    editor->setJustification (juce::Justification::centred);
    editor->setCaretVisible (true);
    editor->setMultiLine (false, false);
    editor->setReadOnly (false);
    editor->setWantsKeyboardFocus (true);
    editor->setColour (juce::TextEditor::backgroundColourId, maskVekko);
    editor->setColour (juce::TextEditor::textColourId, greyWhiteVekko);
    editor->setColour (juce::TextEditor::highlightColourId, orangeVekko);
    editor->setColour (juce::TextEditor::outlineColourId, greyLightVekkoO);
    editor->setColour (juce::TextEditor::focusedOutlineColourId, orangeTransChord);
    editor->setColour (juce::TextEditor::shadowColourId, termsVekko);
    setupISRCEditor (editor, path);
    content->addAndMakeVisible (editor);

    double sampleRate = 0.0;
    int bitsPerSample = 0;
    juce::String isrc;
    const auto fullPath = NameSuggestion::fromUTF8 (path);

    // juce::File takes only full paths; a relative one names no file the panel could find.
    if (juce::File::isAbsolutePath (fullPath))
        AudioConverter::getFileInfo (juce::File (fullPath), sampleRate, bitsPerSample, isrc);

    auto* formatLabel = formatLabels.add (new juce::Label ({}, formatText (sampleRate, bitsPerSample)));
    formatLabel->setColour (juce::Label::backgroundColourId, lightVekko);
    formatLabel->setJustificationType (juce::Justification::centred);
    content->addAndMakeVisible (formatLabel);

    auto* removeButton = removeButtons.add (new juce::TextButton ("X"));
    removeButton->setColour (juce::TextButton::textColourOffId, greyLightVekkoO);
    removeButton->setColour (juce::TextButton::textColourOnId, whiteVekko);
    removeButton->onClick = [this, path] { removeRow (path); };
    content->addAndMakeVisible (removeButton);

    editor->setText (isrc, false);
    isrcByFile[path] = isrc.toStdString();
    filePaths.push_back (path);
}

void ISRCListComponent::setupISRCEditor (juce::TextEditor* editor, const std::string& path)
{
    editor->onTextChange = [this, path, editor] { isrcByFile[path] = editor->getText().toStdString(); };
}

//==============================================================================
void ISRCListComponent::removeRow (std::string path)
{
    const auto it = std::find (filePaths.begin(), filePaths.end(), path);

    if (it != filePaths.end())
    {
        const auto index = (int) std::distance (filePaths.begin(), it);

        // Deleting a focused editor would hand the focus on to the next one.
        setEditorsWantFocus (false);

        nameLabels.remove (index);
        formatLabels.remove (index);
        isrcEditors.remove (index);
        removeButtons.remove (index);

        isrcByFile.erase (path);
        filePaths.erase (filePaths.begin() + index);

        // The panel is never shown by the main window; focus can only go to a button on screen.
        if (closeButton->isShowing())
            closeButton->grabKeyboardFocus();

        setEditorsWantFocus (true);
        resized();
        repaint();
    }

    listChanged = true;
}

void ISRCListComponent::setEditorsWantFocus (bool wantFocus)
{
    for (auto* editor : isrcEditors)
        editor->setWantsKeyboardFocus (wantFocus);
}

void ISRCListComponent::clearRows()
{
    content->removeAllChildren();
    nameLabels.clear();
    formatLabels.clear();
    isrcEditors.clear();
    removeButtons.clear();
    isrcByFile.clear();
    filePaths.clear();
}

//==============================================================================
void ISRCListComponent::paint (juce::Graphics& g)
{
    PanelFrame::paint (g, viewport->getBounds());
}

void ISRCListComponent::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int u = PanelFrame::unitOf (W);
    PanelFrame::layout (W, H, *closeButton, *viewport);
    const int viewWidth = viewport->getWidth();
    content->setBounds (0, 0, viewWidth - viewport->getScrollBarThickness(), (int) filePaths.size() * u);

    for (int i = 0; i < (int) filePaths.size() && i < nameLabels.size(); ++i)
    {
        const int y = (int) ((i * u) * 0.9);
        const int rowHeight = (int) (0.8 * u);

        nameLabels[i]->setBounds (0, y, (int) (0.67 * viewWidth), rowHeight);
        formatLabels[i]->setBounds (nameLabels[i]->getRight(), y, (int) (0.09 * viewWidth), rowHeight);
        isrcEditors[i]->setBounds (formatLabels[i]->getRight(), y, (int) (0.23 * viewWidth - u), rowHeight);
        removeButtons[i]->setBounds (isrcEditors[i]->getRight() + 2, (int) ((i * u) * 0.9 - 2.0), u, u);

        isrcEditors[i]->setAlwaysOnTop (false);
        removeButtons[i]->setAlwaysOnTop (false);
    }
}
