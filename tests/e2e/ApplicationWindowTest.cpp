// The built application under a window manager, as a user handles it: OPEN a batch through the
// desktop's dialog, RENAME, "GO RENAME !", then maximise, restore, resize beyond the limits, close.
#include "app/HomeTestSupport.h"
#include "e2e/AppDriver.h"
#include "rename/Rename.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

using namespace tarsio::e2e;

namespace
{
using Geometry = VirtualDisplay::Geometry;

void sleepMs (int ms) { std::this_thread::sleep_for (std::chrono::milliseconds (ms)); }

// Clock ticks of CPU the process used (user and system) during one second, from /proc.
long cpuOverOneSecond (pid_t pid)
{
    const auto cpu = [pid]
    {
        // Fields after the command's ")": state first, then utime and stime at 11 and 12.
        const auto stat = juce::StringArray::fromTokens (juce::File ("/proc/" + juce::String (pid) + "/stat").loadFileAsString().fromLastOccurrenceOf (")", false, false), " ", {});
        return stat[11].getLargeIntValue() + stat[12].getLargeIntValue();
    };
    const auto before = cpu();
    sleepMs (1000);
    return (long) (cpu() - before);
}

// True once the process has used less CPU than the limit during a second: a window that fights the
// window manager never settles, one that merely repaints after a change soon does.
bool settlesBelow (pid_t pid, long ticks)
{
    for (int second = 0; second < 15; ++second)
        if (cpuOverOneSecond (pid) < ticks)
            return true;
    return false;
}

// Polls a condition outside this process (a file, another process's state) until it holds.
bool waitUntil (const std::function<bool()>& condition, int timeoutMs = 30000)
{
    for (const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs; ! condition(); sleepMs (20))
        if (juce::Time::getMillisecondCounter() > end)
            return condition();
    return true;
}

// OPEN, and everything its dialog shows picked (once more if the dialog had not listed every file
// yet); true once the application has taken the files in, which it shows by reading them (it
// measures and reads the header of every WAV file it takes in).
bool openAll (VirtualDisplay& screen, WindowId window, OpenedFiles& opened, std::initializer_list<const char*> names)
{
    const auto takenIn = [&] { return std::all_of (names.begin(), names.end(), [&] (auto* name) { return opened.count (name) > 0; }); };
    for (int i = 0; i < 3 && ! takenIn(); ++i)
        if (openEverythingInDialog (screen, window))
            waitUntil (takenIn, 10000);
    return takenIn();
}

bool withinLimits (const Geometry& g) { return g.width >= 688 && g.height >= 469 && g.width <= 1720 && g.height <= 1174; }
} // namespace

TEST (ApplicationWindow, OpensRenamesMaximisesRestoresResizesWithinItsLimitsAndQuitsAtOnce)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok());

    // The dialog opens in the home folder; the names hold what JUCE's own chooser split or hid.
    tarsio::test::TempFolder home;
    for (const auto* name : { "Take:1 Kick.wav", "SNARE TOP.WAV", "Bass DI.wav" })
        tarsio::test::writeWav (home / name);
    (home / "notes.txt").replaceWithText ("not audio");

    OpenedFiles opened (home.get().getFullPathName().toStdString());
    auto environment = screen.environment();
    environment.push_back ("HOME=" + home.get().getFullPathName().toStdString());
    Process app ({ applicationPath() }, environment);
    WindowId window = 0;

    // The window's geometry once it has held still in a state that passes the test.
    const auto settle = [&] (const std::function<bool (const Geometry&)>& wanted)
    {
        Geometry last { -1, -1, -1, -1 };
        for (int i = 0; i < 75; ++i, sleepMs (200))
        {
            window = screen.waitForWindow ("Tarsio", 30000).value_or (0);
            const auto g = screen.geometry (window);
            if (wanted (g) && g.width == last.width && g.height == last.height && g.x == last.x)
                break;
            last = g;
        }
        return last;
    };
    const auto wm = [&] (const char* action) { screen.run ({ "wmctrl", "-i", "-r", std::to_string (window), "-b", action }); };

    // The window, once it stands centred at its design size.
    auto g = settle ([] (auto& w) { return w.width == 860 && std::abs (w.x + w.width / 2 - 960) <= 20; });
    EXPECT_EQ (g.height, 587);
    EXPECT_NEAR (g.y + g.height / 2, 600, 40);

    ASSERT_TRUE (openAll (screen, window, opened, { "Take:1 Kick.wav", "SNARE TOP.WAV", "Bass DI.wav" })) << "the files were not taken in";
    ASSERT_TRUE (screen.click (window, 429, 75));   // RENAME
    ASSERT_TRUE (screen.click (window, 725, 27));   // "GO RENAME !"
    juce::String history;
    waitUntil ([&] { return (history = (home / "Tarsio.txt").loadFileAsString()).contains ("Total:"); });
    for (const auto* line : { "Take:1 Kick.wav -> Kick1.wav\r\n", "SNARE TOP.WAV -> Snare1.WAV\r\n", "Bass DI.wav -> Bass1.wav\r\n", "Total: 3 files renamed\r\n" })
        EXPECT_TRUE (history.contains (line)) << line << " is missing from the history:\n" << history;
    const auto idle = cpuOverOneSecond (app.id());

    // Maximised in height only, the window manager imposes a size of another ratio: it stands.
    wm ("add,maximized_vert");
    EXPECT_GT (settle ([] (auto& w) { return w.height > 587; }).height, 587);
    EXPECT_TRUE (settlesBelow (app.id(), 2 * idle + 10)) << "the window fights the window manager";
    wm ("remove,maximized_vert");
    wm ("add,maximized_vert,maximized_horz");
    EXPECT_TRUE (withinLimits (settle ([] (auto& w) { return w.width > 860; })));
    wm ("remove,maximized_vert,maximized_horz");
    EXPECT_EQ (settle ([] (auto& w) { return w.width == 860; }).height, 587) << "restored";
    EXPECT_TRUE (settlesBelow (app.id(), 2 * idle + 10));

    // A user resize beyond either limit ends inside them, at the design's ratio.
    for (auto [w, h] : { std::pair { 500, 300 }, { 3000, 2000 } })
    {
        screen.run ({ "xdotool", "windowsize", std::to_string (window), std::to_string (w), std::to_string (h) });
        g = settle ([w = w] (auto& s) { return (s.width > 860) == (w > 860); });
        EXPECT_TRUE (withinLimits (g)) << g.width << " x " << g.height;
        EXPECT_NEAR ((double) g.width / g.height, 860.0 / 587.0, 0.01);
    }

    screen.requestClose (window);
    EXPECT_EQ (app.waitForExit (30000), std::optional<int> (0)) << "the application did not quit on its close request";
}

// Files no reader can take, played from the rename page: a header of 32,768 channels (which JUCE's
// reader took as a negative count, and crashed on), and a file that became a FIFO after it was
// listed (whose opening blocked the window for good). Nothing plays, and the application still
// quits on its close request, cleanly.
TEST (ApplicationWindow, PlaysFilesNoReaderCanTakeAndStillQuitsAtOnce)
{
    VirtualDisplay screen;
    ASSERT_TRUE (screen.ok());
    tarsio::test::TempFolder home;
    tarsio::test::writeWav (home / "Kick.wav");
    tarsio::test::writeWav (home / "Pipe.wav");
    juce::MemoryOutputStream wav;
    wav.write ("RIFF", 4); wav.writeInt (36 + 4000); wav.write ("WAVEfmt ", 8); wav.writeInt (16); wav.writeShort (1);
    wav.writeShort ((short) 0x8000); wav.writeInt (48000); wav.writeInt (96000); wav.writeShort (2); wav.writeShort (16);
    wav.write ("data", 4); wav.writeInt (4000); wav.writeRepeatedByte (0x55, 4000);
    (home / "Channels.wav").replaceWithData (wav.getData(), wav.getDataSize());
    // An audio device that takes whatever it is given, as fast as it can.
    (home / "asound.conf").replaceWithText ("pcm.!default { type plug slave { pcm { type null } format S32_LE rate 48000 channels 2 } }\n");

    OpenedFiles opened (home.get().getFullPathName().toStdString());
    auto environment = screen.environment();
    environment.push_back ("HOME=" + home.get().getFullPathName().toStdString());
    environment.push_back ("ALSA_CONFIG_PATH=" + (home / "asound.conf").getFullPathName().toStdString());
    Process app ({ applicationPath() }, environment);
    const auto window = screen.waitForWindow ("Tarsio", 30000);
    ASSERT_TRUE (window.has_value());
    ASSERT_TRUE (openAll (screen, *window, opened, { "Kick.wav", "Pipe.wav", "Channels.wav" })) << "the files were not taken in";
    ASSERT_TRUE ((home / "Pipe.wav").deleteFile() && ::mkfifo ((home / "Pipe.wav").getFullPathName().toRawUTF8(), 0600) == 0);

    // Where the rows' play buttons stand, from the page itself at the window's size.
    Rename layout;
    layout.setSize (860, 587);
    layout.addList (tarsio::test::bytesOf ({ (home / "Kick.wav").getFullPathName(), (home / "Pipe.wav").getFullPathName(), (home / "Channels.wav").getFullPathName() }));
    ASSERT_TRUE (screen.click (*window, 429, 75)); // RENAME
    for (int row : { 0, 1, 2, 0, 1, 2 })
    {
        const auto name = juce::File (layout.filePaths[(size_t) row]).getFileName().toStdString();
        const auto before = opened.count (name);
        auto* button = &layout.rowInView (row)->playButton;
        const auto centre = layout.getLocalArea (button, button->getLocalBounds()).getCentre();
        ASSERT_TRUE (screen.click (*window, centre.x, centre.y));
        // Each preview is tried before the next click (of play requests queued at once, only the last
        // counts): a regular file is opened for it, a FIFO never is.
        EXPECT_TRUE (name == "Pipe.wav" || opened.waitFor (name, before + 1)) << name << " was not tried";
        ASSERT_FALSE (app.waitForExit (0).has_value()) << "the application ended on " << name;
    }

    screen.requestClose (*window);
    EXPECT_EQ (app.waitForExit (30000), std::optional<int> (0)) << "the application did not quit on its close request";
}

// Started where no X display answers (over a remote shell, say), the application says so and ends
// with a failure, rather than running on with no window to show or to close.
TEST (ApplicationWindow, EndsWithAMessageWhenThereIsNoDisplay)
{
    tarsio::test::TempFolder home;
    Process app ({ "sh", "-c", "\"$0\" 2> \"$1\"", applicationPath(), (home / "stderr.txt").getFullPathName().toStdString() },
                 { "DISPLAY=:4094", "HOME=" + home.get().getFullPathName().toStdString() }, true);
    EXPECT_EQ (app.waitForExit (30000), std::optional<int> (1)) << "the application did not end";
    EXPECT_TRUE ((home / "stderr.txt").loadFileAsString().contains ("no X display"));
}
