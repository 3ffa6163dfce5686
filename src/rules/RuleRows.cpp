#include "rules/RuleRows.h"

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
    for (auto* widget : widgets())
        content.addChildComponent (widget);

    takeNoFocus ({ &selectButton, upButton.get(), downButton.get(), deleteButton.get() });
}

void InstrumentRow::setVisible (bool shown)
{
    nameEditor.setVisible (shown);
    selectButton.setVisible (shown);

    if (! shown)
        for (auto* button : { upButton.get(), downButton.get(), deleteButton.get() })
            button->setVisible (false);
}

void InstrumentRow::toFront (bool)
{
    for (auto* widget : widgets())
        widget->toFront (false);
}

std::array<juce::Component*, 5> InstrumentRow::widgets()
{
    return { &nameEditor, &selectButton, upButton.get(), downButton.get(), deleteButton.get() };
}

bool InstrumentRow::hasKeyboardFocus (bool) const
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
    takeNoFocus (*deleteButton);
}

void TermRow::setVisible (bool shown)
{
    editor.setVisible (shown);
    deleteButton->setVisible (shown);
}

void TermRow::toFront (bool)
{
    editor.toFront (false);
    deleteButton->toFront (false);
}

bool TermRow::hasKeyboardFocus (bool) const
{
    return editor.hasKeyboardFocus (true) || deleteButton->hasKeyboardFocus (true);
}
