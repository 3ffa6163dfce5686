#include "app/TarsioApplication.h"
#include "app/AspectLock.h"
#include "app/MainComponent.h"

#include <iostream>

TarsioApplication::~TarsioApplication()
{
    mainWindow = nullptr;
}

const juce::String TarsioApplication::getApplicationName() { return "Tarsio"; }

const juce::String TarsioApplication::getApplicationVersion() { return "1.0.1"; }

bool TarsioApplication::moreThanOneInstanceAllowed() { return true; }

void TarsioApplication::initialise (const juce::String&)
{
    // Without an X display JUCE opens no connection and its window calls crash: say so and end.
    if (juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() == nullptr)
    {
        std::cerr << "Tarsio: no X display to show the window on (check DISPLAY)" << std::endl;
        setApplicationReturnValue (1);
        quit();
        return;
    }

    // Read before the main component installs its own look-and-feel.
    const auto background = juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId);
    mainWindow = std::make_unique<MainWindow> (getApplicationName(), background);
}

void TarsioApplication::shutdown()
{
    mainWindow = nullptr;
}

void TarsioApplication::anotherInstanceStarted (const juce::String&) {}

void TarsioApplication::systemRequestedQuit()
{
    juce::JUCEApplicationBase::quit();
}

TarsioApplication::MainWindow::MainWindow (const juce::String& name, juce::Colour backgroundColour)
    : juce::DocumentWindow (name, backgroundColour, juce::DocumentWindow::allButtons)
{
    // Off the desktop while it is set up: JUCE 7.0.5 maps a window whose title bar changes at once,
    // which showed an empty 128x128 window in the corner of the screen for a moment.
    removeFromDesktop();
    setUsingNativeTitleBar (true);
    setContentOwned (new MainComponent(), true);
    // Sized to the content once; from now on the content may take less than the window (a size the
    // window manager imposes), and that must not resize the window.
    setContentOwned (getContentComponent(), false);
    setResizable (true, false);
    setResizeLimits (AspectLock::minWidth, AspectLock::minHeight, AspectLock::maxWidth, AspectLock::maxHeight);
    centreWithSize (getWidth(), getHeight());
    addToDesktop();
    setVisible (true);
}

void TarsioApplication::MainWindow::resized()
{
    DocumentWindow::resized();
    keepContentLimits();
}

void TarsioApplication::MainWindow::moved()
{
    DocumentWindow::moved();
    keepContentLimits();
}

void TarsioApplication::MainWindow::keepContentLimits()
{
    // JUCE takes the native frame off the limits it hands the window manager, which applies them to
    // the content: add the frame, once it is known, so that the content gets the limits. Only the
    // limits change here; the window keeps its size.
    auto* peer = getPeer();
    if (peer == nullptr || ! peer->getFrameSizeIfPresent() || *peer->getFrameSizeIfPresent() == limitsFrame)
        return;

    limitsFrame = *peer->getFrameSizeIfPresent();
    const int w = limitsFrame.getLeftAndRight(), h = limitsFrame.getTopAndBottom();
    getConstrainer()->setSizeLimits (AspectLock::minWidth + w, AspectLock::minHeight + h,
                                     AspectLock::maxWidth + w, AspectLock::maxHeight + h);
}

void TarsioApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
