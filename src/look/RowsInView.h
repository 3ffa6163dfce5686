#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

// Long lists (ten thousand files, five thousand instruments) keep widgets only for the rows in
// view: a screenful of row widgets is handed from row to row as the list scrolls. Message thread only.

// For a row's buttons: Tab goes from field to field, since the buttons show no focus and typing would
// vanish into them. Nor may a click pass the focus on: the framework would hand it to the first field
// of the row or list (a field the user did not click, perhaps a row above the view), where the next
// key press would change a name unseen.
void takeNoFocus (juce::Component& component);
void takeNoFocus (std::initializer_list<juce::Component*> components);

// For a page of fields (a keyboard focus container): Tab goes round its fields, and the page asked
// for the focus (as a window brought to the front asks its content) puts it in none of them. The
// framework would give it to the first field in view, which the next key press would change unseen
// (and which the rules page selects and scrolls to).
std::unique_ptr<juce::ComponentTraverser> fieldsWithoutDefaultFocus();

// A viewport that reports every change of what it shows (scrolling, resizing, content size).
class RowsViewport final : public juce::Viewport
{
public:
    std::function<void()> onVisibleAreaChanged;

    void visibleAreaChanged (const juce::Rectangle<int>&) override;

    // The rows of a list of count rows standing pitch pixels apart that it shows, with one more at
    // each end, so that Tab reaches the next row.
    juce::Range<int> rowsInView (double pitch, int count) const noexcept;
};

// A text editor whose caret exists only while it has the keyboard focus: the framework runs a blink
// timer per visible caret for as long as the editor exists, focused or not.
class FocusCaretEditor : public juce::TextEditor
{
public:
    FocusCaretEditor();

    void focusGained (FocusChangeType cause) override;
    void focusLost (FocusChangeType cause) override;
    void resized() override;

    // A row's one-line field: the placeholder in the terms colour, the text in grey-white.
    struct Look
    {
        juce::Justification justification;
        juce::Colour background, highlight, outline, focusedOutline, shadow;
    };
    void setLook (const juce::String& placeholder, const Look& look);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FocusCaretEditor)
};

// The row widgets of a long list. Row holds one row's widgets and `index`, the entry it shows (-1
// while free); it is a juce::Component, or a group of widgets that offers setVisible, toFront and
// hasKeyboardFocus as a component does. makeRow builds a row and puts its widgets into the list's
// content component.
template <typename Row>
class RowsInView final
{
public:
    explicit RowsInView (std::function<std::unique_ptr<Row>()> makeRowToUse) : makeRow (std::move (makeRowToUse)) {}

    // Gives every entry of [first, end) a row. Rows of other entries become free, except a row
    // holding the keyboard focus: it keeps its entry while scrolled away, so that typing never lands
    // in another entry. Then calls fill (row, fresh) on every row that shows an entry, fresh for
    // those that got it just now.
    template <typename Fill>
    void show (int first, int end, Fill&& fill)
    {
        std::vector<Row*> spare;
        std::vector<Row*> covered ((size_t) juce::jmax (0, end - first), nullptr);

        for (auto& row : rows)
        {
            if (row->index >= first && row->index < end)
                covered[(size_t) (row->index - first)] = row.get();
            else if (row->index >= 0 && row->hasKeyboardFocus (true))
                fill (*row, false);
            else
            {
                release (*row);
                spare.push_back (row.get());
            }
        }

        int firstFresh = end;

        for (int i = first; i < end; ++i)
        {
            auto* row = covered[(size_t) (i - first)];
            const bool fresh = row == nullptr;

            if (fresh)
            {
                if (spare.empty())
                    spare.push_back (rows.emplace_back (makeRow()).get());

                row = spare.back();
                spare.pop_back();
                row->index = i;
                firstFresh = juce::jmin (firstFresh, i);
            }

            fill (*row, fresh);
            row->setVisible (true);
        }

        if (firstFresh < end)
            keepRowOrder (firstFresh);
    }

    // The row showing entry index, or null while that entry is out of view.
    Row* find (int index) const
    {
        for (auto& row : rows)
            if (row->index == index && index >= 0)
                return row.get();
        return nullptr;
    }

    // Calls fn (row) for every row that shows an entry.
    template <typename Fn>
    void forEachBound (Fn&& fn) const
    {
        for (auto& row : rows)
            if (row->index >= 0)
                fn (*row);
    }

    // The entries changed under the rows: the keyboard focus leaves them and rows past the new count
    // become free; the next show fills the others again.
    void entriesChanged (int count)
    {
        for (auto& row : rows)
        {
            if (row->hasKeyboardFocus (true))
                juce::Component::unfocusAllComponents();

            if (row->index >= count)
                release (*row);
        }
    }

    // The entries moved: every row follows its entry to the index newIndex (row) gives, or becomes
    // free when that is -1.
    template <typename NewIndex>
    void renumber (NewIndex&& newIndex)
    {
        for (auto& row : rows)
        {
            if (row->index < 0)
                continue;

            if (const int index = newIndex (std::as_const (*row)); index >= 0)
                row->index = index;
            else
                release (*row);
        }

        keepRowOrder (0);
    }

    void clear() { rows.clear(); }

    // Every row made so far, free ones included.
    std::vector<std::unique_ptr<Row>> rows;
    auto begin() const { return rows.begin(); }
    auto end() const   { return rows.end(); }

private:
    static void release (Row& row)
    {
        if (row.index >= 0)
            row.setVisible (false);
        row.index = -1;
    }

    // Later rows lie above earlier ones, where a row's widgets reach into the next row; the rows
    // before from are in order already.
    void keepRowOrder (int from)
    {
        std::vector<Row*> later;
        for (auto& row : rows)
            if (row->index >= from)
                later.push_back (row.get());

        std::sort (later.begin(), later.end(), [] (auto* a, auto* b) { return a->index < b->index; });
        for (auto* row : later)
            row->toFront (false);
    }

    std::function<std::unique_ptr<Row>()> makeRow;
};
