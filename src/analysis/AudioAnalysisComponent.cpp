#include "analysis/AudioAnalysisComponent.h"

#include "analysis/LoudnessMeasurement.h"
#include "analysis/PanelFrame.h"
#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

namespace
{
    const juce::Colour kRemoveTextColour (0xFFB5857C);

    struct ColourClass
    {
        float below;
        juce::uint32 argb;
    };

    // First class whose bound lies strictly above the value; the last catches the rest (and NaN).
    constexpr ColourClass kLoudnessClasses[] = {
        { -30.0f, 0xFF646478 }, { -20.0f, 0xFF325032 }, { -16.0f, 0xFF326432 },
        { -12.0f, 0xFF646432 }, { -6.0f, 0xFF785032 },
    };
    constexpr ColourClass kTruePeakClasses[] = {
        { -6.0f, 0xFF325032 }, { -3.0f, 0xFF505032 }, { -1.0f, 0xFF644632 },
    };
    constexpr juce::uint32 kTopClassArgb = 0xFF783232;

    template <size_t N>
    juce::Colour classColour (const ColourClass (&classes)[N], float value)
    {
        for (const auto& c : classes)
            if (value < c.below)
                return juce::Colour (c.argb);

        return juce::Colour (kTopClassArgb);
    }

    juce::String valueText (float value, const char* unit)
    {
        return juce::String ((double) value, 2) + unit;
    }

    void setValueLabel (juce::Label& label, const juce::String& text, juce::Colour background)
    {
        label.setText (text, juce::dontSendNotification);
        label.setColour (juce::Label::backgroundColourId, background);
    }

    void makeValueLabel (juce::Label& label)
    {
        label.setColour (juce::Label::textColourId, greyWhiteVekko);
        label.setJustificationType (juce::Justification::centred);
    }
}

AudioAnalysisComponent::Row::Row()
{
    // Only the widgets take clicks: a row reaches into the next one.
    setInterceptsMouseClicks (false, true);

    nameLabel.setColour (juce::Label::backgroundColourId, maskVekko);
    nameLabel.setJustificationType (juce::Justification::centred);
    makeValueLabel (lufsLabel);
    makeValueLabel (truePeakLabel);
    removeButton.setColour (juce::TextButton::textColourOffId, kRemoveTextColour);
    removeButton.setColour (juce::TextButton::textColourOnId, whiteVekko);

    for (auto* widget : std::initializer_list<juce::Component*> { &nameLabel, &lufsLabel, &truePeakLabel, &removeButton })
        addAndMakeVisible (widget);    // Tab goes from field to field; the button shows no focus.
    takeNoFocus (removeButton);
}

AudioAnalysisComponent::AudioAnalysisComponent()
{
    closeButton = std::make_unique<juce::TextButton> ("X");
    addAndMakeVisible (*closeButton);
    closeButton->onClick = [this] { closePanel(); };

    viewport = std::make_unique<RowsViewport>();
    addAndMakeVisible (*viewport);
    // Only the fields take the keyboard focus: the button and the list show none.
    takeNoFocus (*closeButton);
    takeNoFocus (*viewport);
    viewport->setViewedComponent (content.get(), false);
    viewport->onVisibleAreaChanged = [this] { showRowsInView(); };

    installResultCallback();
    startTimer (kAnalysisTickMs);
}

AudioAnalysisComponent::~AudioAnalysisComponent()
{
    stopTimer();
    stopAnalysis();
    analysisThread.onAnalysisResult = nullptr;
    analysisThread.clearQueue();
    viewport->onVisibleAreaChanged = nullptr;
}

//==============================================================================
void AudioAnalysisComponent::installResultCallback()
{
    // Runs on the worker: copies the result and posts it, touching nothing of the panel.
    analysisThread.onAnalysisResult = [safeThis = juce::Component::SafePointer<AudioAnalysisComponent> (this),
                                       generation = listGeneration] (const std::string& path, int row, float lufs,
                                                                     float truePeak)
    {
        juce::MessageManager::callAsync ([safeThis, generation, path, row, lufs, truePeak]
        {
            if (safeThis != nullptr && safeThis->listGeneration == generation)
                safeThis->updateAnalysisResult (path, row, lufs, truePeak);
        });
    };
}

void AudioAnalysisComponent::stopAnalysis()
{
    // Waits as long as it takes, never killing the thread (which could leave its queue lock taken):
    // the worker's reads end as soon as it is asked to exit, so the wait is one block at most.
    if (analysisThread.isThreadRunning())
        analysisThread.stopThread (-1);
}

bool AudioAnalysisComponent::isAnalysing() const
{
    return analysisThread.isThreadRunning();
}

juce::String AudioAnalysisComponent::animationDots (int tick)
{
    return juce::String::repeatedString (".", (tick / 6) % 8 + 1);
}

//==============================================================================
void AudioAnalysisComponent::addList (const std::vector<std::string>& files)
{
    for (auto path : files)
    {

        if (! NameSuggestion::endsWithExtension (path, kAnalysisFileExtension) || ! listedFiles.insert (path).second)
            continue;

        lufsByFile.emplace (path, kNotAnalysedValue);
        truePeakByFile.emplace (path, kNotAnalysedValue);
        analysingByFile.emplace (path, false);
        rowOfPath.emplace (path, filePaths.size());
        rowStates.emplace_back();
        filePaths.push_back (std::move (path));
    }

    resized();
}

void AudioAnalysisComponent::removeRow (std::string path)
{
    const auto found = rowOfPath.find (path);
    if (found == rowOfPath.end())
        return;

    const auto i = found->second;
    rowOfPath.erase (found);
    for (auto& entry : rowOfPath)
        if (entry.second > i)
            --entry.second;

    listedFiles.erase (path);
    lufsByFile.erase (path);
    truePeakByFile.erase (path);
    analysingByFile.erase (path);
    filePaths.erase (filePaths.begin() + (std::ptrdiff_t) i);
    rowStates.erase (rowStates.begin() + (std::ptrdiff_t) i);
    // Rows after it move up: every row in view is bound again.
    rows.entriesChanged ((int) filePaths.size());

    // No field keeps the focus when rows move up under it.
    if (hasKeyboardFocus (true))
        giveAwayKeyboardFocus();

    resized();
    repaint();
}

void AudioAnalysisComponent::startBackgroundAnalysis()
{
    // Tasks still queued while the worker is stopped are kept: their rows are marked as analysing
    // and would never be queued again.
    for (size_t i = 0; i < filePaths.size(); ++i)
    {
        const auto& path = filePaths[i];
        auto& analysing = analysingByFile[path];

        if (analysing || lufsByFile[path] != kNotAnalysedValue)
            continue;

        analysing = true;
        rowStates[i].queuedAtTick = animationTick;

        const juce::ScopedLock lock (analysisThread.queueLock);
        analysisThread.taskQueue.push_back ({ path, (int) i });
    }

    rows.forEachBound ([this] (Row& row) { showValues (row); });

    if (analysisThread.hasQueuedTasks() && ! analysisThread.isThreadRunning())
        analysisThread.startThread();
}

void AudioAnalysisComponent::updateAnalysisResult (const std::string& path, int /*row*/, float lufs, float truePeak)
{
    const auto found = rowOfPath.find (path);
    if (found == rowOfPath.end())
        return;

    const auto i = found->second;
    lufsByFile[path] = lufs;
    truePeakByFile[path] = truePeak;
    analysingByFile[path] = false;
    rowStates[i].failed = lufs == kNotAnalysedValue;

    if (auto* row = rows.find ((int) i))
        showValues (*row);
}

void AudioAnalysisComponent::clearList()
{
    stopAnalysis();
    analysisThread.onAnalysisResult = nullptr;
    analysisThread.clearQueue();

    rows.clear();
    listedFiles.clear();
    lufsByFile.clear();
    truePeakByFile.clear();
    analysingByFile.clear();
    filePaths.clear();
    rowStates.clear();
    rowOfPath.clear();

    ++listGeneration;
    installResultCallback();

    // The empty content's height, or the scroll bar stays.
    resized();
}

void AudioAnalysisComponent::timerCallback()
{
    // The worker may have ended just as tasks were appended: start it again rather than leave
    // their rows at "Analyzing".
    if (! analysisThread.isThreadRunning() && analysisThread.hasQueuedTasks())
        analysisThread.startThread();

    ++animationTick;
    rows.forEachBound ([this] (Row& row)
    {
        if (analysingByFile[filePaths[(size_t) row.index]])
            showValues (row);
    });
}

void AudioAnalysisComponent::showValues (Row& row)
{
    const auto& path = filePaths[(size_t) row.index];
    const auto& state = rowStates[(size_t) row.index];
    const float lufs = lufsByFile[path];

    if (analysingByFile[path])
    {
        setValueLabel (row.lufsLabel, "Analyzing", greyDownVekko);
        setValueLabel (row.truePeakLabel, state.queuedAtTick == animationTick ? juce::String (".")
                                                                               : animationDots (animationTick),
                       greyDownVekko);
    }
    else if (lufs == kNotAnalysedValue)
    {
        const juce::String text (state.failed ? "Error" : "Pending...");
        setValueLabel (row.lufsLabel, text, greyDownVekko);
        setValueLabel (row.truePeakLabel, text, greyDownVekko);
    }
    else
    {
        const float truePeak = truePeakByFile[path];
        setValueLabel (row.lufsLabel, valueText (lufs, " LUFS"), classColour (kLoudnessClasses, lufs));
        setValueLabel (row.truePeakLabel, valueText (truePeak, " dBTP"), classColour (kTruePeakClasses, truePeak));
    }
}

std::unique_ptr<AudioAnalysisComponent::Row> AudioAnalysisComponent::makeRow()
{
    auto row = std::make_unique<Row>();
    // The row's path changes, its action stays: a button's action must not be replaced while it runs.
    row->removeButton.onClick = [this, r = row.get()] { removeRow (r->path); };
    content->addChildComponent (*row);
    return row;
}

void AudioAnalysisComponent::bindRow (Row& row)
{
    const int index = row.index;
    const auto& path = filePaths[(size_t) index];

    if (row.path != path)
    {
        row.path = path;
        row.nameLabel.setText (NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path)),
                               juce::dontSendNotification);
    }
    showValues (row);

    const int u = PanelFrame::unitOf (getWidth());
    const int viewWidth = viewport->getWidth();
    const int contentWidth = content->getWidth();
    const int rowHeight = (int) (0.8 * u);
    const int lufsWidth = (int) (0.14 * viewWidth);
    const int truePeakWidth = (int) (0.12 * viewWidth);
    // The name gives up what the remove button needs: at 0.742 of the width the button would lie
    // past the content's right edge, where nobody can see or click it.
    const int nameWidth = juce::jmax (0, juce::jmin ((int) (0.742 * viewWidth),
                                                     contentWidth - lufsWidth - truePeakWidth - 2 - u));

    row.setBounds (PanelFrame::rowBounds (index, u, contentWidth));
    row.nameLabel.setBounds (0, 2, nameWidth, rowHeight);
    row.lufsLabel.setBounds (row.nameLabel.getRight(), 2, lufsWidth, rowHeight);
    row.truePeakLabel.setBounds (row.lufsLabel.getRight(), 2, truePeakWidth, rowHeight);
    row.removeButton.setBounds (row.truePeakLabel.getRight() + 2, 0, u, u);
}

void AudioAnalysisComponent::showRowsInView()
{
    const auto range = viewport->rowsInView (0.9 * PanelFrame::unitOf (getWidth()), (int) filePaths.size());
    rows.show (range.getStart(), range.getEnd(), [this] (Row& row, bool) { bindRow (row); });
}

void AudioAnalysisComponent::closePanel()
{
    setVisible (false);

    if (auto* parent = getParentComponent())
    {
        for (auto* child : parent->getChildren())
        {
            if (auto* target = dynamic_cast<DragAndDropDemoTarget*> (child))
            {
                target->acceptFiles = true;
                break;
            }
        }
    }
}

//==============================================================================
std::unique_ptr<juce::ComponentTraverser> AudioAnalysisComponent::createKeyboardFocusTraverser()
{
    return fieldsWithoutDefaultFocus();
}

void AudioAnalysisComponent::resized()
{
    const int u = PanelFrame::unitOf (getWidth());
    PanelFrame::layout (getWidth(), getHeight(), *closeButton, *viewport);
    content->setSize (viewport->getWidth() - viewport->getScrollBarThickness(), (int) ((int) filePaths.size() * u * 0.9));
    showRowsInView();
}

void AudioAnalysisComponent::paint (juce::Graphics& g)
{
    PanelFrame::paint (g, viewport->getBounds());
}
