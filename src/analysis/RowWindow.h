#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

// A viewport that reports every change of what it shows (scrolling, resizing, content size).
class RowViewport final : public juce::Viewport
{
public:
    std::function<void()> onVisibleAreaChanged;

    void visibleAreaChanged (const juce::Rectangle<int>&) override
    {
        if (onVisibleAreaChanged != nullptr)
            onVisibleAreaChanged();
    }
};

// Widgets for the rows in view of a long list, and only for those: rows that leave the view hand
// their widgets on to rows that enter it, so ten thousand files cost a screenful of widgets. A row
// whose widgets hold the keyboard focus keeps them while it is out of view, so that typing never
// lands in another row. Row is a juce::Component holding one row's widgets, built by its default
// constructor; the rows are children of the content component. Message thread only.
template <typename Row>
class RowWindow final
{
public:
    explicit RowWindow (juce::Component& contentToUse) : content (contentToUse) {}
    ~RowWindow() { clear(); }

    // Gives every row of [first, end) its widgets and calls bind (row, index) on each, which sets
    // their texts and bounds; the widgets of rows outside the range are hidden for later use.
    template <typename Bind>
    void show (int first, int end, Bind&& bind)
    {
        for (auto& slot : slots)
            if (slot.index >= 0 && (slot.index < first || slot.index >= end) && ! slot.row->hasKeyboardFocus (true))
                release (slot);

        bool added = false;
        for (int index = first; index < end; ++index)
        {
            auto* slot = slotOf (index);
            if (slot == nullptr)
            {
                slot = &freeSlot();
                slot->index = index;
                added = true;
            }

            bind (*slot->row, index);
            slot->row->setVisible (true);
        }

        if (added)
            keepRowOrder();
    }

    // The widgets of the row at index, or null while it is out of view.
    Row* find (int index) const
    {
        for (auto& slot : slots)
            if (slot.index == index)
                return slot.row.get();
        return nullptr;
    }

    // Forgets which row holds which widgets (rows moved or went): the next show binds them anew.
    void releaseAll()
    {
        for (auto& slot : slots)
        {
            if (slot.row->hasKeyboardFocus (true))
                slot.row->giveAwayKeyboardFocus();
            release (slot);
        }
    }

    // Deletes every row's widgets.
    void clear()
    {
        for (auto& slot : slots)
            content.removeChildComponent (slot.row.get());
        slots.clear();
    }

    // Calls fn (row, index) for every row that holds widgets.
    template <typename Fn>
    void forEachBound (Fn&& fn) const
    {
        for (auto& slot : slots)
            if (slot.index >= 0)
                fn (*slot.row, slot.index);
    }

private:
    struct Slot
    {
        std::unique_ptr<Row> row;
        int index = -1;
    };

    Slot* slotOf (int index)
    {
        for (auto& slot : slots)
            if (slot.index == index)
                return &slot;
        return nullptr;
    }

    Slot& freeSlot()
    {
        for (auto& slot : slots)
            if (slot.index < 0)
                return slot;

        slots.push_back ({ std::make_unique<Row>(), -1 });
        content.addChildComponent (slots.back().row.get());
        return slots.back();
    }

    static void release (Slot& slot)
    {
        slot.index = -1;
        slot.row->setVisible (false);
    }

    // Later rows lie above earlier ones, where a row's widgets reach into the next row.
    void keepRowOrder()
    {
        std::vector<Slot*> bound;
        for (auto& slot : slots)
            if (slot.index >= 0)
                bound.push_back (&slot);

        std::sort (bound.begin(), bound.end(), [] (auto* a, auto* b) { return a->index < b->index; });
        for (auto* slot : bound)
            slot->row->toFront (false);
    }

    juce::Component& content;
    std::vector<Slot> slots;
};
