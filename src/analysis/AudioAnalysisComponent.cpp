#include "analysis/AudioAnalysisComponent.h"

#include "analysis/LoudnessMeasurement.h"
#include "analysis/PanelFrame.h"
#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

namespace
{
    constexpr int kClearListStopTimeoutMs = 2000;
    constexpr int kDestructorStopTimeoutMs = 5000;

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

    void setValueTexts (juce::Label& lufsLabel, juce::Label& truePeakLabel, const juce::String& lufsText,
                        const juce::String& truePeakText)
    {
        lufsLabel.setText (lufsText, juce::dontSendNotification);
        truePeakLabel.setText (truePeakText, juce::dontSendNotification);
    }

    std::unique_ptr<juce::Label> makeValueLabel()
    {
        auto label = std::make_unique<juce::Label> (juce::String(), "Pending...");
        label->setColour (juce::Label::backgroundColourId, greyDownVekko);
        label->setColour (juce::Label::textColourId, greyWhiteVekko);
        label->setJustificationType (juce::Justification::centred);
        return label;
    }
}

AudioAnalysisComponent::AudioAnalysisComponent()
{
    closeButton = std::make_unique<juce::TextButton> ("X");
    addAndMakeVisible (*closeButton);
    closeButton->onClick = [this] { closePanel(); };

    viewport = std::make_unique<juce::Viewport>();
    addAndMakeVisible (*viewport);
    content = std::make_unique<juce::Component>();
    viewport->setViewedComponent (content.get(), false);

    installResultCallback();
    startTimer (kAnalysisTickMs);
}

AudioAnalysisComponent::~AudioAnalysisComponent()
{
    stopTimer();
    stopAnalysis (kDestructorStopTimeoutMs);
    analysisThread.onAnalysisResult = nullptr;
    analysisThread.clearQueue();
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

void AudioAnalysisComponent::stopAnalysis (int timeoutMs)
{
    if (analysisThread.isThreadRunning())
        analysisThread.stopThread (timeoutMs);
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
void AudioAnalysisComponent::addList (const juce::StringArray& files)
{
    for (const auto& file : files)
    {
        const auto path = file.toStdString();

        if (! NameSuggestion::endsWithExtension (path, kAnalysisFileExtension) || listedFiles.count (path) != 0)
            continue;

        auto* nameLabel = nameLabels.add (std::make_unique<juce::Label> (juce::String(),
                                          NameSuggestion::fromUTF8 (NameSuggestion::extractFileName (path))));
        nameLabel->setColour (juce::Label::backgroundColourId, maskVekko);
        nameLabel->setJustificationType (juce::Justification::centred);
        content->addAndMakeVisible (nameLabel);

        content->addAndMakeVisible (lufsLabels.add (makeValueLabel()));
        content->addAndMakeVisible (truePeakLabels.add (makeValueLabel()));

        auto* removeButton = removeButtons.add (std::make_unique<juce::TextButton> ("X"));
        removeButton->setColour (juce::TextButton::textColourOffId, kRemoveTextColour);
        removeButton->setColour (juce::TextButton::textColourOnId, whiteVekko);
        removeButton->onClick = [this, path] { removeRow (path); };
        content->addAndMakeVisible (removeButton);

        listedFiles.insert (path);
        lufsByFile[path] = kNotAnalysedValue;
        truePeakByFile[path] = kNotAnalysedValue;
        analysingByFile[path] = false;
        filePaths.push_back (path);
    }

    resized();
}

void AudioAnalysisComponent::removeRow (const std::string& path)
{
    // path belongs to the lambda of the button deleted below: keep a copy.
    const std::string removed = path;

    const auto found = std::find (filePaths.begin(), filePaths.end(), removed);
    if (found == filePaths.end())
        return;

    const int i = (int) std::distance (filePaths.begin(), found);
    nameLabels.remove (i);
    lufsLabels.remove (i);
    truePeakLabels.remove (i);
    removeButtons.remove (i);

    listedFiles.erase (removed);
    lufsByFile.erase (removed);
    truePeakByFile.erase (removed);
    analysingByFile.erase (removed);
    filePaths.erase (filePaths.begin() + i);

    // Focus can only go to a component on the screen; the panel may be listing while hidden.
    if (closeButton->isShowing())
        closeButton->grabKeyboardFocus();

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

        if (lufsByFile[path] != kNotAnalysedValue || analysingByFile[path])
            continue;

        analysingByFile[path] = true;

        if ((int) i < lufsLabels.size())
            setValueTexts (*lufsLabels[(int) i], *truePeakLabels[(int) i], "Analyzing", ".");

        const juce::ScopedLock lock (analysisThread.queueLock);
        analysisThread.taskQueue.push_back ({ path, (int) i });
    }

    if (analysisThread.hasQueuedTasks() && ! analysisThread.isThreadRunning())
        analysisThread.startThread();
}

void AudioAnalysisComponent::updateAnalysisResult (const std::string& path, int /*row*/, float lufs, float truePeak)
{
    const auto found = std::find (filePaths.begin(), filePaths.end(), path);
    if (found == filePaths.end())
        return;

    const int i = (int) std::distance (filePaths.begin(), found);
    lufsByFile[path] = lufs;
    truePeakByFile[path] = truePeak;
    analysingByFile[path] = false;

    if (i < lufsLabels.size())
    {
        auto& lufsLabel = *lufsLabels[i];
        auto& truePeakLabel = *truePeakLabels[i];

        if (lufs == kNotAnalysedValue)
        {
            setValueTexts (lufsLabel, truePeakLabel, "Error", "Error");
        }
        else
        {
            setValueTexts (lufsLabel, truePeakLabel, valueText (lufs, " LUFS"), valueText (truePeak, " dBTP"));
            lufsLabel.setColour (juce::Label::backgroundColourId, classColour (kLoudnessClasses, lufs));
            truePeakLabel.setColour (juce::Label::backgroundColourId, classColour (kTruePeakClasses, truePeak));
        }
    }

    repaint();
}

void AudioAnalysisComponent::clearList()
{
    stopAnalysis (kClearListStopTimeoutMs);
    analysisThread.onAnalysisResult = nullptr;
    analysisThread.clearQueue();

    content->removeAllChildren();
    nameLabels.clear();
    lufsLabels.clear();
    truePeakLabels.clear();
    removeButtons.clear();

    listedFiles.clear();
    lufsByFile.clear();
    truePeakByFile.clear();
    analysingByFile.clear();
    filePaths.clear();

    ++listGeneration;
    installResultCallback();
}

void AudioAnalysisComponent::timerCallback()
{
    // The worker may have ended just as tasks were appended: start it again rather than leave
    // their rows at "Analyzing".
    if (! analysisThread.isThreadRunning() && analysisThread.hasQueuedTasks())
        analysisThread.startThread();

    ++animationTick;
    const auto dots = animationDots (animationTick);

    for (int i = 0; i < (int) filePaths.size() && i < lufsLabels.size(); ++i)
        if (analysingByFile[filePaths[(size_t) i]])
            setValueTexts (*lufsLabels[i], *truePeakLabels[i], "Analyzing", dots);
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
void AudioAnalysisComponent::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int u = PanelFrame::unitOf (W);
    PanelFrame::layout (W, H, *closeButton, *viewport);
    const int viewWidth = viewport->getWidth();
    const int rows = (int) filePaths.size();
    content->setSize (viewWidth - viewport->getScrollBarThickness(), (int) ((rows * u) * 0.9));

    const int rowHeight = (int) (0.8 * u);
    const int lufsWidth = (int) (0.14 * viewWidth);
    const int truePeakWidth = (int) (0.12 * viewWidth);
    // The name gives up what the remove button needs: at 0.742 of the width the button would lie
    // past the content's right edge, where nobody can see or click it.
    const int nameWidth = juce::jmax (0, juce::jmin ((int) (0.742 * viewWidth),
                                                     content->getWidth() - lufsWidth - truePeakWidth - 2 - u));
    for (int i = 0; i < rows && i < nameLabels.size(); ++i)
    {
        const int y = (int) ((i * u) * 0.9);

        auto* nameLabel = nameLabels[i];
        nameLabel->setBounds (0, y, nameWidth, rowHeight);
        lufsLabels[i]->setBounds (nameLabel->getRight(), y, lufsWidth, rowHeight);
        truePeakLabels[i]->setBounds (lufsLabels[i]->getRight(), y, truePeakWidth, rowHeight);
        removeButtons[i]->setBounds (truePeakLabels[i]->getRight() + 2, (int) ((i * u) * 0.9 - 2.0), u, u);
        removeButtons[i]->setAlwaysOnTop (false);
    }
}

void AudioAnalysisComponent::paint (juce::Graphics& g)
{
    PanelFrame::paint (g, viewport->getBounds());
}
