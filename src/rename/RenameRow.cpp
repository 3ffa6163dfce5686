#include "rename/RenameRow.h"
#include "look/Palette.h"

RenameRow::RenameRow (const Icons& icons)
{
    // Clicks between the widgets fall through to the list, as when the widgets lay on it directly.
    setInterceptsMouseClicks (false, true);

    nameLabel.setColour (juce::Label::backgroundColourId, transparentVekko);
    nameLabel.setColour (juce::Label::textColourId, greyWhiteVekko);
    nameLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (nameLabel);

    nameEditor.setLook ("Nouveau nom...", { juce::Justification::centredLeft, blackVekko, greenVekko, greyVekko,
                                            greenVekko, termsVekko });
    nameEditor.setInputRestrictions (kMaxNameChars);
    addAndMakeVisible (nameEditor);

    setIconImages (playButton, icons.play, {}, icons.pause);
    playButton.setClickingTogglesState (true);
    addAndMakeVisible (playButton);

    setIconImages (removeButton, icons.remove, icons.removeOver, icons.removeOver);
    removeButton.addMouseListener (&removePresses, false);
    addAndMakeVisible (removeButton);

    takeNoFocus (playButton);
    takeNoFocus (removeButton);
}

RenameRow::~RenameRow() = default;

void RenameRow::setIconImages (juce::ImageButton& button, const juce::Image& normal, const juce::Image& over,
                               const juce::Image& down)
{
    button.setImages (false, true, true,
                      normal, 1.0f, juce::Colours::transparentBlack,
                      over, 1.0f, juce::Colours::transparentBlack,
                      down, 1.0f, juce::Colours::transparentBlack,
                      0.0f);
}

void RenameRow::setColumns (const Columns& newColumns)
{
    const bool changed = newColumns.unit != columns.unit || newColumns.gap != columns.gap
                      || newColumns.labelWidth != columns.labelWidth || newColumns.editorWidth != columns.editorWidth;
    columns = newColumns;

    if (changed)
        resized();
}

void RenameRow::resized()
{
    const int editorX = columns.labelWidth + columns.gap;
    const int playX = editorX + columns.editorWidth + columns.gap;

    nameLabel.setBounds (0, 2, columns.labelWidth, columns.rowHeight());
    nameEditor.setBounds (editorX, 2, columns.editorWidth, columns.rowHeight());
    playButton.setBounds (playX, 0, columns.unit, columns.unit);
    removeButton.setBounds (playX + columns.unit + columns.gap, 0, columns.unit, columns.unit);
}

void RenameRow::focusOfChildComponentChanged (FocusChangeType)
{
    if (hasKeyboardFocus (true) && onFocusInside != nullptr)
        onFocusInside();
}
