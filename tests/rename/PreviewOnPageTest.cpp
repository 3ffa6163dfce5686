// The rename page driving the real preview player through a real (file-backed) audio device.
#include "preview/PreviewTestSupport.h"
#include "rename/RenamePageSupport.h"
#include "support/FileAudioOutput.h"
#include "look/Palette.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

TEST (PreviewOnPagePlayback, PlayButtonsPauseAndSeekWorkOnTheRealAudioChain)
{
    FileAudioOutput output;
    TempFolder folder;
    const auto rate = 44100.0;
    const auto kick = writeAudioFile (folder / "Kick_01.wav", AudioFileType::wav, 1, rate, (juce::int64) (8 * rate),
                                      [] (int, juce::int64 f) { return sine441 (f, 0.5f); });
    const auto snare = writeAudioFile (folder / "Snare top.wav", AudioFileType::wav, 2, rate, (juce::int64) (8 * rate),
                                       [] (int, juce::int64 f) { return sine441 (f, 0.25f); });

    // Declared so that the device goes first, whichever way the test ends.
    juce::MixerAudioSource mixer;
    juce::AudioSourcePlayer player;
    juce::AudioDeviceManager deviceManager;
    player.setSource (&mixer);
    deviceManager.initialise (0, 2, nullptr, true);
    ASSERT_NE (deviceManager.getCurrentAudioDevice(), nullptr);
    deviceManager.addAudioCallback (&player);

    {
        Rename page;
        page.setSize (860, 587);
        page.setAudioOutput (&mixer, &deviceManager);
        page.addList ({ kick.getFullPathName(), snare.getFullPathName() });
        ASSERT_EQ (page.filePaths.size(), 2u);
        const int kickRow = rowOf (page, kick.getFullPathName());
        const int snareRow = rowOf (page, snare.getFullPathName());

        // Play the kick: the player reports its row, the bar shows its waveform and follows the position.
        clickToggle (*page.playButtons[(size_t) kickRow]);
        ASSERT_TRUE (pumpUntil ([&] { return page.progressBar.getWaveformPeaks().size() == 1500u; }));
        EXPECT_EQ (page.playbackThread.currentRow.load(), kickRow);
        ASSERT_TRUE (pumpUntil ([&] { return page.progressBar.isPreviewActive(); }));
        EXPECT_TRUE (page.pauseButton.isVisible());
        EXPECT_EQ (page.nameEditors[kickRow]->findColour (juce::TextEditor::outlineColourId), greenVekko);

        // A click at the middle of the bar seeks to the middle of the file.
        const auto bar = page.progressBar.getLocalBounds();
        page.progressBar.mouseDown (mouseEventAt (page.progressBar, bar.getCentre().toFloat()));
        EXPECT_NEAR (page.playbackThread.getCurrentPositionSeconds(), 4.0, 0.5);

        // Switching rows: the kick's row goes back to grey, the snare plays.
        clickToggle (*page.playButtons[(size_t) snareRow]);
        ASSERT_TRUE (pumpUntil ([&] { return page.playbackThread.currentRow.load() == snareRow; }));
        ASSERT_TRUE (pumpUntil ([&] { return page.nameEditors[kickRow]->findColour (juce::TextEditor::outlineColourId) == greyVekko; }));

        // Pause stops the preview; once the player has stopped, the pause button goes.
        clickToggle (page.pauseButton);
        ASSERT_TRUE (pumpUntil ([&] { return page.playbackThread.currentRow.load() == -1; }));
        ASSERT_TRUE (pumpUntil ([&] { return ! page.pauseButton.isVisible(); }));
        EXPECT_FALSE (page.progressBar.isPreviewActive());
    }

    deviceManager.removeAudioCallback (&player);
    player.setSource (nullptr);
    deviceManager.closeAudioDevice();

    // What reached the device was audible, at full scale after normalising.
    const auto heard = output.readOutput();
    ASSERT_GT (heard.getNumSamples(), 0);
    EXPECT_NEAR (heard.getMagnitude (0, 0, heard.getNumSamples()), 1.0f, 0.05f);
}
