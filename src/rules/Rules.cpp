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

FocusCaretEditor::Look editorLook (juce::Colour highlight, juce::Colour outline)
{
    return { juce::Justification::centred, blackVekko, highlight, outline, greenVekko, blackUltraVekko };
}

// Positions are computed in floating point and truncated toward zero, as everywhere on the page.
int toInt (double value) noexcept { return (int) value; }

// Scrolls a list as little as it takes to show row index whole (rows stand 0.9 u apart, u high).
void keepRowInView (juce::Viewport& viewport, int u, int index)
{
    const int top = juce::jmax (0, toInt (0.9 * (index * u) - 0.1 * u));
    const auto area = viewport.getViewArea();

    if (top < area.getY())
        viewport.setViewPosition (0, top);
    else if (top + u > area.getBottom())
        viewport.setViewPosition (0, top + u - area.getHeight());
}
} // namespace

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

    // A click between the rows leaves the focus where it is, rather than on a row above the view.
    takeNoFocus (instrumentsContent);
    takeNoFocus (termsContent);
    // Tab goes from field to field, past the last row and round to the first: on the buttons and
    // lists, which show no focus, typing vanished unseen and Return added a row or threw every edit
    // away (DEFAULT RULES). Nor does it leave the page for a field of the window that it covers.
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);
    takeNoFocus ({ &addInstrumentButton, &addTermButton, &defaultRulesButton, &loadRulesButton, &saveRulesButton,
                   &saveRulesAsButton, closeButton.get(), &instrumentsViewport, &termsViewport });

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

    // Rows get widgets as they come into view; the connector follows the instrument list.
    instrumentsViewport.onVisibleAreaChanged = [this] { coverInstrumentRows (false); repaint(); };
    termsViewport.onVisibleAreaChanged = [this] { coverTermRows (false); };
}

Rules::~Rules()
{
    // The rows go before the viewports: nothing may cover rows from here on.
    instrumentsViewport.onVisibleAreaChanged = nullptr;
    termsViewport.onVisibleAreaChanged = nullptr;
}

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
    showTable (file, file == juce::File() ? RuleFile::readDefaultRules() : RuleFile::read (RuleFile::readFileText (file)));
}

void Rules::showTable (const juce::File& file, std::vector<Instrument> table)
{
    rulesFile = file;
    selectedIndex = -1;
    workingTerms.clear();
    instruments = std::move (table);
    updateInstrumentsList();

    // A new table is shown from its top, where its selected first instrument stands, wherever the
    // list was scrolled before.
    instrumentsViewport.setViewPosition (0, 0);

    if (! instruments.empty())
    {
        selectInstrument (0);

        if (auto* row = findInstrumentRow (0))
            row->selectButton.setToggleState (true, juce::dontSendNotification);

        setStatus ("Edit instrument name and configure detection terms - Click other instruments to switch");
    }
    else
    {
        updateTermesList();
        setStatus (kEmptyTableText);
    }
}

//==============================================================================
void Rules::updateInstrumentsList()
{
    instrumentRows.entriesChanged ((int) instruments.size());

    addInstrumentButton.setVisible (true);
    addInstrumentButton.toFront (false);

    if (RuleTableEdits::isValidIndex (instruments, selectedIndex))
    {
        const int index = selectedIndex;
        selectInstrument (index);

        // Its click handler selects the same instrument again.
        if (auto* row = findInstrumentRow (index))
            row->selectButton.setToggleState (true, juce::sendNotificationSync);
    }

    resized();
}

std::unique_ptr<InstrumentRow> Rules::makeInstrumentRow()
{
    auto row = std::make_unique<InstrumentRow> (instrumentsContent, makeIconButton (upIcon, upOverIcon),
                                                makeIconButton (downIcon, downOverIcon),
                                                makeIconButton (deleteIcon, deleteOverIcon));
    auto& r = *row;

    // Handlers act on the instrument that the row shows when they run.
    r.nameEditor.setLook ("Enter instrument name...", editorLook (greenVekko, greyVekko));
    r.nameEditor.setInputRestrictions (RuleFile::kMaxFieldChars);   // a paste cannot make a line too long to draw
    r.nameEditor.onTextChange = [this, &r] { instrumentNameChanged (r.index, r.nameEditor); };
    r.nameEditor.onReturnKey = [this, &r] { editorReturnPressed (r.nameEditor, "Instrument name updated"); };
    r.nameEditor.onFocusGained = [this, &r] { instrumentNameFocused (r.index); };

    r.selectButton.setClickingTogglesState (true);
    r.selectButton.setRadioGroupId (2);
    r.selectButton.onClick = [this, &r] { selectInstrument (r.index); };

    r.upButton->onClick = [this, &r] { moveInstrument (r.index, -1); };
    r.downButton->onClick = [this, &r] { moveInstrument (r.index, +1); };
    r.deleteButton->onClick = [this, &r] { deleteInstrument (r.index); };
    return row;
}

// Fills a row for instrument row.index: name, selection look, and its place in the list.
void Rules::showInstrumentRow (InstrumentRow& row)
{
    const int i = row.index;
    const bool selected = (i == selectedIndex);
    const auto& name = instruments[(size_t) i].name;

    if (row.nameEditor.getText() != name)
        row.nameEditor.setText (name, juce::dontSendNotification);

    row.nameEditor.setColour (juce::TextEditor::backgroundColourId, selected ? greyDownVekko : blackVekko);
    row.nameEditor.setColour (juce::TextEditor::outlineColourId, selected ? greenVekko : greyDownVekko);
    row.selectButton.setToggleState (selected, juce::dontSendNotification);

    const int u = unit();
    const int g = toInt (0.2 * u);
    const int buttonY = toInt (0.9 * (i * u) - 0.1 * u);
    row.selectButton.setBounds (2 * g, buttonY, u, u);
    row.nameEditor.setBounds (row.selectButton.getRight() + g, toInt (0.9 * (i * u)),
                              toInt (0.575 * instrumentsViewport.getWidth()), toInt (0.8 * u));

    // Only the selected row shows its move and delete buttons.
    int x = row.nameEditor.getRight() + g;

    for (auto* button : { row.upButton.get(), row.downButton.get(), row.deleteButton.get() })
    {
        button->setBounds (x, buttonY, u, u);
        button->setVisible (selected);
        x += u + g;
    }
}

// Gives the rows in view their widgets; fillAll fills the rows that kept theirs again too.
void Rules::coverInstrumentRows (bool fillAll)
{
    const auto range = instrumentsViewport.rowsInView (0.9 * unit(), (int) instruments.size());
    instrumentRows.show (range.getStart(), range.getEnd(), [this, fillAll] (InstrumentRow& row, bool fresh)
    {
        // A field being typed in keeps its row even once its instrument is deleted, until the rows
        // learn of it: there is nothing left to fill it from.
        if ((fresh || fillAll) && RuleTableEdits::isValidIndex (instruments, row.index))
            showInstrumentRow (row);
    });
}

void Rules::selectInstrument (int index)
{
    if (! RuleTableEdits::isValidIndex (instruments, index))
        return;

    commitWorkingTerms();
    const bool otherInstrument = index != selectedIndex;
    selectedIndex = index;
    workingTerms = instruments[(size_t) index].termes;
    setStatus ("Editing terms for: " + instruments[(size_t) index].name);

    instrumentRows.forEachBound ([this] (InstrumentRow& row) { showInstrumentRow (row); });
    updateTermesList();

    // Another instrument's terms start at the top; the same one's stay where they were.
    if (otherInstrument)
        termsViewport.setViewPosition (0, 0);

    repaint();
}

void Rules::updateTermesList()
{
    if (! RuleTableEdits::isValidIndex (instruments, selectedIndex))
    {
        workingTerms.clear();

        if (! instruments.empty())
            setStatus ("Select an instrument to edit its terms");
    }

    termRows.entriesChanged ((int) workingTerms.size());

    addTermButton.setVisible (true);
    addTermButton.toFront (false);

    resized();
    repaint();   // the connector leads to the first term row, or nowhere when there is none
}

std::unique_ptr<TermRow> Rules::makeTermRow()
{
    auto row = std::make_unique<TermRow> (termsContent, makeIconButton (deleteIcon, deleteOverIcon));
    auto& r = *row;

    // Tab or a click into a term brings its row into view.
    r.editor.onFocusGained = [this, &r] { keepRowInView (termsViewport, unit(), r.index); };

    r.editor.setLook ("Enter term...", editorLook (orangeVekko, greenVekko));
    r.editor.setInputRestrictions (RuleFile::kMaxFieldChars);   // a paste cannot make a line too long to draw
    r.editor.onTextChange = [this, &r] { termChanged (r.index, r.editor); };
    r.editor.onReturnKey = [this, &r] { editorReturnPressed (r.editor, "Detection term updated"); };
    r.deleteButton->onClick = [this, &r] { deleteTerm (r.index); };
    return row;
}

void Rules::showTermRow (TermRow& row)
{
    const int j = row.index;
    const auto& term = workingTerms[(size_t) j];

    if (row.editor.getText() != term)
        row.editor.setText (term, juce::dontSendNotification);

    const int u = unit();
    const int g = toInt (0.2 * u);
    row.editor.setBounds (3 * g, toInt (0.9 * (j * u)), toInt (0.78 * termsViewport.getWidth() - g), toInt (0.8 * u));
    row.deleteButton->setBounds (row.editor.getRight() + g, toInt (0.9 * (j * u) - 0.1 * u), u, u);
}

void Rules::coverTermRows (bool fillAll)
{
    const auto range = termsViewport.rowsInView (0.9 * unit(), (int) workingTerms.size());
    termRows.show (range.getStart(), range.getEnd(), [this, fillAll] (TermRow& row, bool fresh)
    {
        if ((fresh || fillAll) && row.index < (int) workingTerms.size())
            showTermRow (row);
    });
}

int Rules::unit() const noexcept
{
    return toInt (0.036 * getWidth());
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
    if (! RuleTableEdits::isValidIndex (instruments, index))
        return;

    selectInstrument (index);

    if (auto* row = findInstrumentRow (index))
        row->selectButton.setToggleState (true, juce::sendNotificationSync);

    // Tab may lead to the row just past the view: the list follows the focus.
    keepRowInView (instrumentsViewport, unit(), index);
}

void Rules::moveInstrument (int index, int direction)
{
    if (RuleTableEdits::moveInstrument (instruments, selectedIndex, workingTerms, index, direction))
    {
        updateInstrumentsList();
        keepRowInView (instrumentsViewport, unit(), selectedIndex);
    }
}

void Rules::deleteInstrument (int index)
{
    const bool wasSelected = (index == selectedIndex);

    if (! RuleTableEdits::deleteInstrument (instruments, selectedIndex, workingTerms, index))
        return;

    if (wasSelected && selectedIndex < 0)
        updateTermesList();

    updateInstrumentsList();

    // The status named the instrument just deleted.
    if (instruments.empty())
        setStatus (kEmptyTableText);
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
    if (! RuleTableEdits::isValidIndex (instruments, selectedIndex))
        return;

    // The selected row's geometry, whether or not it has widgets now.
    const int u = unit();
    const int gap = toInt (0.2 * u);
    const auto V = instrumentsViewport.getBounds();
    const int h = toInt (u * 0.5 + V.getY());
    const int c = h - instrumentsViewport.getViewPositionY() + toInt (0.9 * (selectedIndex * u) - 0.1 * u);
    const int editorRight = 3 * gap + u + toInt (0.575 * V.getWidth());
    const auto right = (float) V.getRight();

    g.setColour (termsVekko);

    if (V.getY() < c && c < V.getBottom())
        g.drawLine ((float) (V.getX() + editorRight), (float) c, right, (float) c, 2.0f);

    // With no term row there is nothing on the right to lead to.
    if (workingTerms.empty())
        return;

    const int t = toInt (-0.1 * u) + h;
    g.drawLine (right, (float) juce::jlimit (V.getY(), V.getBottom(), c), right, (float) t, 2.0f);
    g.drawLine (right, (float) t, (float) (termsViewport.getX() + 3 * gap), (float) t, 2.0f);
}

std::unique_ptr<juce::ComponentTraverser> Rules::createKeyboardFocusTraverser()
{
    return fieldsWithoutDefaultFocus();
}

void Rules::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int u = unit();
    const int square = toInt (1.2 * u);
    const int columnWidth = toInt (0.48 * W);

    closeButton->setBounds (toInt (W - 2.3 * u), toInt (0.3 * u), square, square);
    defaultRulesButton.setBounds (toInt (2.5 * u), toInt (0.3 * u), toInt (3.5 * u), square);
    loadRulesButton.setBounds (toInt (6.5 * u), toInt (0.3 * u), toInt (3.5 * u), square);
    saveRulesButton.setBounds (18 * u, toInt (0.3 * u), toInt (3.5 * u), square);
    saveRulesAsButton.setBounds (22 * u, toInt (0.3 * u), toInt (3.5 * u), square);
    statusLabel.setBounds (toInt (4.8 * u), toInt (1.9 * u), toInt (W - 9.6 * u), u);
    // One line of text: a second one ran over the rim and into the rounded ends. A long status (a
    // long name in it) is narrowed, then cut short with "...".
    statusLabel.setBorderSize ({ u / 10, 5, u / 10, 5 });

    const int labelHeight = statusLabel.getHeight();
    instrumentsViewport.setBounds (2 * u, toInt (2.2 * u + 1.3 * labelHeight), columnWidth, H - 3 * u - labelHeight);
    termsViewport.setBounds (columnWidth + 2 * u, instrumentsViewport.getY(), W - columnWidth - 4 * u,
                             instrumentsViewport.getHeight());

    layoutInstrumentRows();
    layoutTermRows();
}

void Rules::layoutInstrumentRows()
{
    const int u = unit();
    const int g = toInt (0.2 * u);
    const int n = (int) instruments.size();
    // Resized where it stands: the list keeps its scroll position through every rebuild.
    instrumentsContent.setSize (instrumentsViewport.getWidth() - instrumentsViewport.getScrollBarThickness(),
                                toInt (0.9 * ((n + 1) * u) + 0.5 * u));

    // Below the last row, where a name editor would stand; at the top of an empty table.
    addInstrumentButton.setBounds (3 * g + u, toInt (0.9 * (n * u)), toInt (0.575 * instrumentsViewport.getWidth()),
                                   toInt (1.2 * u));

    coverInstrumentRows (true);
}

void Rules::layoutTermRows()
{
    const int u = unit();
    const int g = toInt (0.2 * u);
    const int m = (int) workingTerms.size();
    const int editorWidth = toInt (0.78 * termsViewport.getWidth() - g);
    termsContent.setSize (termsViewport.getWidth() - termsViewport.getScrollBarThickness(),
                          toInt (0.9 * ((m + 1) * u) + 0.5 * u));

    if (m > 0)
        addTermButton.setBounds (3 * g, toInt (0.9 * (m * u)), editorWidth, toInt (1.2 * u));
    else
        addTermButton.setBounds (3 * g, 0, editorWidth, u);

    coverTermRows (true);
}
