#pragma once

#include "look/RowsInView.h"

#include <array>
#include <functional>
#include <memory>

// The rows of the rules page's two lists; only the rows in view have widgets (RowsInView). A row's
// widgets are children of the list's content component, as the rows of the whole table once were,
// so that the select buttons form one radio group: a row is shown, hidden, ordered and asked for
// the keyboard focus as a whole. Message thread only, like the page.

// A name editor that also reports when it gains the keyboard focus, so that clicking into an
// instrument's name selects that instrument (and a focused row is scrolled into view).
class InstrumentTextEditor final : public FocusCaretEditor
{
public:
    InstrumentTextEditor() = default;
    ~InstrumentTextEditor() override = default;

    void focusGained (juce::Component::FocusChangeType cause) override;

    std::function<void()> onFocusGained;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstrumentTextEditor)
};

// The widgets of one instrument row; index is the instrument they show, -1 while unused.
struct InstrumentRow final
{
    InstrumentRow (juce::Component& content, std::unique_ptr<juce::ImageButton> up,
                   std::unique_ptr<juce::ImageButton> down, std::unique_ptr<juce::ImageButton> remove);

    // The move and delete buttons show on the selected row only: showing a row leaves them alone.
    void setVisible (bool shown);
    void toFront (bool);
    bool hasKeyboardFocus (bool) const;

    int index = -1;
    juce::TextButton selectButton;
    InstrumentTextEditor nameEditor;
    std::unique_ptr<juce::ImageButton> upButton, downButton, deleteButton;

private:
    std::array<juce::Component*, 5> widgets();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstrumentRow)
};

// The widgets of one term row; index is the working term they show, -1 while unused.
struct TermRow final
{
    TermRow (juce::Component& content, std::unique_ptr<juce::ImageButton> remove);

    void setVisible (bool shown);
    void toFront (bool);
    bool hasKeyboardFocus (bool) const;

    int index = -1;
    InstrumentTextEditor editor;   // a term's field reports its focus as a name's does
    std::unique_ptr<juce::ImageButton> deleteButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TermRow)
};
