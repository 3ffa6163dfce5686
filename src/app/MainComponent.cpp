#include "app/MainComponent.h"
#include "app/FileIntake.h"
#include "app/QueuedXEvents.h"
#include "look/Palette.h"
#include "look/RowsInView.h"

#include "BinaryData.h"

#include <cmath>

const juce::String MainComponent::welcomeText =
    "Welcome to Tarsio\n\n\n"
    "DROP your audio files here or click OPEN.\n"
    "Click RENAME to access the renaming interface.\n\n\n"
    "The app analyzes filenames and suggests new names using smart rules.\n"
    "Customize RULES to match your instruments and naming preferences.\n\n\n"
    "Smart Audio File Renaming\n"
    "Automatic suggestions - Audio preview - Batch processing\n"
    "Supports: WAV - AIFF - FLAC - MP3 - OGG";

// The logo button's one address. A reserved name, so it can never lead to someone else's site.
const char* const MainComponent::websiteAddress = "https://www.tarsio.example/";

namespace
{
const juce::String dragAndDropText ("DRAG & DROP audio files !");
}

MainComponent::MainComponent()
{
    setSize (referenceSize.width, referenceSize.height);

    audioSourcePlayer.setSource (&mixer);
    deviceManager.initialise (0, 2, nullptr, true);
    deviceManager.addAudioCallback (this);
    renamePage.setAudioOutput (&mixer, &deviceManager);

    setLookAndFeel (&look);

    backgroundTexture = juce::ImageCache::getFromMemory (BinaryData::texture_jpg, BinaryData::texture_jpgSize);
    logoImage = juce::ImageCache::getFromMemory (BinaryData::logo_png, BinaryData::logo_pngSize);

    logoButton.setImages (false, true, true,
                          logoImage, 1.0f, juce::Colours::transparentBlack,
                          juce::Image(), 0.6f, juce::Colour (0x4CB21213),
                          logoImage, 0.9f, juce::Colours::transparentBlack,
                          0.0f);
    logoButton.setClickingTogglesState (false);

    openButton.setButtonText ("OPEN");
    renameButton.setButtonText ("RENAME");
    clearButton.setButtonText ("CLEAR AUDIO FILES");
    rulesButton.setButtonText ("RULES");
    loudnessButton.setButtonText ("LOUDNESS");
    isrcButton.setButtonText ("ISRC");

    // The toggles' on-skin and text colour show which targets are on.
    for (size_t i = 0; i < presetButtons.size(); ++i)
    {
        presetButtons[i].setButtonText (loudnessTargets[i].name);
        presetButtons[i].setClickingTogglesState (true);
        presetButtons[i].setColour (juce::TextButton::textColourOffId, greyWhiteVekko);
        presetButtons[i].setColour (juce::TextButton::textColourOnId, orangeVekko);
    }

    openButton.setColour (juce::TextButton::textColourOffId, greyWhiteVekko);
    openButton.setColour (juce::TextButton::textColourOnId, greyWhiteVekko);
    renameButton.setColour (juce::TextButton::textColourOffId, greenVekko);
    renameButton.setColour (juce::TextButton::textColourOnId, greyWhiteVekko);
    clearButton.setColour (juce::TextButton::textColourOffId, greyWhiteVekko);
    clearButton.setColour (juce::TextButton::textColourOnId, greyWhiteVekko);
    rulesButton.setColour (juce::TextButton::textColourOffId, greyWhiteVekko);
    rulesButton.setColour (juce::TextButton::textColourOnId, greyWhiteVekko);
    for (auto* b : { &loudnessButton, &isrcButton })
    {
        b->setColour (juce::TextButton::textColourOffId, greyWhiteVekko);
        b->setColour (juce::TextButton::textColourOnId, greyWhiteVekko);
    }

    createLabel (statusLabel, dragAndDropText);
    statusLabel.setColour (juce::Label::textColourId, greyWhiteVekko);

    logoButton.setColour (juce::TextButton::buttonColourId, transparentVekko);

    openButton.onClick = [this] { openClicked(); };
    renameButton.onClick = [this] { renameClicked(); };
    clearButton.onClick = [this] { clearClicked(); };
    rulesButton.onClick = [this] { rulesClicked(); };
    logoButton.onClick = [this] { logoClicked(); };
    loudnessButton.onClick = [this] { showPanel (analysisList); };
    isrcButton.onClick = [this] { showPanel (isrcList); };

    // Custom only toggles; the ten named targets report themselves on the home status line.
    for (size_t i = 0; i + 1 < presetButtons.size(); ++i)
        presetButtons[i].onClick = [this, i]
        {
            statusLabel.setText (loudnessTargets[i].statusText, juce::dontSendNotification);
            saveAllLufsStates();
        };

    addAndMakeVisible (dropTarget);
    dropTarget.onDropFailed = [this] (const juce::String& text) { statusLabel.setText (text, juce::dontSendNotification); };
    addAndMakeVisible (openButton);
    addAndMakeVisible (renameButton);
    addAndMakeVisible (clearButton);
    addAndMakeVisible (rulesButton);
    addAndMakeVisible (logoButton);
    addAndMakeVisible (loudnessButton);
    addAndMakeVisible (isrcButton);
    for (auto& b : presetButtons)
        addAndMakeVisible (b);

    // The buttons show no keyboard focus, so they take none: a window brought to the front gave it
    // to the first of them, the logo even beneath another page, and the next Return or space clicked
    // it unseen (the logo opens the web site).
    takeNoFocus ({ &openButton, &renameButton, &clearButton, &rulesButton, &logoButton, &loudnessButton, &isrcButton });
    for (auto& b : presetButtons)
        takeNoFocus (b);

    welcomeLabel.setText (welcomeText, juce::dontSendNotification);
    welcomeLabel.setJustificationType (juce::Justification::centred);
    welcomeLabel.setColour (juce::Label::textColourId, whiteLightVekko);
    addAndMakeVisible (welcomeLabel);

    addAndMakeVisible (isrcList);
    addAndMakeVisible (analysisList);
    addAndMakeVisible (renamePage);
    addAndMakeVisible (rulesPage);

    analysisList.setVisible (false);
    renamePage.setVisible (false);
    rulesPage.setVisible (false);

    setVisibleHomePage (true);
    analysisList.addComponentListener (this);
    isrcList.addComponentListener (this);

    renamePage.closeButton.onClick = [this] { renamePageClosed(); };
    renamePage.renameRulesButton.onClick = [this] { renamePageRulesClicked(); };
    rulesPage.closeButton->onClick = [this] { rulesPageClosed(); };

    nextSlice.onTick = [this] { takeInSlice(); };
    startTimer (kIntakeIntervalMs);
    restoreAllLufsStates();

    rulesPage.loadDefaultRules();
}

MainComponent::~MainComponent()
{
    stopTimer();
    nextSlice.stopTimer();
    analysisList.removeComponentListener (this);
    isrcList.removeComponentListener (this);
    deviceManager.removeAudioCallback (this);
    audioSourcePlayer.setSource (nullptr);

    analysisList.stopAnalysis();
    analysisList.clearList();
    renamePage.clearList();

    // The preview thread holds the mixer, which is destroyed before the rename page: end it now.
    renamePage.shutdownPreview();

    setLookAndFeel (nullptr);
    // Hand the default back while every member still exists: the change repaints the window.
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == &look)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

//==============================================================================
void MainComponent::audioDeviceIOCallbackWithContext (const float* const* inputChannelData, int numInputChannels,
                                                      float* const* outputChannelData, int numOutputChannels,
                                                      int numSamples,
                                                      const juce::AudioIODeviceCallbackContext& context)
{
    audioSourcePlayer.audioDeviceIOCallbackWithContext (inputChannelData, numInputChannels,
                                                        outputChannelData, numOutputChannels,
                                                        numSamples, context);
}

void MainComponent::audioDeviceAboutToStart (juce::AudioIODevice* device)
{
    audioSourcePlayer.audioDeviceAboutToStart (device);
}

void MainComponent::audioDeviceStopped()
{
    audioSourcePlayer.audioDeviceStopped();
}

//==============================================================================
//==============================================================================
const std::array<MainComponent::LoudnessTarget, 11> MainComponent::loudnessTargets { {
    { "Netflix", "buttonNetflix", "Netflix: -27 LUFS, -2 dBTP" },
    { "ARIB TR-B32", "buttonARIB", "ARIB TR-B32: -24 LUFS, -2 dBTP" },
    { "OP-59", "buttonOP59", "OP-59: -24 LUFS, -2 dBTP" },
    { "TASA", "buttonTASA", "TASA: -24 LUFS, -2 dBTP" },
    { "ATSC A/85", "buttonATSC", "ATSC A/85: -24 LUFS, -2 dBTP" },
    { "EBU R128", "buttonEBU", "EBU R128: -23 LUFS, -1 dBTP" },
    { "France TV", "buttonFranceTV", "France TV: -23 LUFS, -3 dBTP" },
    { "AGCOM 219", "buttonAGCOM", "AGCOM 219: -23 LUFS, -1 dBTP" },
    { "Podcast", "buttonPodcast", "Podcast: -16 LUFS, -1 dBTP" },
    { "Streaming", "buttonStreaming", "Streaming: -14 LUFS, -1 dBTP" },
    { "Custom", "buttonCustom", nullptr },
} };

void MainComponent::saveAllLufsStates()
{
    if (settingsFile == nullptr)
        return;

    for (size_t i = 0; i < presetButtons.size(); ++i)
        settingsFile->setValue (loudnessTargets[i].settingsKey, presetButtons[i].getToggleState());

    settingsFile->saveIfNeeded();
}

void MainComponent::restoreAllLufsStates()
{
    if (settingsFile == nullptr)
        return;

    // A store that never saw the toggles starts with EBU R128 on.
    const bool firstStart = ! settingsFile->containsKey (loudnessTargets[0].settingsKey);
    for (size_t i = 0; i < presetButtons.size(); ++i)
    {
        const bool fallback = firstStart && juce::String (loudnessTargets[i].settingsKey) == "buttonEBU";
        presetButtons[i].setToggleState (settingsFile->getBoolValue (loudnessTargets[i].settingsKey, fallback),
                                         juce::dontSendNotification);
    }
}

void MainComponent::timerCallback()
{
    // X events that JUCE left in Xlib's queue are read now rather than at the next event.
    QueuedXEvents::wake();

    // A batch still going to the pages carries on by itself; what waits comes after it.
    if (! isVisible() || isTakingIn())
        return;

    if (dropTarget.pendingFiles.empty())
    {
        // A drop that named no file of this machine is answered as a batch that no page takes.
        if (std::exchange (dropTarget.dropWaiting, false))
            reportIntake();

        if (isrcList.listChanged)
        {
            statusLabel.setText (juce::String (renameFileCount()) + " audio files ready - Click RENAME to edit names",
                                 juce::dontSendNotification);
            isrcList.listChanged = false;
        }

        // Nothing else on the window changes by itself: only the status frame, which follows a text
        // that handlers set without repainting around the label, needs redrawing. A whole-window
        // repaint five times a second would cost an idle core several percent.
        if (statusLabel.getText() != framedStatusText)
        {
            framedStatusText = statusLabel.getText();
            repaint (statusLabel.getBounds().expanded (2));
        }
        return;
    }

    intakeBatch = std::move (dropTarget.pendingFiles);
    dropTarget.pendingFiles.clear();
    dropTarget.dropWaiting = false;
    intakeNext = 0;
    intakeSliceFiles = kFirstSliceFiles;
    takingIn = true;
    intakeRowsSorted = false;
    acceptedFiles.clear();
    takeInSlice();
}

// One slice of the batch to the three pages; the rename page sorts, lays out and counts its rows
// once, when the batch is through. After a batch of several slices, that and the report each have a
// turn of their own.
void MainComponent::takeInSlice()
{
    nextSlice.stopTimer();
    if (! takingIn)
        return;

    if (intakeNext == intakeBatch.size())
    {
        if (intakeRowsSorted)
        {
            finishIntake();
            return;
        }
        renamePage.addList ({});
        intakeRowsSorted = true;
        nextSlice.startTimer (1);
        return;
    }

    const auto first = intakeNext;
    const auto end = std::min (intakeBatch.size(), intakeNext + intakeSliceFiles);
    const auto start = juce::Time::getMillisecondCounterHiRes();

    // Only regular files: a folder named "Drums.wav" must never become a row that GO RENAME renames.
    std::vector<std::string> slice;
    for (; intakeNext < end; ++intakeNext)
        if (FileIntake::isRegularFile (intakeBatch[intakeNext]))
            slice.push_back (std::move (intakeBatch[intakeNext]));

    isrcList.addList (slice);
    analysisList.addList (slice);
    renamePage.addList (slice, true);
    acceptedFiles.insert (acceptedFiles.end(), std::make_move_iterator (slice.begin()), std::make_move_iterator (slice.end()));

    // The next slice is sized by the time this one took per file, growing by half at most: a small
    // slice tells little of a large one.
    const auto took = juce::Time::getMillisecondCounterHiRes() - start;
    const auto msPerFile = juce::jmax (1.0e-4, took / (double) (end - first));
    intakeSliceFiles = (size_t) juce::jlimit (64.0, 1.5 * (double) intakeSliceFiles, kIntakeSliceMs / msPerFile);

    // A batch within the first slice is done at once.
    if (first == 0 && intakeNext == intakeBatch.size())
        finishIntake();
    else
        nextSlice.startTimer (1);
}

void MainComponent::finishIntake()
{
    takingIn = false;
    intakeBatch.clear();
    intakeNext = 0;
    if (! std::exchange (intakeRowsSorted, true))
        renamePage.addList ({});
    analysisList.startBackgroundAnalysis();
    reportIntake();
}

void MainComponent::reportIntake()
{
    const int count = renameFileCount();
    if (count >= 1)
        statusLabel.setText (juce::String (count) + " audio files loaded - Click RENAME to edit names",
                             juce::dontSendNotification);
    else
        statusLabel.setText ("No audio files found - Only WAV, MP3, FLAC, AIFF, OGG supported",
                             juce::dontSendNotification);
    framedStatusText = statusLabel.getText();
    repaint();
}

//==============================================================================
void MainComponent::setVisibleHomePage (bool visible)
{
    openButton.setVisible (visible);
    rulesButton.setVisible (visible);
    renameButton.setVisible (visible);
    clearButton.setVisible (visible);
    statusLabel.setVisible (visible);
    welcomeLabel.setVisible (visible);
    loudnessButton.setVisible (visible);
    isrcButton.setVisible (visible);
    showTargets (visible);
    dropTarget.acceptFiles = visible;
}

void MainComponent::showTargets (bool homePageShown)
{
    // A panel's top is translucent: the home widgets that stand under it (the targets in the margin,
    // RENAME just under the logo at larger sizes) hide while it is open.
    // The ISRC panel is a visible child without a size until ISRC first opens it.
    const bool panelShown = analysisList.isVisible() || (isrcList.isVisible() && ! isrcList.getBounds().isEmpty());
    for (auto& b : presetButtons)
        b.setVisible (homePageShown && ! panelShown);
    renameButton.setVisible (homePageShown && ! panelShown);
}

void MainComponent::componentVisibilityChanged (juce::Component&)
{
    showTargets (isHomePageShown());
}

void MainComponent::createLabel (juce::Label& label, juce::String text)
{
    addAndMakeVisible (label);
    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
}

void MainComponent::openClicked()
{
    // One dialog at a time: the one open already comes to the front.
    if (FileDialog::raiseOpenDialog())
        return;

    dropTarget.acceptFiles = false;

    fileChooser = std::make_unique<FileDialog> (FileDialog::Options { "Select audio file(s) to convert...",
                                                                      "*.wav;*.mp3;*.aif;*.aiff;*.ogg;*.flac",
                                                                      juce::File::getSpecialLocation (juce::File::userHomeDirectory),
                                                                      FileDialog::Mode::openFiles, this },
                                                [this] (const std::vector<std::string>& chosen) { openDialogClosed (chosen); });
}

void MainComponent::openDialogClosed (const std::vector<std::string>& chosenFiles)
{
    if (chosenFiles.empty())
    {
        statusLabel.setText ("No files selected", juce::dontSendNotification);
    }
    else
    {
        statusLabel.setText ("Loading " + juce::String ((int) chosenFiles.size()) + " selected file(s)...",
                             juce::dontSendNotification);
        dropTarget.pendingFiles.insert (dropTarget.pendingFiles.end(), chosenFiles.begin(), chosenFiles.end());
    }

    // The native dialog does not block the window: the user may have left the home page meanwhile,
    // and the other pages take no drops.
    dropTarget.acceptFiles = isHomePageShown();
}

void MainComponent::renameClicked()
{
    if (renameFileCount() == 0)
    {
        statusLabel.setText ("No files to rename", juce::dontSendNotification);
        dropTarget.acceptFiles = true;
        return;
    }

    setVisibleHomePage (false);
    renamePage.setBounds (0, 0, getWidth(), getHeight());
    renamePage.setVisible (true);
    rulesPage.setVisible (false);
}

void MainComponent::clearClicked()
{
    acceptedFiles.clear();
    dropTarget.pendingFiles.clear();
    dropTarget.dropWaiting = false;
    intakeBatch.clear();
    intakeNext = 0;
    takingIn = false;
    nextSlice.stopTimer();
    isrcList.clearRows();
    analysisList.clearList();
    renamePage.clearList();
    createLabel (statusLabel, dragAndDropText);
}

void MainComponent::rulesClicked()
{
    setVisibleHomePage (false);
    renamePage.setVisible (false);
    rulesPage.setVisible (true);
    rulesPage.loadDefaultRules();
    dropTarget.acceptFiles = false;
}

void MainComponent::showPanel (juce::Component& panel)
{
    panel.setBounds (getLocalBounds());
    panel.setVisible (true);
    panel.toFront (false);
    // The ISRC panel was a visible child already: no visibility change reports it.
    showTargets (isHomePageShown());
}

void MainComponent::logoClicked()
{
    juce::URL (websiteAddress).launchInDefaultBrowser();
}

void MainComponent::renamePageClosed()
{
    setVisibleHomePage (true);
    renamePage.setVisible (false);
    rulesPage.setVisible (false);
    statusLabel.setText (renameFileCount() == 0 ? dragAndDropText
                                                : juce::String ("Click RENAME to edit names, CLEAR AUDIO FILES to start over"),
                         juce::dontSendNotification);
}

void MainComponent::renamePageRulesClicked()
{
    setVisibleHomePage (false);
    renamePage.setVisible (false);
    rulesPage.setVisible (true);
    rulesPage.loadDefaultRules();
}

void MainComponent::rulesPageClosed()
{
    if (renameFileCount() >= 1)
    {
        setVisibleHomePage (false);
        rulesPage.setVisible (false);
        renamePage.setVisible (true);
    }
    else
    {
        setVisibleHomePage (true);
        rulesPage.setVisible (false);
        statusLabel.setText (dragAndDropText, juce::dontSendNotification);
    }
}

//==============================================================================
bool MainComponent::keepAspect (juce::DocumentWindow& window)
{
    // Sizes this sets itself, directly or through the window, are laid out without a second look.
    const juce::ScopedValueSetter<bool> own (settingOwnSize, true);
    const juce::Point<int> size (getWidth(), getHeight());

    if (const auto target = aspectLock.correctionFor (size, juce::Time::getMillisecondCounter()))
    {
        window.setSize (target->x + window.getWidth() - size.x, target->y + window.getHeight() - size.y);
        return false;
    }

    // The size stands (the window manager imposes it): the design goes in the middle, within the
    // limits, and the window's background shows around it.
    const auto area = aspectLock.standingArea (size);
    if (area == getLocalBounds())
        return true;

    setBounds (area + getPosition());
    return false;
}

void MainComponent::resized()
{
    if (getWidth() <= 0 || getHeight() <= 0)
        return;

    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>(); window != nullptr && ! settingOwnSize)
        if (! keepAspect (*window))
            return;

    const int W = getWidth();
    const int H = getHeight();

    const double inner = 0.8 * W - 0.1 * W;
    const int B = (int) (0.058 * inner);
    const int g = (int) (0.045 * inner);
    const int Bw = (int) (0.52 * inner);
    const int M = (int) (0.011 * W);
    const double left = 0.5 * W - 0.5 * Bw;

    look.labelFontSize = (float) (inner * 0.022f);

    backgroundGradient = juce::ColourGradient (juce::Colour (0xFFC1D272), (float) (0.25 * 0.8 * W), (float) (0.06 * H),
                                               juce::Colour (0xFF404915), (float) (0.89 * 0.8 * W), (float) (1.2 * H), true);
    panelGradient = juce::ColourGradient (juce::Colour (0xFF42494B), (float) (0.3 * 0.8 * W), (float) (0.15 * H),
                                          blackUltraVekko, (float) (0.75 * 0.8 * W), (float) (1.1 * H), true);

    logoButton.setBounds ((int) (0.5 * W - 0.5 * 4.9382 * B), (int) (0.46 * g), (int) (4.9382 * B), B);
    renameButton.setBounds ((int) (left + 2 * g), 2 * g, Bw - 4 * g, (int) (1.6 * g));
    openButton.setBounds ((int) (left - g), renameButton.getBottom() + M, Bw + 2 * g, (int) (1.6 * g));
    statusLabel.setBounds ((int) (left - 4 * g), (int) (openButton.getBottom() + 1.75 * M), Bw + 8 * g, g);
    welcomeLabel.setBounds ((int) (0.2 * W), (int) (statusLabel.getBottom() + 4.1 * M), (int) (0.6 * W), (int) (0.35 * H));
    clearButton.setBounds (openButton.getX(), (int) (welcomeLabel.getBottom() + 3.52 * M),
                           openButton.getWidth(), openButton.getHeight());
    rulesButton.setBounds (renameButton.getX(), clearButton.getBottom() + M,
                           renameButton.getWidth(), renameButton.getHeight());
    // The panels' buttons sit in the margins beside RULES.
    const int panelButtonWidth = (int) (0.15 * W);
    loudnessButton.setBounds ((int) (0.1 * W - 0.5 * panelButtonWidth), rulesButton.getY(),
                              panelButtonWidth, rulesButton.getHeight());
    isrcButton.setBounds ((int) (0.9 * W - 0.5 * panelButtonWidth), rulesButton.getY(),
                          panelButtonWidth, rulesButton.getHeight());
    dropTarget.setBounds (0, 0, W, H);
    if (analysisList.isVisible())
        analysisList.setBounds (0, 0, W, H);
    // The ISRC panel is a visible child without a size until ISRC first opens it.
    if (isrcList.isVisible() && ! isrcList.getBounds().isEmpty())
        isrcList.setBounds (0, 0, W, H);
    renamePage.setBounds (0, 0, W, H);
    rulesPage.setBounds (0, 0, W, H);

    // The loudness targets fill the left margin above LOUDNESS, one under another. Their width keeps
    // them clear of the column (which starts at about 0.19 W); their height, of LOUDNESS and of the
    // window's bottom edge at any shape of window; a button at most 0.4 times as high as wide stays a
    // long pill, whose on-skin shows.
    const int targetsTop = (int) (0.02 * H);
    const double targetPitch = (juce::jmin (loudnessButton.getY(), H) - M - targetsTop) / (double) presetButtons.size();
    const int targetHeight = juce::jmin ((int) (0.8 * targetPitch), (int) (0.4 * panelButtonWidth));
    for (size_t i = 0; i < presetButtons.size(); ++i)
        presetButtons[i].setBounds (loudnessButton.getX(), (int) (targetsTop + (double) i * targetPitch),
                                    panelButtonWidth, targetHeight);
}

void MainComponent::paint (juce::Graphics& g)
{
    const double W = getWidth();
    const double H = getHeight();

    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    g.setGradientFill (backgroundGradient);
    g.fillAll();

    auto fillPanel = [&] (juce::Rectangle<float> panel, float textureOpacity)
    {
        g.setGradientFill (panelGradient);
        g.fillRoundedRectangle (panel, 25.0f);
        g.setTiledImageFill (backgroundTexture, 0, 0, textureOpacity);
        g.fillRoundedRectangle (panel, 25.0f);
        g.setColour (blackUltraVekko);
        g.drawRoundedRectangle (panel, 25.0f, 3.0f);
    };

    if (renamePage.isVisible() || rulesPage.isVisible())
    {
        fillPanel ({ (float) (0.045 * W), (float) (0.164 * H), (float) (0.912 * W), (float) (0.82 * H) }, 0.2f);
    }
    else
    {
        const double k = (int) (0.03 * W);
        const auto w = welcomeLabel.getBounds();
        fillPanel ({ (float) (w.getX() - 0.3 * k), (float) (w.getY() - 0.6 * k),
                     (float) (w.getWidth() + 0.6 * k), (float) (w.getHeight() + 1.2 * k) }, 0.3f);

        const auto s = statusLabel.getBounds().toDouble();
        const auto corner = (float) (0.5 * s.getHeight());
        if (statusLabel.getText().startsWith ("Error"))
        {
            g.setColour (redVekko);
            g.drawRoundedRectangle (s.toFloat(), corner, 2.0f);
        }
        else
        {
            g.setColour (blackOpacityVekko);
            g.drawRoundedRectangle ((float) (s.getX() + 1), (float) (s.getY() + 1),
                                    (float) s.getWidth(), (float) (s.getHeight() - 1), corner, 1.0f);
        }
        g.setColour (OpacityVekko);
        g.fillRoundedRectangle (s.toFloat(), corner);
    }

    const auto logo = logoButton.getBounds();
    g.setColour (blackVekko);
    g.setFont (10.0f);
    g.drawText ("1.0.1",
                logo.getX(), (int) (logo.getY() + logo.getHeight() - 0.1 * logo.getHeight()),
                logo.getWidth(), (int) (0.3 * logo.getHeight()),
                juce::Justification::centredTop, true);
}
