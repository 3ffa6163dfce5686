#include "look/RowsInView.h"
#include "look/Palette.h"

#include <cmath>

void takeNoFocus (juce::Component& component)
{
    component.setWantsKeyboardFocus (false);
    component.setMouseClickGrabsKeyboardFocus (false);
}

void takeNoFocus (std::initializer_list<juce::Component*> components)
{
    for (auto* component : components)
        takeNoFocus (*component);
}

std::unique_ptr<juce::ComponentTraverser> fieldsWithoutDefaultFocus()
{
    struct Traverser final : juce::KeyboardFocusTraverser
    {
        juce::Component* getDefaultComponent (juce::Component*) override { return nullptr; }
    };

    return std::make_unique<Traverser>();
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

void FocusCaretEditor::resized()
{
    // The text scales with its field, as the labels beside it scale with the window: at the window's
    // design size a 24-pixel field shows the framework's 14-pixel text. A fixed size was cut off in
    // the smallest window and looked half the labels' size in the largest.
    const auto height = juce::jmax (1.0f, 7.0f / 12.0f * (float) getHeight());
    if (std::abs (getFont().getHeight() - height) > 0.01f)
    {
        setFont (getFont().withHeight (height));
        applyFontToAllText (getFont());
    }

    juce::TextEditor::resized();
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
