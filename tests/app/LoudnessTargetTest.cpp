#include "app/MainComponent.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
enum Target { netflix = 0, ebu = 5, podcast = 8, custom = 10 };
}

TEST (LoudnessTargets, EachClickTogglesAndReportsItsTarget)
{
    MainComponent main;
    auto& buttons = main.presetButtons;

    buttons[netflix].triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (buttons[netflix].getToggleState());
    EXPECT_EQ (main.statusLabel.getText(), "Netflix: -27 LUFS, -2 dBTP");

    // The text comes with the click that turns it off as well.
    main.statusLabel.setText ("something else", juce::dontSendNotification);
    buttons[netflix].triggerClick();
    pumpMessages (20);
    EXPECT_FALSE (buttons[netflix].getToggleState());
    EXPECT_EQ (main.statusLabel.getText(), "Netflix: -27 LUFS, -2 dBTP");

    // No radio group: any number stay on.
    buttons[ebu].triggerClick();
    buttons[podcast].triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (buttons[ebu].getToggleState());
    EXPECT_TRUE (buttons[podcast].getToggleState());
    EXPECT_EQ (main.statusLabel.getText(), "Podcast: -16 LUFS, -1 dBTP");

    buttons[custom].triggerClick();
    pumpMessages (20);
    EXPECT_TRUE (buttons[custom].getToggleState());
    EXPECT_EQ (main.statusLabel.getText(), "Podcast: -16 LUFS, -1 dBTP");
}

TEST (LoudnessTargets, EveryTargetTextReadsAsInformationNotAsAnError)
{
    MainComponent main;
    juce::StringArray seen;
    for (size_t i = 0; i + 1 < main.presetButtons.size(); ++i)
    {
        main.presetButtons[i].triggerClick();
        pumpMessages (10);
        const auto text = main.statusLabel.getText();
        EXPECT_FALSE (text.startsWith ("Error")) << text;
        EXPECT_TRUE (text.contains (" LUFS, ") && text.endsWith (" dBTP")) << text;
        seen.addIfNotAlreadyThere (text);
    }
    EXPECT_EQ (seen.size(), 10);
}

TEST (LoudnessTargets, AStoreWhenOneIsGivenKeepsEveryToggle)
{
    TempFolder folder;
    juce::PropertiesFile::Options options;
    options.applicationName = "targets";
    options.folderName = folder.get().getFullPathName();
    options.filenameSuffix = ".settings";
    options.storageFormat = juce::PropertiesFile::storeAsXML;
    const auto storeFile = folder / "targets.settings";

    {
        MainComponent main;
        main.settingsFile = std::make_unique<juce::PropertiesFile> (storeFile, options);

        // A store that never saw the toggles starts with EBU R128 on, and nothing else.
        main.restoreAllLufsStates();
        for (size_t i = 0; i < main.presetButtons.size(); ++i)
            EXPECT_EQ (main.presetButtons[i].getToggleState(), i == ebu) << i;

        main.presetButtons[podcast].triggerClick();
        pumpMessages (20);
    }

    juce::PropertiesFile stored (storeFile, options);
    EXPECT_TRUE (stored.getBoolValue ("buttonPodcast"));
    EXPECT_TRUE (stored.getBoolValue ("buttonEBU"));
    EXPECT_FALSE (stored.getBoolValue ("buttonNetflix", true));
    EXPECT_TRUE (stored.containsKey ("buttonCustom"));

    MainComponent again;
    again.settingsFile = std::make_unique<juce::PropertiesFile> (storeFile, options);
    stored.setValue ("buttonEBU", false);
    stored.saveIfNeeded();
    again.settingsFile->reload();
    again.restoreAllLufsStates();
    EXPECT_FALSE (again.presetButtons[ebu].getToggleState()) << "a saved off stays off";
    EXPECT_TRUE (again.presetButtons[podcast].getToggleState());
    EXPECT_EQ (again.statusLabel.getText(), "DRAG & DROP audio files !") << "restoring reports nothing";
}
