#include "app/MainComponent.h"
#include "support/FileAudioOutput.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

TEST (MainComponentLifecycle, StartsOnTheHomePageWithEveryPageBuilt)
{
    MainComponent main;

    EXPECT_EQ (main.getWidth(), 860);
    EXPECT_EQ (main.getHeight(), 587);
    EXPECT_EQ (main.statusLabel.getText(), "DRAG & DROP audio files !");
    EXPECT_EQ (main.welcomeLabel.getText(), MainComponent::welcomeText);

    // Bottom to top: the status line lies beneath the drop target's highlight, the pages above everything.
    std::vector<const juce::Component*> expectedOrder { &main.statusLabel, &main.dropTarget, &main.openButton,
                                                        &main.renameButton, &main.clearButton, &main.rulesButton,
                                                        &main.logoButton, &main.loudnessButton, &main.isrcButton };
    for (auto& preset : main.presetButtons)
        expectedOrder.push_back (&preset);
    expectedOrder.insert (expectedOrder.end(), { &main.welcomeLabel, &main.isrcList,
                                                 &main.analysisList, &main.renamePage, &main.rulesPage });
    ASSERT_EQ (main.getNumChildComponents(), (int) expectedOrder.size());
    for (int i = 0; i < main.getNumChildComponents(); ++i)
        EXPECT_EQ (main.getChildComponent (i), expectedOrder[i]) << "child " << i;

    for (auto* c : { (juce::Component*) &main.openButton, (juce::Component*) &main.renameButton,
                     (juce::Component*) &main.clearButton, (juce::Component*) &main.rulesButton,
                     (juce::Component*) &main.statusLabel, (juce::Component*) &main.welcomeLabel,
                     (juce::Component*) &main.logoButton, (juce::Component*) &main.loudnessButton,
                     (juce::Component*) &main.isrcButton })
        EXPECT_TRUE (c->isVisible()) << c->getName();

    EXPECT_FALSE (main.renamePage.isVisible());
    EXPECT_FALSE (main.rulesPage.isVisible());
    EXPECT_FALSE (main.analysisList.isVisible());
    EXPECT_TRUE (main.isrcList.isVisible());
    EXPECT_TRUE (main.isrcList.getBounds().isEmpty()) << "the ISRC panel never shows";
    for (auto& preset : main.presetButtons)
        EXPECT_TRUE (preset.isVisible() && ! preset.getToggleState());

    EXPECT_TRUE (main.dropTarget.acceptFiles);
    EXPECT_EQ (main.dropTarget.getBounds(), main.getLocalBounds());
    EXPECT_TRUE (main.isTimerRunning());
    EXPECT_EQ (main.getTimerInterval(), MainComponent::kIntakeIntervalMs);
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), &main.look);
}

TEST (MainComponentLifecycle, WorksWithoutAnAudioDevice)
{
    // The tests' default ALSA configuration has no device at all, as on a machine without sound.
    MainComponent main;
    EXPECT_EQ (main.deviceManager.getCurrentAudioDevice(), nullptr);
    EXPECT_TRUE (main.renamePage.playbackThread.isThreadRunning()) << "the preview thread starts all the same";
    pumpMessages (300);
    EXPECT_EQ (main.statusLabel.getText(), "DRAG & DROP audio files !");
}

TEST (MainComponentShutdown, EndsPromptlyWithTheDeviceOpenAndTheTimersRunning)
{
    TempFolder folder;
    FileAudioOutput output;

    auto main = std::make_unique<MainComponent>();
    ASSERT_NE (main->deviceManager.getCurrentAudioDevice(), nullptr) << "the file-backed ALSA device did not open";
    EXPECT_EQ (main->deviceManager.getCurrentAudioDevice()->getActiveOutputChannels().countNumberOfSetBits(), 2);
    EXPECT_EQ (main->deviceManager.getCurrentAudioDevice()->getActiveInputChannels().countNumberOfSetBits(), 0);
    ASSERT_TRUE (main->renamePage.playbackThread.isThreadRunning());

    // Queue work for every thread, let the device call back for a while, then take it all down.
    main->renamePage.playbackThread.playFile ((folder / "missing.wav").getFullPathName().toStdString(), 0);
    pumpMessages (400);

    const auto start = juce::Time::getMillisecondCounterHiRes();
    main.reset();
    const auto elapsed = juce::Time::getMillisecondCounterHiRes() - start;
    EXPECT_LT (elapsed, 4000.0) << "shutdown waited for a thread that should have ended";
    EXPECT_FALSE (processHasThreadNamed ("AudioPlayback"));

    // Anything the workers posted before the end finds nothing to touch.
    pumpMessages (200);
    EXPECT_TRUE (output.output().existsAsFile()) << "the device really ran";
}

TEST (MainComponentShutdown, WindowCloseWhileRunningLeavesNoThreadBehind)
{
    auto window = std::make_unique<juce::DocumentWindow> ("Tarsio", juce::Colours::black, juce::DocumentWindow::allButtons, false);
    auto* main = new MainComponent();
    window->setContentOwned (main, true);
    ASSERT_TRUE (main->renamePage.playbackThread.isThreadRunning());
    pumpMessages (100);
    ASSERT_TRUE (processHasThreadNamed ("AudioPlayback"));

    window.reset();
    pumpMessages (50);
    EXPECT_FALSE (processHasThreadNamed ("AudioPlayback")) << "the preview thread outlived its page";
}
