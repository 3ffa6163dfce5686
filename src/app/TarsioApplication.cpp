#include "app/TarsioApplication.h"
#include "app/MainComponent.h"

TarsioApplication::~TarsioApplication()
{
    mainWindow = nullptr;
}

const juce::String TarsioApplication::getApplicationName() { return "Tarsio"; }

const juce::String TarsioApplication::getApplicationVersion() { return "1.0.1"; }

bool TarsioApplication::moreThanOneInstanceAllowed() { return true; }

void TarsioApplication::initialise (const juce::String&)
{
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
    setUsingNativeTitleBar (true);
    setContentOwned (new MainComponent(), true);
    setResizable (true, false);
    setResizeLimits (688, 469, 1720, 1174);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

void TarsioApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
