#include "analysis/ISRCListComponent.h"
#include "analysis/PanelFrame.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include <algorithm>

namespace
{
// "44k-24b": the rate in whole kilohertz, truncated, and the bit depth; empty for an unread file.
juce::String formatText (double sampleRate, int bitsPerSample)
{
    if (sampleRate == 0.0)
        return {};

    return juce::String ((int) (sampleRate / 1000.0)) + "k-" + juce::String (bitsPerSample) + "b";
}
} // namespace

//==============================================================================
ISRCListComponent::Row::Row()
{
    // Only the widgets take clicks: a row reaches into the next one.
    setInterceptsMouseClicks (false, true);

    nameLabel.setColour (juce::Label::backgroundColourId, maskVekko);
    nameLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (nameLabel);

    isrcEditor.setInputRestrictions (kIsrcMaxLength, kIsrcEditorCharacters);
    isrcEditor.setLook ("ISRC Code", { juce::Justification::centred, maskVekko, orangeVekko, greyLightVekkoO,
                                       orangeTransChord, termsVekko });
    addAndMakeVisible (isrcEditor);

    formatLabel.setColour (juce::Label::backgroundColourId, lightVekko);
    formatLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (formatLabel);

    removeButton.setColour (juce::TextButton::textColourOffId, greyLightVekkoO);
    removeButton.setColour (juce::TextButton::textColourOnId, whiteVekko);
    addAndMakeVisible (removeButton);
    takeNoFocus (removeButton);
}

void ISRCListComponent::Row::focusOfChildComponentChanged (FocusChangeType)
{
    if (hasKeyboardFocus (true) && onFocusInside != nullptr)
        onFocusInside();
}

//==============================================================================
ISRCListComponent::ISRCListComponent()
{
    closeButton = std::make_unique<juce::TextButton> ("X");
    addAndMakeVisible (*closeButton);
    closeButton->onClick = [this] { setVisible (false); };

    viewport = std::make_unique<RowsViewport>();
    addAndMakeVisible (*viewport);
    // Only the fields take the keyboard focus: the button and the list show none.
    takeNoFocus (*closeButton);
    takeNoFocus (*viewport);
    viewport->setViewedComponent (content.get(), false);
    viewport->onVisibleAreaChanged = [this] { showRowsInView(); };
}

ISRCListComponent::~ISRCListComponent()
{
    viewport->onVisibleAreaChanged = nullptr;
}

//==============================================================================
void ISRCListComponent::addList (const std::vector<std::string>& files)
{
    std::vector<ISRCHeaderThread::Task> reads;

    for (auto path : files)
    {
        if (! NameSuggestion::endsWithExtension (path, kAnalysisFileExtension) || ! isrcByFile.try_emplace (path).second)
            continue;

        headerByFile[path].readId = ++lastReadId;
        ++unreadHeaders;
        reads.push_back ({ lastReadId, path });
        filePaths.push_back (std::move (path));
    }

    // Queued before the rows in view are asked for first (by the layout pass).
    headerThread.read (std::move (reads));
    resized();
}

void ISRCListComponent::headersRead (const std::vector<ISRCHeaderThread::Header>& headers)
{
    const auto unreadBefore = unreadHeaders;

    for (const auto& header : headers)
    {
        // A row removed meanwhile, or listed again since, is not the one this read was for.
        const auto found = headerByFile.find (header.path);
        if (found == headerByFile.end() || found->second.readId != header.id || found->second.read)
            continue;

        found->second.read = true;
        found->second.format = formatText (header.sampleRate, header.bitsPerSample);
        isrcByFile[header.path] = header.isrc.toStdString();
        --unreadHeaders;
    }

    if (unreadHeaders != unreadBefore)
        rows.forEachBound ([this] (Row& row) { bindRow (row); });
}

void ISRCListComponent::setupISRCEditor (Row& row)
{
    row.isrcEditor.onTextChange = [this, &row] { storeEdit (row); };
}

void ISRCListComponent::storeEdit (const Row& row)
{
    // A field waiting for its file's code holds nothing typed. A row that went keeps no entry.
    if (row.isrcEditor.isReadOnly())
        return;

    const auto entry = isrcByFile.find (row.path);
    if (entry != isrcByFile.end())
        entry->second = row.isrcEditor.getText().toStdString();
}

std::unique_ptr<ISRCListComponent::Row> ISRCListComponent::makeRow()
{
    auto row = std::make_unique<Row>();
    // The row's path changes, its actions stay: a button's action must not be replaced while it runs.
    row->removeButton.onClick = [this, r = row.get()] { removeRow (r->path); };
    // Tab walks the fields down the list: the field it reaches comes into view, and with it the
    // next one, where typing would otherwise go unseen or be lost.
    row->onFocusInside = [this, r = row.get()] { keepRowInSight (r->index); };
    setupISRCEditor (*row);
    content->addChildComponent (*row);
    return row;
}

void ISRCListComponent::bindRow (Row& row)
{
    const int index = row.index;
    const auto& path = filePaths[(size_t) index];
    const auto& header = headerByFile[path];
    const bool fresh = row.path != path;

    if (fresh)
    {
        // The field's last change may not have been reported yet.
        storeEdit (row);
        row.path = path;
        row.nameLabel.setText (NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path)), juce::dontSendNotification);
    }
    if (fresh || (row.isrcEditor.isReadOnly() && header.read))
        row.isrcEditor.setText (NameSuggestion::fromUTF8 (isrcByFile[path]), false);
    row.isrcEditor.setReadOnly (! header.read);
    row.formatLabel.setText (header.format, juce::dontSendNotification);

    const int u = PanelFrame::unitOf (getWidth());
    const int viewWidth = viewport->getWidth();
    const int rowHeight = (int) (0.8 * u);

    row.setBounds (PanelFrame::rowBounds (index, u, content->getWidth()));
    row.nameLabel.setBounds (0, 2, (int) (0.67 * viewWidth), rowHeight);
    row.formatLabel.setBounds (row.nameLabel.getRight(), 2, (int) (0.09 * viewWidth), rowHeight);
    row.isrcEditor.setBounds (row.formatLabel.getRight(), 2, (int) (0.23 * viewWidth - u), rowHeight);
    row.removeButton.setBounds (row.isrcEditor.getRight() + 2, 0, u, u);
}

void ISRCListComponent::keepRowInSight (int index)
{
    if (index < 0 || index >= (int) filePaths.size())
        return;

    // Scrolls as little as it takes to show the row whole.
    const auto bounds = PanelFrame::rowBounds (index, PanelFrame::unitOf (getWidth()), content->getWidth());
    const int top = juce::jmax (0, bounds.getY());
    const auto area = viewport->getViewArea();

    if (top < area.getY())
        viewport->setViewPosition (area.getX(), top);
    else if (bounds.getBottom() > area.getBottom())
        viewport->setViewPosition (area.getX(), juce::jmin (top, bounds.getBottom() - area.getHeight()));
}

void ISRCListComponent::showRowsInView()
{
    const auto range = viewport->rowsInView (0.9 * PanelFrame::unitOf (getWidth()), (int) filePaths.size());
    rows.show (range.getStart(), range.getEnd(), [this] (Row& row, bool) { bindRow (row); });

    std::vector<ISRCHeaderThread::Task> inView;
    for (int i = range.getStart(); i < range.getEnd(); ++i)
    {
        const auto& path = filePaths[(size_t) i];
        if (const auto& header = headerByFile[path]; ! header.read)
            inView.push_back ({ header.readId, path });
    }
    headerThread.readFirst (std::move (inView));
}

//==============================================================================
void ISRCListComponent::removeRow (std::string path)
{
    const auto it = std::find (filePaths.begin(), filePaths.end(), path);

    if (it != filePaths.end())
    {
        // No field keeps the focus when rows move up under it.
        if (hasKeyboardFocus (true))
            giveAwayKeyboardFocus();

        isrcByFile.erase (path);
        if (! headerByFile[path].read)
            --unreadHeaders;
        headerByFile.erase (path);
        filePaths.erase (it);
        // Rows after it move up: every row in view is bound again.
        rows.entriesChanged ((int) filePaths.size());

        resized();
        repaint();
    }

    listChanged = true;
}

void ISRCListComponent::clearRows()
{
    // Reads under way are not waited for: their results match no row.
    headerThread.clear();
    rows.clear();
    isrcByFile.clear();
    headerByFile.clear();
    filePaths.clear();
    unreadHeaders = 0;
    // The empty content's height, or the scroll bar stays.
    resized();
}

//==============================================================================
void ISRCListComponent::paint (juce::Graphics& g)
{
    PanelFrame::paint (g, viewport->getBounds());
}

std::unique_ptr<juce::ComponentTraverser> ISRCListComponent::createKeyboardFocusTraverser()
{
    return fieldsWithoutDefaultFocus();
}

void ISRCListComponent::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int u = PanelFrame::unitOf (W);
    PanelFrame::layout (W, H, *closeButton, *viewport);
    // Only the size: the content's position is the scroll position, kept through removals. As high
    // as the rows' pitch makes them, or the last rows lie below the end of the scroll range.
    content->setSize (viewport->getWidth() - viewport->getScrollBarThickness(), PanelFrame::rowY ((int) filePaths.size(), u));
    showRowsInView();
}
