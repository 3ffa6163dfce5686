// The rename page's rows: intake with suggestions, the name editors' handlers, unique names,
// ordering, preview requests, removal and clearing. Message thread only.
#include "rename/Rename.h"
#include "app/FileIntake.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"
#include "rename/SortOrder.h"
#include "rename/UniqueName.h"

#include <algorithm>

namespace
{
// A row's widgets are handed to other files as the list scrolls; a message from an editor that has
// meanwhile changed files must not be taken for its former file.
bool editorShows (const juce::TextEditor& editor, const std::string& path)
{
    const auto* row = dynamic_cast<const RenameRow*> (editor.getParentComponent());
    return row == nullptr || (row->index >= 0 && row->path == path);
}
} // namespace

//==============================================================================
void Rename::addList (const std::vector<std::string>& files, bool moreToCome)
{
    setStatus ("Analyzing filenames and generating suggestions...");

    for (const auto& path : files)
    {
        if (! NameSuggestion::isAudioFile (path))
        {
            setStatus ("Skipping non-audio file: " + NameSuggestion::fromUTF8 (extractFileName (path)));
            continue;
        }

        if (newNames.count (path) != 0)
            continue;

        // Taken as the file comes in: GO RENAME renames this file, not whatever stands at its path by then.
        fileIdentities[path] = FileIdentity::of (path);

        const auto suggestion = NameSuggestion::suggestName (renameRules, path);
        newNames[path] = suggestion;
        setStatus ("Added: " + NameSuggestion::describeRenaming (extractFileName (path), NameSuggestion::fromUTF8 (suggestion)));
        filePaths.push_back (path);
    }

    if (moreToCome)
        return;

    sortByNewNames();
    resized();

    setStatus ("Ready - " + juce::String ((int) filePaths.size())
               + " files with suggestions - Edit names and click GO RENAME");
}

//==============================================================================
void Rename::setupNameEditor (juce::TextEditor* editor, const std::string& path)
{
    editor->onTextChange = [this, path, editor] { nameTextChanged (path, *editor); };
    editor->onReturnKey = [this, editor] { nameReturnPressed (*editor); };
    editor->onFocusLost = [this, path, editor] { nameFieldLeft (path, *editor); };
}

void Rename::nameTextChanged (std::string path, juce::TextEditor& editor)
{
    if (! editorShows (editor, path))
        return;

    const auto text = editor.getText();
    newNames[path] = text.toStdString();

    if (text.trim().isNotEmpty())
        setStatus ("Filename updated: " + NameSuggestion::describeRenaming (extractFileName (path), text));
}

void Rename::nameReturnPressed (juce::TextEditor& editor)
{
    editor.giveAwayKeyboardFocus();
    setStatus ("Name confirmed - Click GO RENAME when ready");
}

// The path arrives by value: the sort below rebinds this editor's callbacks, which destroys the
// closure that holds the captured path.
void Rename::nameFieldLeft (std::string path, juce::TextEditor& editor)
{
    if (rowOf (path) < 0)
        return;

    // A name is taken here: control characters pasted into it are dropped, in the field too.
    const bool shown = editorShows (editor, path);
    const auto typed = shown ? editor.getText() : NameSuggestion::fromUTF8 (newNames[path]);
    const auto cleaned = NameSuggestion::replacingControlCharacters (typed, {});
    if (cleaned != typed)
    {
        if (shown)
            editor.setText (cleaned, false);
        newNames[path] = cleaned.toStdString();
    }

    const auto base = (shown ? cleaned : shownName (path)).trim();

    if (base.isNotEmpty())
    {
        const auto unique = ensureUniqueName (base, path);
        if (unique != base)
        {
            if (shown)
                editor.setText (unique, false);
            newNames[path] = unique.toStdString();
            setStatus ("Name adjusted to avoid duplicate: " + unique);
        }
    }

    sortByNewNames();
    resized();
}

juce::String Rename::ensureUniqueName (const juce::String& desiredName, const std::string& path) const
{
    return UniqueName::makeUnique (desiredName, path, newNames);
}

//==============================================================================
void Rename::sortByNewNames()
{
    if (filePaths.empty())
        return;

    filePaths = SortOrder::sortedByNewName (filePaths, newNames);
    rebuildDisplayOrder();
}

// Every row follows its file and is rewritten there; the row holding the keyboard focus keeps what
// is being typed, and the list scrolls to keep it in sight.
void Rename::rebuildDisplayOrder()
{
    rowsFollowTheirFiles();
    // An intake sorts before it lays out: the list must already be long enough to scroll to the row.
    content.setSize (content.getWidth(), (int) (0.9 * (double) ((int) filePaths.size() * columns.unit)));

    rowsInView.forEachBound ([this] (RenameRow& row)
    {
        if (row.hasKeyboardFocus (true))
            keepRowInSight (row.index);
    });

    showRowsInView (true);
}

//==============================================================================
void Rename::playToggled (std::string path)
{
    if (rowOf (path) < 0)
        return;

    const auto fileName = NameSuggestion::fromUTF8 (extractFileName (path));

    // The toggle shows the page's record: on exactly for the file of the last play request.
    if (path == previewPath)
    {
        stopPreview();
        setStatus (readyCountText());
        return;
    }

    // Only a regular file can be previewed: anything else would play nothing and say nothing, and
    // no toggle stays on for it.
    if (! FileIntake::isRegularFile (path))
    {
        stopPreview();
        setStatus ("Error: File not found - " + fileName);
        return;
    }

    setStatus ("Loading audio preview: " + fileName);
    progressBar.loadWaveform (path, fileName);
    playbackThread.stopPlayback();
    previewNumber = nextPreviewNumber();
    previewPath = path;
    playbackThread.playFile (path, previewNumber);
    showPreviewStateOfRows();
    setStatus ("Playing: " + fileName + " - Click waveform to jump to position");
}

void Rename::removeClicked (std::string path)
{
    setStatus ("Removing: " + NameSuggestion::fromUTF8 (extractFileName (path)));
    removeItem (path);
}

void Rename::removeItem (const std::string& pathToRemove)
{
    // The caller's path may live in the closure of the remove button whose row changes below.
    const std::string path = pathToRemove;

    const int row = rowOf (path);
    if (row < 0)
        return;

    stopPreview();
    if (path == playingPath)
        forgetPreview();

    releaseFocusFromRows();

    newNames.erase (path);
    fileIdentities.erase (path);
    filePaths.erase (filePaths.begin() + row);
    rowsFollowTheirFiles();

    resized();
    repaint();

    setStatus (juce::String ((int) filePaths.size()) + " files remaining");
}

void Rename::clearList()
{
    setStatus ("All files cleared");
    stopPreview();
    forgetPreview();

    releaseFocusFromRows();

    rowsInView.clear();

    newNames.clear();
    fileIdentities.clear();
    filePaths.clear();
    resized();

    setStatus ("Ready for new audio files");
}

// No editor keeps the keyboard focus when rows go or move. Nothing else takes it: a button holding
// it would be clicked by the next Return.
void Rename::releaseFocusFromRows()
{
    if (content.hasKeyboardFocus (true))
        content.giveAwayKeyboardFocus();
}

// The field being typed in is left at once, as a click elsewhere would leave it: its name is cleaned
// and made unique, and the rows sorted. (The framework reports the focus loss only later; the
// handler then finds nothing more to do.)
void Rename::leaveNameField()
{
    RenameRow* typing = nullptr;
    rowsInView.forEachBound ([&typing] (RenameRow& row)
    {
        if (row.nameEditor.hasKeyboardFocus (true))
            typing = &row;
    });

    if (typing == nullptr)
        return;

    const auto path = typing->path;
    releaseFocusFromRows();
    nameFieldLeft (path, typing->nameEditor);
}
