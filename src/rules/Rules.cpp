// The rules page's frame, lists, selection, row handlers, drawing and layout. Message thread only.
#include "rules/Rules.h"

#include "look/Palette.h"
#include "rules/RuleTableEdits.h"

#include "BinaryData.h"

namespace
{
juce::Image loadIcon (const void* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}

void styleEditor (juce::TextEditor& editor, const juce::String& text, const juce::String& placeholder,
                  juce::Colour highlight, juce::Colour outline)
{
    editor.setText (text, juce::dontSendNotification);
    editor.setTextToShowWhenEmpty (placeholder, termsVekko);
    editor.setJustification (juce::Justification::centred);
    editor.setCaretVisible (true);
    editor.setMultiLine (false, false);
    editor.setWantsKeyboardFocus (true);
    editor.setReadOnly (false);
    editor.setColour (juce::TextEditor::backgroundColourId, blackVekko);
    editor.setColour (juce::TextEditor::highlightColourId, highlight);
    editor.setColour (juce::TextEditor::focusedOutlineColourId, greenVekko);
    editor.setColour (juce::TextEditor::outlineColourId, outline);
    editor.setColour (juce::TextEditor::textColourId, greyWhiteVekko);
    editor.setColour (juce::TextEditor::shadowColourId, blackUltraVekko);
}

// Positions are computed in floating point and truncated toward zero, as everywhere on the page.
int toInt (double value) noexcept { return (int) value; }
} // namespace

//==============================================================================
void InstrumentTextEditor::focusGained (juce::Component::FocusChangeType cause)
{
    juce::TextEditor::focusGained (cause);

    if (onFocusGained != nullptr)
        onFocusGained();
}

//==============================================================================
Rules::Rules()
{
    addAndMakeVisible (statusLabel);
    statusLabel.setJustificationType (juce::Justification::centred);
    statusLabel.setColour (juce::Label::textColourId, greyWhiteVekko);
    statusLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    statusLabel.setInterceptsMouseClicks (false, false);
    setStatus (kTitleText);

    deleteIcon = loadIcon (BinaryData::icon_remove_png, BinaryData::icon_remove_pngSize);
    deleteOverIcon = loadIcon (BinaryData::icon_remove_over_png, BinaryData::icon_remove_over_pngSize);
    upIcon = loadIcon (BinaryData::icon_up_png, BinaryData::icon_up_pngSize);
    upOverIcon = loadIcon (BinaryData::icon_up_over_png, BinaryData::icon_up_over_pngSize);
    downIcon = loadIcon (BinaryData::icon_down_png, BinaryData::icon_down_pngSize);
    downOverIcon = loadIcon (BinaryData::icon_down_over_png, BinaryData::icon_down_over_pngSize);
    closeButton = makeIconButton (deleteIcon, deleteOverIcon);
    addAndMakeVisible (*closeButton);
    closeButton->setAlwaysOnTop (false);

    const std::pair<juce::TextButton*, const char*> fileButtons[] = {
        { &saveRulesButton, "SAVE RULES" },
        { &saveRulesAsButton, "SAVE RULES AS" },
        { &defaultRulesButton, "DEFAULT RULES" },
        { &loadRulesButton, "LOAD RULES" },
    };
    for (const auto& [button, text] : fileButtons)
    {
        button->setButtonText (text);
        addAndMakeVisible (*button);
    }
    saveRulesButton.onClick = [this] { saveRules(); };
    saveRulesAsButton.onClick = [this] { saveRulesAs(); };
    defaultRulesButton.onClick = [this] { restoreDefaultRules(); };
    loadRulesButton.onClick = [this] { loadCSVRules(); };

    addAndMakeVisible (instrumentsViewport);
    instrumentsViewport.setViewedComponent (&instrumentsContent, false);
    // Scroll bar on the left: the column's right edge is where the connector starts.
    instrumentsViewport.setScrollBarPosition (false, false);

    addInstrumentButton.setButtonText ("ADD INSTRUMENT");
    addInstrumentButton.setColour (juce::TextButton::textColourOffId, greenVekko);
    addInstrumentButton.setColour (juce::TextButton::buttonColourId, orangeVekko);
    instrumentsContent.addAndMakeVisible (addInstrumentButton);
    addInstrumentButton.onClick = [this] { addInstrument(); };

    addAndMakeVisible (termsViewport);
    termsViewport.setViewedComponent (&termsContent, false);

    addTermButton.setButtonText ("ADD TERM");
    addTermButton.setColour (juce::TextButton::textColourOffId, greenVekko);
    addTermButton.setColour (juce::TextButton::buttonColourId, orangeVekko);
    termsContent.addAndMakeVisible (addTermButton);
    addTermButton.onClick = [this] { addNewTerme(); };

    for (auto* button : { &defaultRulesButton, &loadRulesButton, &saveRulesButton, &saveRulesAsButton })
    {
        button->setColour (juce::TextButton::textColourOffId, whiteLightVekko);
        button->setColour (juce::TextButton::textColourOnId, greenVekko);
    }
}

Rules::~Rules() = default;

bool Rules::isValidASCII (const juce::String& text)
{
    return RuleFile::isValidASCII (text);
}

void Rules::setStatus (const juce::String& text)
{
    statusLabel.setText (text, juce::dontSendNotification);
}

void Rules::commitWorkingTerms()
{
    RuleTableEdits::commitWorkingTerms (instruments, selectedIndex, workingTerms);
}

std::unique_ptr<juce::ImageButton> Rules::makeIconButton (const juce::Image& normal, const juce::Image& over) const
{
    auto button = std::make_unique<juce::ImageButton>();
    button->setImages (false, true, true,
                       normal, 1.0f, juce::Colours::transparentBlack,
                       over, 1.0f, juce::Colours::transparentBlack,
                       over, 1.0f, juce::Colours::transparentBlack);
    return button;
}

//==============================================================================
void Rules::loadDefaultRules()
{
    loadRulesFromFile (juce::File());
}

void Rules::loadRulesFromFile (const juce::File& file)
{
    rulesFile = file;
    instruments.clear();
    selectedIndex = -1;
    workingTerms.clear();

    instruments = file == juce::File() ? RuleFile::readDefaultRules()
                                       : RuleFile::read (RuleFile::readFileText (file));
    updateInstrumentsList();

    if (! instruments.empty())
    {
        selectInstrument (0);
        selectButtons[0]->setToggleState (true, juce::dontSendNotification);
        setStatus ("Edit instrument name and configure detection terms - Click other instruments to switch");
    }
    else
    {
        updateTermesList();
        setStatus ("No rules loaded - Click DEFAULT RULES to start or LOAD RULES to import CSV");
    }
}

//==============================================================================
void Rules::updateInstrumentsList()
{
    instrumentEditors.clear();
    selectButtons.clear();
    upButtons.clear();
    downButtons.clear();
    deleteButtons.clear();

    for (int i = 0; i < (int) instruments.size(); ++i)
        createInstrumentRow (i);

    instrumentsContent.addAndMakeVisible (addInstrumentButton);
    addInstrumentButton.toFront (false);

    if (RuleTableEdits::isValidIndex (instruments, selectedIndex))
    {
        const int index = selectedIndex;
        selectInstrument (index);
        // Its click handler selects the same instrument again.
        selectButtons[index]->setToggleState (true, juce::sendNotificationSync);
    }

    resized();
}

void Rules::createInstrumentRow (int i)
{
    auto* editor = instrumentEditors.add (new InstrumentTextEditor());
    styleEditor (*editor, instruments[(size_t) i].name, "Enter instrument name...", greenVekko, greyVekko);
    editor->onTextChange = [this, i, editor] { instrumentNameChanged (i, *editor); };
    editor->onReturnKey = [this, editor] { editorReturnPressed (*editor, "Instrument name updated"); };
    editor->onFocusGained = [this, i] { instrumentNameFocused (i); };
    instrumentsContent.addAndMakeVisible (editor);

    auto* select = selectButtons.add (new juce::TextButton());
    select->setClickingTogglesState (true);
    select->setRadioGroupId (2);
    select->onClick = [this, i] { selectInstrument (i); };
    instrumentsContent.addAndMakeVisible (select);

    auto& up = *upButtons.emplace_back (makeIconButton (upIcon, upOverIcon));
    up.onClick = [this, i] { moveInstrument (i, -1); };
    instrumentsContent.addAndMakeVisible (up);

    auto& down = *downButtons.emplace_back (makeIconButton (downIcon, downOverIcon));
    down.onClick = [this, i] { moveInstrument (i, +1); };
    instrumentsContent.addAndMakeVisible (down);

    auto& remove = *deleteButtons.emplace_back (makeIconButton (deleteIcon, deleteOverIcon));
    remove.onClick = [this, i] { deleteInstrument (i); };
    instrumentsContent.addAndMakeVisible (remove);
}

void Rules::selectInstrument (int index)
{
    if (! RuleTableEdits::isValidIndex (instruments, index))
        return;

    commitWorkingTerms();
    selectedIndex = index;
    workingTerms = instruments[(size_t) index].termes;
    setStatus ("Editing terms for: " + instruments[(size_t) index].name);

    for (int i = 0; i < instrumentEditors.size(); ++i)
    {
        const bool selected = (i == index);
        auto* editor = instrumentEditors[i];
        editor->setColour (juce::TextEditor::backgroundColourId, selected ? greyDownVekko : blackVekko);
        editor->setColour (juce::TextEditor::outlineColourId, selected ? greenVekko : greyDownVekko);

        for (auto* buttons : { &upButtons, &downButtons, &deleteButtons })
            if (i < (int) buttons->size())
                (*buttons)[(size_t) i]->setVisible (selected);
    }

    updateTermesList();
    repaint();
}

void Rules::updateTermesList()
{
    termEditors.clear();
    termDeleteButtons.clear();

    if (! RuleTableEdits::isValidIndex (instruments, selectedIndex))
    {
        workingTerms.clear();

        if (! instruments.empty())
            setStatus ("Select an instrument to edit its terms");
    }

    for (int j = 0; j < (int) workingTerms.size(); ++j)
        createTermRow (j);

    termsContent.addAndMakeVisible (addTermButton);
    addTermButton.toFront (false);

    // Rebuilding the terms must not scroll the instrument list.
    const int instrumentsScroll = instrumentsViewport.getViewPositionY();
    resized();
    instrumentsViewport.setViewPosition (0, instrumentsScroll);
}

void Rules::createTermRow (int j)
{
    auto* editor = termEditors.add (new juce::TextEditor());
    styleEditor (*editor, workingTerms[(size_t) j], "Enter term...", orangeVekko, greenVekko);
    editor->onTextChange = [this, j, editor] { termChanged (j, *editor); };
    editor->onReturnKey = [this, editor] { editorReturnPressed (*editor, "Detection term updated"); };
    termsContent.addAndMakeVisible (editor);

    auto& remove = *termDeleteButtons.emplace_back (makeIconButton (deleteIcon, deleteOverIcon));
    remove.onClick = [this, j] { deleteTerm (j); };
    termsContent.addAndMakeVisible (remove);
}

//==============================================================================
// Row handlers. Each is bound to its row's index when the row is made; a rebuild makes new ones,
// and an index that is no longer valid does nothing.
void Rules::instrumentNameChanged (int index, const juce::TextEditor& editor)
{
    if (RuleTableEdits::isValidIndex (instruments, index))
        instruments[(size_t) index].name = editor.getText();
}

void Rules::instrumentNameFocused (int index)
{
    if (! RuleTableEdits::isValidIndex (instruments, index) || index >= selectButtons.size())
        return;

    selectInstrument (index);
    selectButtons[index]->setToggleState (true, juce::sendNotificationSync);
}

void Rules::moveInstrument (int index, int direction)
{
    if (RuleTableEdits::moveInstrument (instruments, selectedIndex, workingTerms, index, direction))
        updateInstrumentsList();
}

void Rules::deleteInstrument (int index)
{
    const bool wasSelected = (index == selectedIndex);

    if (! RuleTableEdits::deleteInstrument (instruments, selectedIndex, workingTerms, index))
        return;

    if (wasSelected && selectedIndex < 0)
        updateTermesList();

    updateInstrumentsList();
}

void Rules::termChanged (int index, const juce::TextEditor& editor)
{
    if (index >= 0 && index < (int) workingTerms.size())
        workingTerms[(size_t) index] = editor.getText();
}

void Rules::deleteTerm (int index)
{
    if (index < 0 || index >= (int) workingTerms.size())
        return;

    workingTerms.erase (workingTerms.begin() + index);
    updateTermesList();
}

void Rules::editorReturnPressed (juce::TextEditor& editor, const juce::String& status)
{
    editor.giveAwayKeyboardFocus();
    setStatus (status);
}

//==============================================================================
void Rules::paint (juce::Graphics& g)
{
    paintConnector (g);

    g.setColour (blackVekko);

    for (auto* viewport : { &instrumentsViewport, &termsViewport })
    {
        const auto& bar = viewport->getVerticalScrollBar();

        if (! bar.isVisible())
            continue;

        const auto width = (float) bar.getWidth() + 4.0f;
        g.fillRoundedRectangle ((float) (viewport->getX() + bar.getX() - 2), (float) (viewport->getY() - 4),
                                width, (float) (viewport->getHeight() + 6), width * 0.5f);
    }
}

void Rules::paintConnector (juce::Graphics& g)
{
    if (! RuleTableEdits::isValidIndex (instruments, selectedIndex)
        || selectedIndex >= (int) deleteButtons.size() || selectedIndex >= instrumentEditors.size())
        return;

    const auto V = instrumentsViewport.getBounds();
    const auto D = deleteButtons[(size_t) selectedIndex]->getBounds();
    const auto* editor = instrumentEditors[selectedIndex];
    const int h = toInt (D.getHeight() * 0.5 + V.getY());
    const int c = h - instrumentsViewport.getViewPositionY() + D.getY();
    const auto right = (float) V.getRight();

    g.setColour (termsVekko);

    if (V.getY() < c && c < V.getBottom())
        g.drawLine ((float) (V.getX() + editor->getRight()), (float) c, right, (float) c, 2.0f);

    // With no term row there is nothing on the right to lead to.
    if (termDeleteButtons.empty() || termEditors.isEmpty())
        return;

    const int t = termDeleteButtons.front()->getY() + h;
    g.drawLine (right, (float) juce::jlimit (V.getY(), V.getBottom(), c), right, (float) t, 2.0f);
    g.drawLine (right, (float) t, (float) (termsViewport.getX() + termEditors[0]->getX()), (float) t, 2.0f);
}

void Rules::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int u = toInt (0.036 * W);
    const int g = toInt (0.2 * u);
    const int square = toInt (1.2 * u);
    const int columnWidth = toInt (0.48 * W);

    closeButton->setBounds (toInt (W - 2.3 * u), toInt (0.3 * u), square, square);
    defaultRulesButton.setBounds (toInt (2.5 * u), toInt (0.3 * u), toInt (3.5 * u), square);
    loadRulesButton.setBounds (toInt (6.5 * u), toInt (0.3 * u), toInt (3.5 * u), square);
    saveRulesButton.setBounds (18 * u, toInt (0.3 * u), toInt (3.5 * u), square);
    saveRulesAsButton.setBounds (22 * u, toInt (0.3 * u), toInt (3.5 * u), square);
    statusLabel.setBounds (toInt (4.8 * u), toInt (1.9 * u), toInt (W - 9.6 * u), u);

    const int labelHeight = statusLabel.getHeight();
    instrumentsViewport.setBounds (2 * u, toInt (2.2 * u + 1.3 * labelHeight), columnWidth, H - 3 * u - labelHeight);
    termsViewport.setBounds (columnWidth + 2 * u, instrumentsViewport.getY(), W - columnWidth - 4 * u,
                             instrumentsViewport.getHeight());

    layoutInstrumentRows (u, g);
    layoutTermRows (u, g);
}

void Rules::layoutInstrumentRows (int u, int g)
{
    const int n = (int) instruments.size();
    instrumentsContent.setBounds (0, 0, instrumentsViewport.getWidth() - instrumentsViewport.getScrollBarThickness(),
                                  toInt (0.9 * ((n + 1) * u) + 0.5 * u));

    for (int i = 0; i < instrumentEditors.size(); ++i)
    {
        const int buttonY = toInt (0.9 * (i * u) - 0.1 * u);
        auto* select = selectButtons[i];
        auto* editor = instrumentEditors[i];
        select->setBounds (2 * g, buttonY, u, u);
        editor->setBounds (select->getRight() + g, toInt (0.9 * (i * u)),
                           toInt (0.575 * instrumentsViewport.getWidth()), toInt (0.8 * u));

        int x = editor->getRight() + g;

        for (auto* buttons : { &upButtons, &downButtons, &deleteButtons })
        {
            if (i >= (int) buttons->size())
                continue;

            (*buttons)[(size_t) i]->setBounds (x, buttonY, u, u);
            x += u + g;
        }
    }

    if (n > 0 && ! instrumentEditors.isEmpty())
        addInstrumentButton.setBounds (instrumentEditors[0]->getX(), toInt (0.9 * (n * u)),
                                       instrumentEditors[0]->getWidth(), toInt (1.2 * u));
}

void Rules::layoutTermRows (int u, int g)
{
    const int m = (int) workingTerms.size();
    const int editorWidth = toInt (0.78 * termsViewport.getWidth() - g);
    termsContent.setBounds (0, 0, termsViewport.getWidth() - termsViewport.getScrollBarThickness(),
                            toInt (0.9 * ((m + 1) * u) + 0.5 * u));

    for (int j = 0; j < termEditors.size(); ++j)
    {
        auto* editor = termEditors[j];
        editor->setBounds (3 * g, toInt (0.9 * (j * u)), editorWidth, toInt (0.8 * u));

        if (j < (int) termDeleteButtons.size())
            termDeleteButtons[(size_t) j]->setBounds (editor->getRight() + g, toInt (0.9 * (j * u) - 0.1 * u), u, u);
    }

    if (m > 0 && ! termEditors.isEmpty())
        addTermButton.setBounds (termEditors[0]->getX(), toInt (0.9 * (m * u)), termEditors[0]->getWidth(), toInt (1.2 * u));
    else
        addTermButton.setBounds (3 * g, 0, editorWidth, u);
}
