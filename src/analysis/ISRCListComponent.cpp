#include "analysis/ISRCListComponent.h"
#include "analysis/AudioConverter.h"
#include "analysis/PanelFrame.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include <algorithm>

namespace
{
// Message-thread time given to reading headers per slice, and the pause between slices.
constexpr double kReadSliceMs = 4.0;
constexpr int kReadIntervalMs = 1;

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

//==============================================================================
ISRCListComponent::ISRCListComponent()
{
    closeButton = std::make_unique<juce::TextButton> ("X");
    addAndMakeVisible (*closeButton);
    closeButton->onClick = [this] { setVisible (false); };

    viewport = std::make_unique<RowsViewport>();
    addAndMakeVisible (*viewport);
    viewport->setViewedComponent (content.get(), false);
    viewport->onVisibleAreaChanged = [this] { showRowsInView(); };
}

ISRCListComponent::~ISRCListComponent()
{
    stopTimer();
    viewport->onVisibleAreaChanged = nullptr;
}

//==============================================================================
void ISRCListComponent::addList (const std::vector<std::string>& files)
{
    for (auto path : files)
    {

        if (! NameSuggestion::endsWithExtension (path, kAnalysisFileExtension) || ! isrcByFile.try_emplace (path).second)
            continue;

        formatTexts.emplace_back();
        headerRead.push_back (false);
        filePaths.push_back (std::move (path));
    }

    resized();

    if (firstUnread < filePaths.size())
        startTimer (kReadIntervalMs);
}

void ISRCListComponent::readHeader (size_t index)
{
    if (headerRead[index])
        return;

    double sampleRate = 0.0;
    int bitsPerSample = 0;
    juce::String isrc;
    const auto& path = filePaths[index];

    // Only full paths name a file the panel could find.
    if (! path.empty() && path.front() == '/')
        AudioConverter::getFileInfo (path, sampleRate, bitsPerSample, isrc);

    isrcByFile[path] = isrc.toStdString();
    formatTexts[index] = formatText (sampleRate, bitsPerSample);
    headerRead[index] = true;
}

void ISRCListComponent::timerCallback()
{
    const auto end = juce::Time::getMillisecondCounterHiRes() + kReadSliceMs;

    for (; firstUnread < filePaths.size() && juce::Time::getMillisecondCounterHiRes() < end; ++firstUnread)
        readHeader (firstUnread);

    if (firstUnread >= filePaths.size())
        stopTimer();
}

void ISRCListComponent::setupISRCEditor (Row& row)
{
    row.isrcEditor.onTextChange = [this, &row] { storeEdit (row); };
}

void ISRCListComponent::storeEdit (const Row& row)
{
    // A row that went keeps no entry.
    const auto entry = isrcByFile.find (row.path);
    if (entry != isrcByFile.end())
        entry->second = row.isrcEditor.getText().toStdString();
}

std::unique_ptr<ISRCListComponent::Row> ISRCListComponent::makeRow()
{
    auto row = std::make_unique<Row>();
    // The row's path changes, its actions stay: a button's action must not be replaced while it runs.
    row->removeButton.onClick = [this, r = row.get()] { removeRow (r->path); };
    setupISRCEditor (*row);
    content->addChildComponent (*row);
    return row;
}

void ISRCListComponent::bindRow (Row& row)
{
    const int index = row.index;
    readHeader ((size_t) index);
    const auto& path = filePaths[(size_t) index];

    if (row.path != path)
    {
        // The field's last change may not have been reported yet.
        storeEdit (row);
        row.path = path;
        row.nameLabel.setText (NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path)), juce::dontSendNotification);
        row.isrcEditor.setText (NameSuggestion::fromUTF8 (isrcByFile[path]), false);
    }
    row.formatLabel.setText (formatTexts[(size_t) index], juce::dontSendNotification);

    const int u = PanelFrame::unitOf (getWidth());
    const int viewWidth = viewport->getWidth();
    const int rowHeight = (int) (0.8 * u);

    row.setBounds (PanelFrame::rowBounds (index, u, content->getWidth()));
    row.nameLabel.setBounds (0, 2, (int) (0.67 * viewWidth), rowHeight);
    row.formatLabel.setBounds (row.nameLabel.getRight(), 2, (int) (0.09 * viewWidth), rowHeight);
    row.isrcEditor.setBounds (row.formatLabel.getRight(), 2, (int) (0.23 * viewWidth - u), rowHeight);
    row.removeButton.setBounds (row.isrcEditor.getRight() + 2, 0, u, u);
}

void ISRCListComponent::showRowsInView()
{
    const auto range = viewport->rowsInView (0.9 * PanelFrame::unitOf (getWidth()), (int) filePaths.size());
    rows.show (range.getStart(), range.getEnd(), [this] (Row& row, bool) { bindRow (row); });
}

//==============================================================================
void ISRCListComponent::removeRow (std::string path)
{
    const auto it = std::find (filePaths.begin(), filePaths.end(), path);

    if (it != filePaths.end())
    {
        const auto index = std::distance (filePaths.begin(), it);

        // The panel is never shown by the main window; focus can only go to a button on screen.
        if (closeButton->isShowing())
            closeButton->grabKeyboardFocus();

        isrcByFile.erase (path);
        formatTexts.erase (formatTexts.begin() + index);
        headerRead.erase (headerRead.begin() + index);
        filePaths.erase (it);
        // Rows after it move up: every row in view is bound again.
        rows.entriesChanged ((int) filePaths.size());
        if ((size_t) index < firstUnread)
            --firstUnread;

        resized();
        repaint();
    }

    listChanged = true;
}

void ISRCListComponent::clearRows()
{
    stopTimer();
    rows.clear();
    isrcByFile.clear();
    formatTexts.clear();
    headerRead.clear();
    filePaths.clear();
    firstUnread = 0;
    // The empty content's height, or the scroll bar stays.
    resized();
}

//==============================================================================
void ISRCListComponent::paint (juce::Graphics& g)
{
    PanelFrame::paint (g, viewport->getBounds());
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
