#include "rename/Rename.h"
#include "rename/RenameBatch.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include "BinaryData.h"

#include <algorithm>

namespace
{
// The icons are drawn separately; a missing one leaves an empty image, which the buttons accept.
juce::Image loadEmbeddedImage (const char* resourceName)
{
    int size = 0;
    if (const auto* data = BinaryData::getNamedResource (resourceName, size); data != nullptr && size > 0)
        return juce::ImageCache::getFromMemory (data, size);
    return {};
}
} // namespace

Rename::Rename()
{
    loadIcons();

    playbackThread.onPlaybackStateChanged = [this] (int row, bool playing) { playbackStateChanged (row, playing); };
    playbackThread.onWaveformReady = [this] (const std::string& path, const std::vector<float>& bins)
    { progressBar.setWaveform (juce::File (NameSuggestion::fromUTF8 (path)), bins); };

    setupIconButton (closeButton, removeIcon, removeOverIcon, removeOverIcon);
    addAndMakeVisible (closeButton);

    renameRulesButton.setButtonText ("RULES");
    addAndMakeVisible (renameRulesButton);

    goRenameButton.setButtonText ("GO RENAME !");
    addAndMakeVisible (goRenameButton);
    goRenameButton.onClick = [this] { goRename(); };

    addAndMakeVisible (viewport);
    viewport.setViewedComponent (&content, false);

    renameRulesButton.setColour (juce::TextButton::textColourOffId, whiteLightVekko);
    renameRulesButton.setColour (juce::TextButton::textColourOnId, greenVekko);
    goRenameButton.setColour (juce::TextButton::textColourOffId, greenVekko);
    goRenameButton.setColour (juce::TextButton::textColourOnId, whiteLightVekko);

    addAndMakeVisible (progressBar);
    progressBar.onSeek = [this] (double seconds) { seekRequested (seconds); };

    setupIconButton (pauseButton, playIcon, {}, pauseIcon);
    pauseButton.setClickingTogglesState (true);
    pauseButton.onClick = [this] { pauseClicked(); };
    addAndMakeVisible (pauseButton);

    setStatus ("Loading default instrument detection rules...");
    renameRules = buildDefaultRenameRules();
    setStatus ("Default rules loaded: " + juce::String ((int) renameRules.size()) + " detection patterns ready");
    setStatus ("Ready - Edit names on the right, click play buttons to preview");

    startTimer (kPlaybackPollMs);
}

Rename::~Rename()
{
    stopTimer();
}

void Rename::loadIcons()
{
    removeIcon = loadEmbeddedImage ("icon_remove_png");
    removeOverIcon = loadEmbeddedImage ("icon_remove_over_png");
    playIcon = loadEmbeddedImage ("icon_play_png");
    pauseIcon = loadEmbeddedImage ("icon_pause_png");
}

void Rename::setupIconButton (juce::ImageButton& button, const juce::Image& normal, const juce::Image& over,
                              const juce::Image& down)
{
    button.setImages (false, true, true,
                      normal, 1.0f, juce::Colours::transparentBlack,
                      over, 1.0f, juce::Colours::transparentBlack,
                      down, 1.0f, juce::Colours::transparentBlack,
                      0.0f);
}

std::string Rename::extractFileName (const std::string& path)
{
    return NameSuggestion::extractFileName (path);
}

void Rename::setStatus (const juce::String& text)
{
    progressBar.setText (text);
}

juce::String Rename::readyCountText() const
{
    return juce::String ((int) filePaths.size()) + " files ready for renaming - Click GO RENAME !";
}

//==============================================================================
void Rename::paint (juce::Graphics& g)
{
    auto& scrollBar = viewport.getVerticalScrollBar();
    if (! scrollBar.isVisible())
        return;

    const auto width = (float) scrollBar.getWidth() + 4.0f;
    g.setColour (blackFullVekko);
    g.fillRoundedRectangle ((float) (viewport.getX() + scrollBar.getX() - 2), (float) (viewport.getY() - 4),
                            width, (float) (viewport.getHeight() + 6), width * 0.5f);
}

void Rename::resized()
{
    const int W = getWidth();
    const int H = getHeight();
    const int unit = (int) (0.036 * W);
    const int gap = (int) (0.01 * W);
    const double u = unit;

    closeButton.setBounds ((int) (W - 2.3 * u), (int) (0.3 * u), (int) (1.2 * u), (int) (1.2 * u));
    renameRulesButton.setBounds ((int) (1.5 * u), (int) (0.3 * u), 4 * unit, (int) (1.2 * u));
    goRenameButton.setBounds ((int) (W - 6.5 * u), (int) (0.3 * u), 4 * unit, (int) (1.2 * u));
    progressBar.setBounds ((int) (4.8 * u), (int) (1.9 * u), (int) (W - 9.6 * u), unit);

    const int barHeight = progressBar.getHeight();
    const int pauseSize = (int) (1.2 * barHeight);
    pauseButton.setBounds ((int) (progressBar.getRight() + 0.1 * u), (int) (progressBar.getY() - 0.1 * barHeight),
                           pauseSize, pauseSize);

    viewport.setBounds ((int) (1.6 * u), (int) (2.2 * u + 1.3 * barHeight),
                        (int) (W - 3.3 * u), (int) (H - 3.2 * u - barHeight));
    content.setBounds (0, 0, (int) (viewport.getWidth() - 1.2 * viewport.getScrollBarThickness()),
                       (int) (0.9 * (double) ((int) filePaths.size() * unit)));

    layoutRows (unit, gap);
}

void Rename::layoutRows (int unit, int gap)
{
    const double u = unit;
    const int rowHeight = (int) (0.8 * u);
    const int viewWidth = viewport.getWidth();
    const int labelWidth = (int) (0.42 * viewWidth);
    const int editorWidth = (int) (0.44 * viewWidth);
    const int editorX = labelWidth + gap;
    const int playX = editorX + editorWidth + gap;
    const int removeX = playX + unit + gap;

    for (int i = 0; i < nameLabels.size(); ++i)
    {
        const double top = 0.9 * (double) (i * unit);
        const int y = (int) top;
        const int buttonY = (int) (top - 2.0);

        nameLabels[i]->setBounds (0, y, labelWidth, rowHeight);
        nameEditors[i]->setBounds (editorX, y, editorWidth, rowHeight);
        playButtons[(size_t) i]->setBounds (playX, buttonY, unit, unit);
        removeButtons[(size_t) i]->setBounds (removeX, buttonY, unit, unit);
    }
}

//==============================================================================
void Rename::timerCallback()
{
    if (playbackThread.currentRow.load() >= 0)
    {
        progressBar.setProgress (playbackThread.getCurrentPositionSeconds(), playbackThread.getLengthSeconds(), true);
        pauseButton.setToggleState (true, juce::dontSendNotification);
        pauseButton.setVisible (true);
        return;
    }

    progressBar.setProgress (0.0, 0.0, false);
    pauseButton.setVisible (false);

    const auto text = progressBar.getText();
    if (text.isEmpty() || text.contains ("Playing:") || text.contains ("Loading audio") || text.contains ("Stopping"))
        setStatus (readyCountText());
}

void Rename::pauseClicked()
{
    if (playbackThread.currentRow.load() < 0)
        return;

    // Nothing to do when the previewed row was removed while its stop was still pending.
    const auto it = std::find (filePaths.begin(), filePaths.end(), previewPath);
    if (it == filePaths.end())
        return;

    if (pauseButton.getToggleState())
    {
        const auto path = previewPath;
        setStatus ("Resuming: " + juce::String::fromUTF8 (extractFileName (path).c_str()));
        playbackThread.playFile (path, (int) std::distance (filePaths.begin(), it));
        return;
    }

    playbackThread.stopPlayback();
    progressBar.setProgress (0.0, 0.0, false);
    setStatus (readyCountText());
}

void Rename::seekRequested (double seconds)
{
    if (playbackThread.currentRow.load() >= 0)
        playbackThread.seekTo (seconds);
}

void Rename::playbackStateChanged (int row, bool playing)
{
    const auto rowCount = (int) playButtons.size();

    if (row >= 0 && ! playing && row < rowCount)
        playButtons[(size_t) row]->setToggleState (false, juce::dontSendNotification);

    for (auto* editor : nameEditors)
        editor->setColour (juce::TextEditor::outlineColourId, greyVekko);

    if (row >= 0 && playing && row < nameEditors.size())
        nameEditors[row]->setColour (juce::TextEditor::outlineColourId, greenVekko);
}

void Rename::goRename()
{
    // One clock reading for the history, taken before any file moves; the preview lets go of its file first.
    const auto batchTime = juce::Time::getCurrentTime();
    playbackThread.stopPlayback();
    const auto result = RenameBatch::run (filePaths, newNames, batchTime);
    setStatus (result.finalStatus());
}

//==============================================================================
void Rename::setAudioOutput (juce::MixerAudioSource* mixerToUse, juce::AudioDeviceManager* deviceManagerToUse)
{
    mixer = mixerToUse;
    deviceManager = deviceManagerToUse;
    playbackThread.mixer = mixer;
    playbackThread.deviceManager = deviceManager;

    if (mixer != nullptr && deviceManager != nullptr && ! playbackThread.isThreadRunning())
        playbackThread.startThread();
}

void Rename::shutdownPreview()
{
    playbackThread.shutdown();
}
