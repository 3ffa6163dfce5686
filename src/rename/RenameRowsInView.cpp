// The rename page's row widgets: only the rows in view have them. Each RenameRow shows one file;
// scrolling and sorting hand the rows other files, except the row holding the keyboard focus, which
// keeps its file and moves to wherever that file now stands, so what the user types next goes to
// the file whose field they clicked. Message thread only.
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
    if (row < 0 || row >= (int) filePaths.size())
        return nullptr;

    for (const auto& shown : rowsInView)
        if (shown->path == filePaths[(size_t) row] && shown->isVisible())
            return shown.get();

    return nullptr;
}

RenameRow* Rename::rowWithFocus() const
{
    for (const auto& shown : rowsInView)
        if (shown->isInUse() && shown->hasKeyboardFocus (true))
            return shown.get();

    return nullptr;
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

void Rename::showRowsInView (bool rewriteTexts)
{
    const int count = (int) filePaths.size();

    // The rows in view, one more at each end so that Tab can reach the next row, and the row with
    // the keyboard focus wherever it is.
    std::unordered_map<std::string, int> wanted;

    if (count > 0 && columns.unit > 0)
    {
        const double pitch = 0.9 * columns.unit;
        const auto area = viewport.getViewArea();
        const int first = juce::jmax (0, (int) (area.getY() / pitch) - 1);
        const int last = juce::jmin (count - 1, (int) (area.getBottom() / pitch) + 1);

        for (int i = first; i <= last; ++i)
            wanted.emplace (filePaths[(size_t) i], i);
    }

    if (auto* focused = rowWithFocus(); focused != nullptr && wanted.count (focused->path) == 0)
        if (const int index = rowOf (focused->path); index >= 0)
            wanted.emplace (focused->path, index);

    // Rows that already show a wanted file keep it; the others are handed the files still missing.
    std::vector<RenameRow*> spare;

    for (auto& row : rowsInView)
    {
        const auto found = row->isInUse() ? wanted.find (row->path) : wanted.end();

        if (found == wanted.end())
        {
            spare.push_back (row.get());
            continue;
        }

        if (rewriteTexts && ! row->nameEditor.hasKeyboardFocus (true))
            showFileInRow (*row, found->second);
        else
            row->setBounds (0, rowTop (found->second) - 2, juce::jmax (content.getWidth(), columns.width()), columns.unit);

        row->setColumns (columns);
        showPreviewState (*row);
        wanted.erase (found);
    }

    for (const auto& [path, index] : wanted)
    {
        RenameRow* row = nullptr;

        if (! spare.empty())
        {
            row = spare.back();
            spare.pop_back();
        }
        else
        {
            row = rowsInView.emplace_back (std::make_unique<RenameRow> (
                RenameRow::Icons { playIcon, pauseIcon, removeIcon, removeOverIcon })).get();
            row->onFocusInside = [this, row] { keepRowInSight (rowOf (row->path)); };
            content.addChildComponent (row);
        }

        row->setColumns (columns);
        showFileInRow (*row, index);
        showPreviewState (*row);
        row->setVisible (true);
    }

    for (auto* row : spare)
    {
        row->setVisible (false);
        row->path.clear();
    }
}

// Rewrites a row's texts and handlers for the file at `index` of filePaths, and places it there.
void Rename::showFileInRow (RenameRow& row, int index)
{
    const auto& path = filePaths[(size_t) index];
    row.path = path;
    row.setBounds (0, rowTop (index) - 2, juce::jmax (content.getWidth(), columns.width()), columns.unit);

    row.nameLabel.setText (NameSuggestion::fromUTF8 (extractFileName (path)), juce::dontSendNotification);

    if (const auto name = shownName (path); row.nameEditor.getText() != name)
        row.nameEditor.setText (name, false);

    setupNameEditor (&row.nameEditor, path);
    row.playButton.onClick = [this, path] { playToggled (path); };
    row.removeButton.onClick = [this, path] { removeClicked (path); };
}

void Rename::showPreviewState (RenameRow& row) const
{
    row.playButton.setToggleState (row.path == previewPath && ! previewPath.empty(), juce::dontSendNotification);
    row.nameEditor.setColour (juce::TextEditor::outlineColourId,
                              row.path == playingPath && ! playingPath.empty() ? greenVekko : greyVekko);
}

void Rename::showPreviewStateOfRows()
{
    for (auto& row : rowsInView)
        if (row->isInUse())
            showPreviewState (*row);
}
