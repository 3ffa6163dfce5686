#include "rules/RuleRows.h"

void FocusCaretEditor::focusGained (juce::Component::FocusChangeType cause)
{
    setCaretVisible (true);
    juce::TextEditor::focusGained (cause);
}

void FocusCaretEditor::focusLost (juce::Component::FocusChangeType cause)
{
    juce::TextEditor::focusLost (cause);
    setCaretVisible (false);
}

void InstrumentTextEditor::focusGained (juce::Component::FocusChangeType cause)
{
    FocusCaretEditor::focusGained (cause);

    if (onFocusGained != nullptr)
        onFocusGained();
}

//==============================================================================
InstrumentRow::InstrumentRow (juce::Component& content, std::unique_ptr<juce::ImageButton> up,
                              std::unique_ptr<juce::ImageButton> down, std::unique_ptr<juce::ImageButton> remove)
    : upButton (std::move (up)), downButton (std::move (down)), deleteButton (std::move (remove))
{
    for (juce::Component* widget : { (juce::Component*) &nameEditor, (juce::Component*) &selectButton,
                                     (juce::Component*) upButton.get(), (juce::Component*) downButton.get(),
                                     (juce::Component*) deleteButton.get() })
        content.addChildComponent (widget);
}

void InstrumentRow::setVisible (bool shown)
{
    nameEditor.setVisible (shown);
    selectButton.setVisible (shown);

    // The move and delete buttons show on the selected row only; hiding a row hides them too.
    if (! shown)
        for (auto* button : { upButton.get(), downButton.get(), deleteButton.get() })
            button->setVisible (false);
}

bool InstrumentRow::holdsFocus() const
{
    return nameEditor.hasKeyboardFocus (true) || selectButton.hasKeyboardFocus (true)
        || upButton->hasKeyboardFocus (true) || downButton->hasKeyboardFocus (true)
        || deleteButton->hasKeyboardFocus (true);
}

//==============================================================================
TermRow::TermRow (juce::Component& content, std::unique_ptr<juce::ImageButton> remove)
    : deleteButton (std::move (remove))
{
    content.addChildComponent (editor);
    content.addChildComponent (*deleteButton);
}

void TermRow::setVisible (bool shown)
{
    editor.setVisible (shown);
    deleteButton->setVisible (shown);
}

bool TermRow::holdsFocus() const
{
    return editor.hasKeyboardFocus (true) || deleteButton->hasKeyboardFocus (true);
}
