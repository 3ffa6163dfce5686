#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "look/RoundedLabels.h"
#include "look/RowsInView.h"

#include <functional>
#include <string>

// How many presses the last press on a button made (listening to its mouse): 2 for the second press
// of a double-click. Message thread only.
struct PressCount final : public juce::MouseListener
{
    void mouseDown (const juce::MouseEvent& event) override { presses = event.getNumberOfClicks(); }
    int presses = 0;
};

// One row of the rename page as the user sees it: the file's present name, its new-name editor, the
// play toggle and the remove button. The page builds rows only for the files in view and hands each
// row the file it shows (`path`, row `index` of the page's list); a row keeps no other state of its
// own. Message thread only.
class RenameRow final : public juce::Component
{
public:
    struct Icons
    {
        const juce::Image& play;
        const juce::Image& pause;
        const juce::Image& remove;
        const juce::Image& removeOver;
    };

    // Column sizes of the page's layout; the row's top is 2 pixels above its label and editor.
    struct Columns
    {
        int unit = 0, gap = 0, labelWidth = 0, editorWidth = 0;
        int rowHeight() const noexcept { return (int) (0.8 * unit); }
        int width() const noexcept { return labelWidth + editorWidth + 3 * gap + 2 * unit; }
    };

    // The most a name field takes: a file name holds at most 255 bytes, and the editor draws its
    // line whole, so a paste of a million characters froze the window.
    static constexpr int kMaxNameChars = 1024;

    explicit RenameRow (const Icons& icons);
    ~RenameRow() override;

    void setColumns (const Columns& newColumns);
    void resized() override;

    static void setIconImages (juce::ImageButton& button, const juce::Image& normal, const juce::Image& over,
                               const juce::Image& down);

    int index = -1;
    std::string path;
    RoundedLabel nameLabel;
    FocusCaretEditor nameEditor;
    juce::ImageButton playButton;
    PressCount removePresses;
    juce::ImageButton removeButton;

    // Called when one of the row's widgets has just taken the keyboard focus.
    std::function<void()> onFocusInside;

private:
    void focusOfChildComponentChanged (FocusChangeType cause) override;

    Columns columns;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RenameRow)
};
