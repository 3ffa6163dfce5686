// The rename page's rows: intake with suggestions, the name editors' handlers, unique names,
// ordering, removal and clearing. Message thread only.
#include "rename/Rename.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"
#include "rename/SortOrder.h"
#include "rename/UniqueName.h"

#include <algorithm>

namespace
{
int indexOfPath (const std::vector<std::string>& paths, const std::string& path)
{
    const auto it = std::find (paths.begin(), paths.end(), path);
    return it == paths.end() ? -1 : (int) std::distance (paths.begin(), it);
}
} // namespace

//==============================================================================
void Rename::addList (const juce::StringArray& files)
{
    setStatus ("Analyzing filenames and generating suggestions...");

    for (const auto& file : files)
    {
        const auto path = file.toStdString();

        if (! NameSuggestion::isAudioFile (path))
        {
            setStatus ("Skipping non-audio file: " + NameSuggestion::fromUTF8 (extractFileName (path)));
            continue;
        }

        if (newNames.count (path) != 0)
            continue;

        createRow (path);

        const auto suggestion = NameSuggestion::suggestName (renameRules, path);
        newNames[path] = suggestion.toStdString();
        nameEditors.getLast()->setText (suggestion, false);
        setStatus ("Added: " + NameSuggestion::describeRenaming (extractFileName (path), suggestion));
        filePaths.push_back (path);
    }

    sortByNewNames();
    resized();

    setStatus ("Ready - " + juce::String ((int) filePaths.size())
               + " files with suggestions - Edit names and click GO RENAME");
}

void Rename::createRow (const std::string& path)
{
    auto* label = nameLabels.add (new RoundedLabel());
    label->setText (NameSuggestion::fromUTF8 (extractFileName (path)), juce::dontSendNotification);
    label->setColour (juce::Label::backgroundColourId, transparentVekko);
    label->setColour (juce::Label::textColourId, greyWhiteVekko);
    label->setJustificationType (juce::Justification::centredLeft);
    content.addAndMakeVisible (label);

    auto* editor = nameEditors.add (new juce::TextEditor());
    editor->setTextToShowWhenEmpty ("Nouveau nom...", termsVekko);
    editor->setJustification (juce::Justification::centredLeft);
    editor->setCaretVisible (true);
    editor->setMultiLine (false, false);
    editor->setReadOnly (false);
    editor->setWantsKeyboardFocus (true);
    editor->setColour (juce::TextEditor::backgroundColourId, blackVekko);
    editor->setColour (juce::TextEditor::textColourId, greyWhiteVekko);
    editor->setColour (juce::TextEditor::highlightColourId, greenVekko);
    editor->setColour (juce::TextEditor::focusedOutlineColourId, greenVekko);
    editor->setColour (juce::TextEditor::outlineColourId, greyVekko);
    editor->setColour (juce::TextEditor::shadowColourId, termsVekko);
    setupNameEditor (editor, path);
    content.addAndMakeVisible (editor);

    auto& play = *playButtons.emplace_back (std::make_unique<juce::ImageButton>());
    setupIconButton (play, playIcon, {}, pauseIcon);
    play.setClickingTogglesState (true);
    play.onClick = [this, path] { playToggled (path); };
    content.addAndMakeVisible (play);

    auto& remove = *removeButtons.emplace_back (std::make_unique<juce::ImageButton>());
    setupIconButton (remove, removeIcon, removeOverIcon, removeOverIcon);
    remove.onClick = [this, path] { removeClicked (path); };
    content.addAndMakeVisible (remove);
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
    const auto base = editor.getText().trim();

    if (base.isNotEmpty())
    {
        const auto unique = ensureUniqueName (base, path);
        if (unique != base)
        {
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

void Rename::rebuildDisplayOrder()
{
    const auto rows = std::min ((int) filePaths.size(), nameLabels.size());

    for (int i = 0; i < rows; ++i)
    {
        const auto& path = filePaths[(size_t) i];
        const auto fileName = NameSuggestion::fromUTF8 (extractFileName (path));

        nameLabels[i]->setText (fileName, juce::dontSendNotification);

        const auto stored = newNames.find (path);
        const auto name = stored != newNames.end() ? NameSuggestion::fromUTF8 (stored->second) : juce::String();
        auto* editor = nameEditors[i];
        editor->setText (name.isEmpty() ? fileName : name, false);

        setupNameEditor (editor, path);
        playButtons[(size_t) i]->onClick = [this, path] { playToggled (path); };
        removeButtons[(size_t) i]->onClick = [this, path] { removeClicked (path); };
    }
}

//==============================================================================
void Rename::playToggled (std::string path)
{
    const int row = indexOfPath (filePaths, path);
    if (row < 0)
        return;

    const auto fileName = NameSuggestion::fromUTF8 (extractFileName (path));

    if (! playButtons[(size_t) row]->getToggleState())
    {
        playbackThread.stopPlayback();
        progressBar.setProgress (0.0, 0.0, false);
        setStatus (readyCountText());
        return;
    }

    setStatus ("Loading audio preview: " + fileName);
    progressBar.loadWaveform (juce::File (NameSuggestion::fromUTF8 (path)));
    playbackThread.stopPlayback();
    playbackThread.playFile (path, row);
    previewPath = path;
    setStatus ("Playing: " + fileName + " - Click waveform to jump to position");
}

void Rename::removeClicked (std::string path)
{
    setStatus ("Removing: " + NameSuggestion::fromUTF8 (extractFileName (path)));
    removeItem (path);
}

void Rename::removeItem (const std::string& pathToRemove)
{
    // The caller's path may live in the closure of the remove button deleted below.
    const std::string path = pathToRemove;

    const int row = indexOfPath (filePaths, path);
    if (row < 0)
        return;

    playbackThread.stopPlayback();

    // Focus leaves the rows before the row goes: a focused widget being deleted would hand the
    // focus on to another row's editor, whose focus-lost handling would then rename and re-sort.
    if (content.hasKeyboardFocus (true))
        closeButton.grabKeyboardFocus();

    nameLabels.remove (row);
    nameEditors.remove (row);
    playButtons.erase (playButtons.begin() + row);
    removeButtons.erase (removeButtons.begin() + row);

    newNames.erase (path);
    filePaths.erase (filePaths.begin() + row);

    if (closeButton.isShowing())
        closeButton.grabKeyboardFocus();
    resized();
    repaint();

    setStatus (juce::String ((int) filePaths.size()) + " files remaining");
}

void Rename::clearList()
{
    setStatus ("All files cleared");
    playbackThread.stopPlayback();

    // As in removeItem: focus must not wander from one deleted row to the next.
    if (content.hasKeyboardFocus (true))
        closeButton.grabKeyboardFocus();

    // Editors go first, last row first: each takes a caret timer out of the framework's timer
    // queue, which is cheap only at its end, and a parent change would recreate every caret.
    nameEditors.clear();
    content.removeAllChildren();
    nameLabels.clear();
    playButtons.clear();
    removeButtons.clear();

    newNames.clear();
    filePaths.clear();

    setStatus ("Ready for new audio files");
}
