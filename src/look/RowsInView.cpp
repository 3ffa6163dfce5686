#include "look/RowsInView.h"
#include "look/Palette.h"

void takeNoFocus (juce::Component& component)
{
    component.setWantsKeyboardFocus (false);
    component.setMouseClickGrabsKeyboardFocus (false);
}

void RowsViewport::visibleAreaChanged (const juce::Rectangle<int>&)
{
    if (onVisibleAreaChanged != nullptr)
        onVisibleAreaChanged();
}

juce::Range<int> RowsViewport::rowsInView (double pitch, int count) const noexcept
{
    if (pitch <= 0.0 || count <= 0)
        return {};

    const auto area = getViewArea();
    const int first = juce::jlimit (0, count, (int) (area.getY() / pitch) - 1);
    return { first, juce::jlimit (first, count, (int) (area.getBottom() / pitch) + 2) };
}

//==============================================================================
FocusCaretEditor::FocusCaretEditor()
{
    setCaretVisible (false);
}

void FocusCaretEditor::focusGained (FocusChangeType cause)
{
    setCaretVisible (true);
    juce::TextEditor::focusGained (cause);
}

void FocusCaretEditor::focusLost (FocusChangeType cause)
{
    juce::TextEditor::focusLost (cause);
    setCaretVisible (false);
}

void FocusCaretEditor::setLook (const juce::String& placeholder, const Look& look)
{
    setTextToShowWhenEmpty (placeholder, termsVekko);
    setJustification (look.justification);
    setColour (backgroundColourId, look.background);
    setColour (textColourId, greyWhiteVekko);
    setColour (highlightColourId, look.highlight);
    setColour (outlineColourId, look.outline);
    setColour (focusedOutlineColourId, look.focusedOutline);
    setColour (shadowColourId, look.shadow);
}
