// The rename page's row widgets: only the rows in view have them (RowsInView). Each RenameRow shows
// one file; when the files move (a sort, a removal) every row follows its file, so the row holding
// the keyboard focus keeps its file and moves to wherever that file now stands, and what the user
// types next goes to the file whose field they clicked. Message thread only.
#include "rename/Rename.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include <algorithm>
#include <unordered_map>

int Rename::rowOf (const std::string& path) const
{
    const auto it = std::find (filePaths.begin(), filePaths.end(), path);
    return it == filePaths.end() ? -1 : (int) std::distance (filePaths.begin(), it);
}

RenameRow* Rename::rowInView (int row) const
{
    return rowsInView.find (row);
}

juce::String Rename::shownName (const std::string& path) const
{
    const auto stored = newNames.find (path);
    const auto name = stored != newNames.end() ? NameSuggestion::fromUTF8 (stored->second) : juce::String();
    return name.isEmpty() ? NameSuggestion::fromUTF8 (extractFileName (path)) : name;
}

void Rename::scrollToRow (int row)
{
    keepRowInSight (row);
    showRowsInView (false);
}

void Rename::keepRowInSight (int row)
{
    if (row < 0 || row >= (int) filePaths.size() || columns.unit <= 0)
        return;

    // The play and remove buttons start 2 pixels above the row's label.
    const int top = juce::jmax (0, rowTop (row) - 2);
    const int bottom = rowTop (row) - 2 + columns.unit;
    const auto area = viewport.getViewArea();

    if (top < area.getY())
        viewport.setViewPosition (area.getX(), top);
    else if (bottom > area.getBottom())
        viewport.setViewPosition (area.getX(), juce::jmin (top, bottom - area.getHeight()));
}

std::unique_ptr<RenameRow> Rename::makeRow()
{
    auto row = std::make_unique<RenameRow> (RenameRow::Icons { playIcon, pauseIcon, removeIcon, removeOverIcon });
    row->onFocusInside = [this, r = row.get()] { keepRowInSight (r->index); };
    content.addChildComponent (*row);
    return row;
}

// The rows in view, and the row with the keyboard focus wherever it is. Rows that keep their file
// take the present layout; with rewriteTexts their texts are written again, except in the field
// being typed in.
void Rename::showRowsInView (bool rewriteTexts)
{
    const auto range = viewport.rowsInView (0.9 * columns.unit, (int) filePaths.size());

    rowsInView.show (range.getStart(), range.getEnd(), [this, rewriteTexts] (RenameRow& row, bool fresh)
    {
        if (fresh || (rewriteTexts && ! row.nameEditor.hasKeyboardFocus (true)))
            showFileInRow (row);
        else
            placeRow (row);
    });
}

// After the files moved: each row takes its file's new place, or becomes free when its file went.
void Rename::rowsFollowTheirFiles()
{
    std::unordered_map<std::string, int> places;
    rowsInView.forEachBound ([&places] (RenameRow& row) { places.emplace (row.path, -1); });

    for (size_t i = 0, found = 0; i < filePaths.size() && found < places.size(); ++i)
    {
        if (const auto place = places.find (filePaths[i]); place != places.end())
        {
            place->second = (int) i;
            ++found;
        }
    }

    rowsInView.renumber ([&places] (const RenameRow& row) { return places[row.path]; });
}

// Rewrites a row's texts and handlers for the file at row.index of filePaths, and places it there.
void Rename::showFileInRow (RenameRow& row)
{
    const auto& path = filePaths[(size_t) row.index];
    row.path = path;
    row.nameLabel.setText (NameSuggestion::fromUTF8 (extractFileName (path)), juce::dontSendNotification);

    if (const auto name = shownName (path); row.nameEditor.getText() != name)
        row.nameEditor.setText (name, false);

    // A long name shows its start: the text set, or the typing just ended, leaves it scrolled to its end.
    if (! row.nameEditor.hasKeyboardFocus (false))
        row.nameEditor.setCaretPosition (0);

    setupNameEditor (&row.nameEditor, path);
    row.playButton.onClick = [this, path] { playToggled (path); };
    // The second press of a double-click lands on the next file, moved up under the pointer.
    row.removeButton.onClick = [this, path, &row]
    {
        if (row.removePresses.presses <= 1)
            removeClicked (path);
    };
    placeRow (row);
}

void Rename::placeRow (RenameRow& row)
{
    row.setBounds (0, rowTop (row.index) - 2, juce::jmax (content.getWidth(), columns.width()), columns.unit);
    row.setColumns (columns);
    showPreviewState (row);
}

void Rename::showPreviewState (RenameRow& row) const
{
    row.playButton.setToggleState (row.path == previewPath && ! previewPath.empty(), juce::dontSendNotification);
    const auto outline = row.path == playingPath && ! playingPath.empty() ? greenVekko : greyVekko;
    if (row.nameEditor.findColour (juce::TextEditor::outlineColourId) != outline)
    {
        row.nameEditor.setColour (juce::TextEditor::outlineColourId, outline);
        // A text editor does not redraw itself for a new colour.
        row.nameEditor.repaint();
    }
}

void Rename::showPreviewStateOfRows()
{
    rowsInView.forEachBound ([this] (RenameRow& row) { showPreviewState (row); });
}
