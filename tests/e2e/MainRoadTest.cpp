// The application's main job, as a user does it: drop a batch on the window, RENAME, "GO RENAME !".
#include "e2e/AppDriver.h"
#include "e2e/DropFiles.h"
#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace tarsio::e2e;
using namespace tarsio::test;

namespace
{
void writeWav (const juce::File& file, float level)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file), 44100.0,
                                                                          2, 16, {}, 0));
    ASSERT_NE (writer, nullptr);
    juce::AudioBuffer<float> buffer (2, 4410);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * (float) std::sin (0.05 * i));
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples()));
}

bool waitFor (const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; ! condition(); waited += 100)
    {
        if (waited > timeoutMs)
            return false;
        std::this_thread::sleep_for (std::chrono::milliseconds (100));
    }
    return true;
}

// Points of the main component at its design size, 860 x 587.
constexpr int welcomeTextX = 430, welcomeTextY = 330;   // the welcome text, which asks for the drop
constexpr int renameButtonX = 429, renameButtonY = 75;  // RENAME on the home page
constexpr int goRenameX = 725, goRenameY = 27;          // "GO RENAME !" on the rename page
} // namespace

TEST (MainRoad, DroppedFilesAreRenamedAsSuggestedWithAHistory)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok());

    TempFolder folder;
    const juce::String names[] = { "Kick_01.wav", "SNARE TOP.wav", "Bass DI.wav", "notes.txt" };
    juce::StringArray paths;
    for (const auto& name : names)
    {
        const auto file = folder / name;
        if (file.hasFileExtension ("wav"))
            writeWav (file, 0.5f);
        else
            file.replaceWithText ("not audio");
        paths.add (file.getFullPathName());
    }
    const auto untouched = (folder / "notes.txt").loadFileAsString();

    Process app ({ applicationPath() }, screen.environment());
    std::optional<WindowId> window;
    ASSERT_TRUE (waitFor ([&]
    {
        window = screen.waitForWindow ("Tarsio", 200);
        return window && screen.geometry (*window).width == 860;
    }, 15000));

    // The drag source and xdotool work on the application's private display.
    const auto previousDisplay = juce::SystemStats::getEnvironmentVariable ("DISPLAY", {});
    ::setenv ("DISPLAY", screen.name().c_str(), 1);
    const bool dropped = dropFilesOnWindow (*window, { welcomeTextX, welcomeTextY }, paths);
    ::setenv ("DISPLAY", previousDisplay.toRawUTF8(), 1);
    ASSERT_TRUE (dropped) << "the drag could not be carried out";

    // The intake timer takes the batch within 200 ms; the rename page then lists the three audio files.
    std::this_thread::sleep_for (std::chrono::milliseconds (600));
    ASSERT_TRUE (screen.click (*window, renameButtonX, renameButtonY));
    std::this_thread::sleep_for (std::chrono::milliseconds (400));
    ASSERT_TRUE (screen.click (*window, goRenameX, goRenameY));

    const auto history = folder / "Tarsio.txt";
    ASSERT_TRUE (waitFor ([&] { return history.existsAsFile(); }, 5000)) << "no history file was written";

    EXPECT_TRUE ((folder / "Kick1.wav").existsAsFile());
    EXPECT_TRUE ((folder / "Snare1.wav").existsAsFile());
    EXPECT_TRUE ((folder / "Bass1.wav").existsAsFile());
    for (const auto& name : { "Kick_01.wav", "SNARE TOP.wav", "Bass DI.wav" })
        EXPECT_FALSE ((folder / name).exists()) << name;
    EXPECT_EQ ((folder / "notes.txt").loadFileAsString(), untouched) << "a file outside the batch changed";

    const auto text = history.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("=== Tarsio - Renaming History ===\r\nDate: "));
    EXPECT_TRUE (text.contains ("Kick_01.wav -> Kick1.wav\r\n"));
    EXPECT_TRUE (text.contains ("SNARE TOP.wav -> Snare1.wav\r\n"));
    EXPECT_TRUE (text.contains ("Bass DI.wav -> Bass1.wav\r\n"));
    EXPECT_TRUE (text.endsWith ("\r\nTotal: 3 files renamed\r\n"));

    // Exactly the three renamed files, the untouched text file and the history remain.
    EXPECT_EQ (folder.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles), 5);

    screen.requestClose (*window);
    const auto status = app.waitForExit (5000);
    ASSERT_TRUE (status.has_value());
    EXPECT_EQ (*status, 0);
}
