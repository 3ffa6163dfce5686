#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

// The rows of the rules page's two lists. A table of thousands of instruments keeps widgets only
// for the rows in view: a few dozen rows of widgets are re-used as the lists scroll. Message thread
// only, like the page.

// A text editor that shows its caret only while it has the keyboard focus: every caret runs a timer
// for as long as it exists, and thousands of them keep the message thread busy.
class FocusCaretEditor : public juce::TextEditor
{
public:
    FocusCaretEditor() { setCaretVisible (false); }

    void focusGained (juce::Component::FocusChangeType cause) override;
    void focusLost (juce::Component::FocusChangeType cause) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FocusCaretEditor)
};

// A name editor that also reports when it gains the keyboard focus, so that clicking into an
// instrument's name selects that instrument.
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

// A viewport that says when what it shows has moved or changed size.
class RowsViewport final : public juce::Viewport
{
public:
    void visibleAreaChanged (const juce::Rectangle<int>&) override
    {
        if (onVisibleAreaChanged != nullptr)
            onVisibleAreaChanged();
    }

    std::function<void()> onVisibleAreaChanged;
};

// The widgets of one instrument row; index is the instrument they show, -1 while unused. The
// widgets are children of the list's content component, as the rows of the whole table once were,
// so that the select buttons form one radio group.
struct InstrumentRow final
{
    InstrumentRow (juce::Component& content, std::unique_ptr<juce::ImageButton> up,
                   std::unique_ptr<juce::ImageButton> down, std::unique_ptr<juce::ImageButton> remove);

    void setVisible (bool shown);
    bool holdsFocus() const;

    int index = -1;
    juce::TextButton selectButton;
    InstrumentTextEditor nameEditor;
    std::unique_ptr<juce::ImageButton> upButton, downButton, deleteButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InstrumentRow)
};

// The widgets of one term row; index is the working term they show, -1 while unused.
struct TermRow final
{
    TermRow (juce::Component& content, std::unique_ptr<juce::ImageButton> remove);

    void setVisible (bool shown);
    bool holdsFocus() const;

    int index = -1;
    FocusCaretEditor editor;
    std::unique_ptr<juce::ImageButton> deleteButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TermRow)
};

// The rows that have widgets, and which entry each of them shows.
template <typename Row>
class RowPool final
{
public:
    // Gives every entry of [first, last) a row. Rows showing an entry outside it become free,
    // except a row holding the keyboard focus, which keeps its entry while it is scrolled away (a
    // name being typed stays with its instrument). Free rows are re-used before new ones are made.
    // make() creates a row; show (row) fills it for row.index.
    template <typename Make, typename Show>
    void cover (int first, int last, Make&& make, Show&& show)
    {
        std::vector<Row*> spare;
        std::vector<bool> covered ((size_t) juce::jmax (0, last - first), false);

        for (auto& row : rows)
        {
            if (row->index >= first && row->index < last)
                covered[(size_t) (row->index - first)] = true;
            else if (row->index < 0 || ! row->holdsFocus())
            {
                release (*row);
                spare.push_back (row.get());
            }
        }

        for (int i = first; i < last; ++i)
        {
            if (covered[(size_t) (i - first)])
                continue;

            Row* row = nullptr;

            if (spare.empty())
                row = rows.emplace_back (make()).get();
            else
            {
                row = spare.back();
                spare.pop_back();
            }

            row->index = i;
            show (*row);
        }
    }

    // After the entries changed: rows lose the keyboard focus (the rows were rebuilt), rows of entries
    // that are gone become free, the others are filled again.
    template <typename Show>
    void refill (int count, Show&& show)
    {
        for (auto& row : rows)
        {
            if (row->holdsFocus())
                juce::Component::unfocusAllComponents();

            if (row->index >= count)
                release (*row);
            else if (row->index >= 0)
                show (*row);
        }
    }

    Row* find (int index) const
    {
        for (auto& row : rows)
            if (row->index == index && index >= 0)
                return row.get();
        return nullptr;
    }

    std::vector<std::unique_ptr<Row>> rows;

private:
    static void release (Row& row)
    {
        if (row.index >= 0)
            row.setVisible (false);
        row.index = -1;
    }
};
