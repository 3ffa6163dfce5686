#include "rename/Rename.h"
#include "rename/RenameBatch.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

#include "BinaryData.h"

#include <algorithm>
#include <limits>

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
    { progressBar.setWaveform (path, bins); };

    RenameRow::setIconImages (closeButton, removeIcon, removeOverIcon, removeOverIcon);
    addAndMakeVisible (closeButton);

    renameRulesButton.setButtonText ("RULES");
    addAndMakeVisible (renameRulesButton);

    goRenameButton.setButtonText ("GO RENAME !");
    addAndMakeVisible (goRenameButton);
    goRenameButton.onClick = [this]
    {
        // The second press of a double-click would run the batch again at once: the files just moved
        // would be missing, and its status and history would stand in place of the first batch's.
        if (goRenamePresses.presses <= 1)
            goRename();
    };
    goRenameButton.addMouseListener (&goRenamePresses, false);

    addAndMakeVisible (viewport);
    viewport.setViewedComponent (&content, false);
    viewport.onVisibleAreaChanged = [this] { showRowsInView (false); };

    renameRulesButton.setColour (juce::TextButton::textColourOffId, whiteLightVekko);
    renameRulesButton.setColour (juce::TextButton::textColourOnId, greenVekko);
    goRenameButton.setColour (juce::TextButton::textColourOffId, greenVekko);
    goRenameButton.setColour (juce::TextButton::textColourOnId, whiteLightVekko);

    addAndMakeVisible (progressBar);
    progressBar.onSeek = [this] (double seconds) { seekRequested (seconds); };

    RenameRow::setIconImages (pauseButton, playIcon, {}, pauseIcon);
    pauseButton.setClickingTogglesState (true);
    pauseButton.onClick = [this] { pauseClicked(); };
    addAndMakeVisible (pauseButton);

    // These buttons show no focus, so they take none: a Return pressed after a click would run GO
    // RENAME again, or, once the pause button hides and the focus falls to RULES, leave the page.
    takeNoFocus ({ &closeButton, &renameRulesButton, &goRenameButton, &pauseButton });

    // Tab goes round the page's own name fields: not onto the list, where typing vanished unseen,
    // nor onto the home page's controls beneath the page.
    takeNoFocus (viewport);
    setFocusContainerType (FocusContainerType::keyboardFocusContainer);

    setStatus ("Loading default instrument detection rules...");
    renameRules = buildDefaultRenameRules();
    setStatus ("Default rules loaded: " + juce::String ((int) renameRules.size()) + " detection patterns ready");
    setStatus ("Ready - Edit names on the right, click play buttons to preview");

    startTimer (kPlaybackPollMs);
}

Rename::~Rename()
{
    stopTimer();
    // The viewport goes after the rows and may still report its area on the way out.
    viewport.onVisibleAreaChanged = nullptr;
}

void Rename::loadIcons()
{
    removeIcon = loadEmbeddedImage ("icon_remove_png");
    removeOverIcon = loadEmbeddedImage ("icon_remove_over_png");
    playIcon = loadEmbeddedImage ("icon_play_png");
    pauseIcon = loadEmbeddedImage ("icon_pause_png");
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
std::unique_ptr<juce::ComponentTraverser> Rename::createKeyboardFocusTraverser()
{
    return fieldsWithoutDefaultFocus();
}

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
    // Sized, not moved: the list keeps its scroll position when a field is left or files arrive.
    content.setSize ((int) (viewport.getWidth() - 1.2 * viewport.getScrollBarThickness()),
                     (int) (0.9 * (double) ((int) filePaths.size() * unit)));

    const int viewWidth = viewport.getWidth();
    columns = { unit, gap, (int) (0.42 * viewWidth), (int) (0.44 * viewWidth) };
    showRowsInView (false);
}

//==============================================================================
namespace
{
// The bar writes the play time ("00:05", "100:00") over the status while a preview is active, and
// leaves it there when the preview ends.
bool isPlayTimeText (const juce::String& text)
{
    return text.containsChar (':') && text.containsOnly ("0123456789:");
}
} // namespace

void Rename::timerCallback()
{
    // A preview the page has stopped is not shown while the player is still letting it go: its play
    // time would cover the status that the stop was followed by.
    if (playbackThread.currentRow.load() >= 0 && previewNumber >= 0)
    {
        progressBar.setProgress (playbackThread.getCurrentPositionSeconds(), playbackThread.getLengthSeconds(), true);
        pauseButton.setToggleState (true, juce::dontSendNotification);
        pauseButton.setVisible (true);
        return;
    }

    pauseButton.setVisible (false);

    // A play request the player has not taken up yet: the bar goes on saying that it loads. A request
    // that failed or was given up ends with the player's notice, which clears previewNumber.
    if (previewNumber >= 0)
        return;

    // An idle bar is not repainted thirty times a second.
    if (progressBar.isPreviewActive() || progressBar.isLoadingPreview() || progressBar.getPositionSeconds() != 0.0
        || progressBar.getLengthSeconds() != 0.0)
        progressBar.setProgress (0.0, 0.0, false);

    const auto text = progressBar.getText();
    if (text.isEmpty() || text.contains ("Playing:") || text.contains ("Loading audio") || text.contains ("Stopping")
        || isPlayTimeText (text))
        setStatus (readyCountText());
}

void Rename::pauseClicked()
{
    const int number = playbackThread.currentRow.load();
    if (number < 0)
        return;

    // Nothing to do when the previewed file was removed while its stop was still pending.
    const auto path = number == previewNumber ? previewPath : number == playingNumber ? playingPath : std::string();
    if (path.empty() || rowOf (path) < 0)
        return;

    if (pauseButton.getToggleState())
    {
        setStatus ("Resuming: " + NameSuggestion::fromUTF8 (extractFileName (path)));
        previewNumber = nextPreviewNumber();
        previewPath = path;
        playbackThread.playFile (path, previewNumber);
        showPreviewStateOfRows();
        return;
    }

    stopPreview();
    setStatus (readyCountText());
}

void Rename::seekRequested (double seconds)
{
    if (playbackThread.currentRow.load() >= 0)
        playbackThread.seekTo (seconds);
}

// The player reports the number of a play request, never a row: the rows may have been sorted or
// removed since. A request that started becomes the outlined file; when the request whose toggle is
// on ends (stopped, paused, or played to its end), its toggle goes off.
void Rename::playbackStateChanged (int number, bool playing)
{
    if (number < 0)
        return;

    if (playing && number == previewNumber)
    {
        playingNumber = number;
        playingPath = previewPath;
    }
    else if (! playing)
    {
        if (number == playingNumber)
        {
            playingNumber = -1;
            playingPath.clear();
        }

        if (number == previewNumber)
        {
            previewNumber = -1;
            previewPath.clear();
        }
    }

    showPreviewStateOfRows();
}

int Rename::nextPreviewNumber()
{
    lastPreviewNumber = lastPreviewNumber == std::numeric_limits<int>::max() ? 0 : lastPreviewNumber + 1;
    return lastPreviewNumber;
}

void Rename::stopPreview()
{
    playbackThread.stopPlayback();
    previewNumber = -1;
    previewPath.clear();
    showPreviewStateOfRows();
    progressBar.setProgress (0.0, 0.0, false);
}

void Rename::forgetPreview()
{
    previewNumber = playingNumber = -1;
    previewPath.clear();
    playingPath.clear();
}

void Rename::goRename()
{
    // One clock reading for the history, taken before any file moves; the preview lets go of its file first.
    const auto batchTime = juce::Time::getCurrentTime();
    leaveNameField();
    stopPreview();
    const auto result = RenameBatch::run (filePaths, newNames, fileIdentities, batchTime);
    // The last text names the history file really written ("... - History saved to Tarsio_2.txt"),
    // or says "History not saved" when it could not be written, rather than always "Tarsio.txt"; it
    // counts the rows that failed, if any.
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
