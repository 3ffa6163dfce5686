#include "app/HomeTestSupport.h"
#include "rename/SortOrder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include <fnmatch.h>
#include <sys/stat.h>

using namespace tarsio::test;

TEST (FileIntake, OnlyRegularFilesAndLinksToThemReachThePages)
{
    TempFolder folder;
    ShownMainComponent main;
    juce::StringArray expected;
    for (const auto* name : { "Take:1 Kick.wav", "Snare\nTop.wav", "-Bass \"DI\".wav", "Guitare \xc3\xa9.wav" })
        expected.add (writeWav (folder / juce::String::fromUTF8 (name)).getFullPathName());
    writeWav (folder / "Kick.wav").createSymbolicLink (folder / "link.wav", true);
    expected.add ((folder / "link.wav").getFullPathName());
    (folder / "Drums.wav").createDirectory();
    (folder / "Drums.wav").createSymbolicLink (folder / "folder link.wav", true);
    (folder / "gone.wav").createSymbolicLink (folder / "dangling.wav", true);
    ::mkfifo ((folder / "pipe.wav").getFullPathName().toRawUTF8(), 0600);

    auto dropped = expected;
    for (const auto* name : { "Drums.wav", "folder link.wav", "dangling.wav", "pipe.wav" })
        dropped.add ((folder / name).getFullPathName());
    dropped.add ("relative.wav");
    // A drop of nothing the pages can take, while none lists a file, says what is supported.
    main->filesDropped (juce::StringArray (dropped.begin() + expected.size(), 5), 10, 10);
    main->timerCallback();
    EXPECT_EQ (main->statusLabel.getText(), "No audio files found - Only WAV, MP3, FLAC, AIFF, OGG supported");
    main->filesDropped (dropped, 10, 10);
    main->timerCallback();
    EXPECT_EQ (main->acceptedFiles, bytesOf (expected));
    EXPECT_EQ (main->renamePage.filePaths.size(), (size_t) expected.size());
    EXPECT_EQ (main->statusLabel.getText(), "5 audio files loaded - Click RENAME to edit names");
}

TEST (FileDialog, ReturnsEveryPickedFileExactlyAsPicked)
{
    TempFolder folder;
    const auto a = writeWav (folder / "Take:1 Kick.wav").getFullPathName().toStdString(), b = writeWav (folder / "x\ny.wav").getFullPathName().toStdString();
    const auto missing = (folder / "1 Kick.wav").getFullPathName().toStdString(), dir = folder.get().getFullPathName().toStdString();
    const auto latin1 = dir + "/d\xfcsseldorf.wav";   // zenity prints a name's bytes, UTF-8 or not
    std::unique_ptr<FILE, int (*) (FILE*)> (std::fopen (latin1.c_str(), "wb"), std::fclose);
    const auto out = [] (std::vector<std::string> paths)
    {
        std::string joined;
        for (const auto& p : paths)
            joined += (joined.empty() ? "" : "//") + p;
        return joined + "\n";
    };
    using M = FileDialog::Mode;
    using Paths = std::vector<std::string>;
    const struct { std::string output; M mode; Paths expected; } cases[] = {
        { out ({ a, missing, dir, b, latin1 }), M::openFiles, { a, b, latin1 } },
        { out ({ b }), M::openFile, { b } },
        { out ({ missing }), M::saveFile, { missing } },
        { out ({ dir }), M::saveFile, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ (FileDialog::parseOutput (c.output, c.mode), c.expected) << c.output;

    // The desktop dialog's filter takes the extensions in any letter case.
    const auto args = FileDialog::zenityArguments ({ "t", "*.wav;*.flac", {}, M::openFiles });
    const auto patterns = juce::StringArray::fromTokens (args[args.size() - 1].fromFirstOccurrenceOf ("| ", false, false), " ", {});
    for (const auto* name : { "OH_Left.WAV", "a.Flac", "b.wav" })
        EXPECT_TRUE (std::any_of (patterns.begin(), patterns.end(), [&] (auto& p) { return ::fnmatch (p.toRawUTF8(), name, 0) == 0; })) << name;
}

TEST (FileDialogThread, OneDialogAtATimeKeptAboveItsWindowAndNoneOutlivesItsOwner)
{
    const auto children = []
    {
        juce::String all;
        for (const auto& task : juce::File ("/proc/self/task").findChildFiles (juce::File::findDirectories, false))
            all << task.getChildFile ("children").loadFileAsString() << " ";
        return juce::StringArray::fromTokens (all, true);
    };
    const auto before = children();
    const auto dialogs = [&] { auto c = children(); for (auto& b : before) c.removeString (b); return c; };
    // The desktop's tools, run to their end (and reaped) on this test's own display.
    const auto x = [] (const juce::StringArray& command)
    {
        juce::ChildProcess tool;
        const auto output = tool.start (command) ? tool.readAllProcessOutput() : juce::String();
        tool.waitForProcessToFinish (5000);
        auto words = juce::StringArray::fromTokens (output, ", #\n", {});
        words.removeEmptyStrings();
        return words;
    };
    const auto hex = [] (juce::int64 window) { return "0x" + juce::String::toHexString (window); };
    const auto windowOf = [&] (juce::Component& c) { return hex ((juce::int64) (juce::pointer_sized_uint) c.getWindowHandle()); };
    const auto active = [&] { return x ({ "xprop", "-root", "_NET_ACTIVE_WINDOW" }).strings.getLast(); };
    const auto above = [&] (auto& upper, auto& lower)
    {
        const auto stacking = x ({ "xprop", "-root", "_NET_CLIENT_LIST_STACKING" });
        return stacking.indexOf (upper) > stacking.indexOf (lower) && stacking.contains (lower);
    };

    ShownMainComponent main;
    main->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    main->openClicked();
    ASSERT_TRUE (pumpUntil ([&] { return dialogs().size() == 1; }));
    const auto dialog = dialogs()[0];
    const auto ownWindow = windowOf (*main);
    juce::String dialogWindow;
    ASSERT_TRUE (pumpUntil ([&]
    {
        dialogWindow = hex (x ({ "xdotool", "search", "--onlyvisible", "--pid", dialog })[0].getLargeIntValue());
        return x ({ "xprop", "-id", dialogWindow, "WM_TRANSIENT_FOR" }).contains (ownWindow);
    })) << "the dialog is not tied to the window";

    // Another application's window on top; then a click that activates ours brings the dialog along.
    juce::Component other;
    other.setBounds (0, 0, 300, 200);
    other.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    other.setVisible (true);
    const auto otherWindow = windowOf (other);
    ASSERT_TRUE (pumpUntil ([&] { other.toFront (true); return active() == otherWindow; }));
    x ({ "xdotool", "windowactivate", ownWindow });
    ASSERT_TRUE (pumpUntil ([&] { return active() != otherWindow; }));
    EXPECT_TRUE (above (dialogWindow, ownWindow)) << "the dialog went behind the window";

    // OPEN, LOAD RULES and SAVE RULES AS while it is open bring it to the front, and start nothing.
    const std::function<void()> clicks[] = { [&] { main->openClicked(); }, [&] { main->rulesPage.loadCSVRules(); },
                                             [&] { main->rulesPage.saveRulesAs(); } };
    for (const auto& click : clicks)
    {
        other.toFront (true);
        ASSERT_TRUE (pumpUntil ([&] { return active() == otherWindow; }));
        click();
        EXPECT_TRUE (pumpUntil ([&] { return active() == dialogWindow && above (dialogWindow, otherWindow); }));
    }
    EXPECT_EQ (dialogs(), juce::StringArray (dialog));
    EXPECT_TRUE (main->rulesPage.loadChooser == nullptr && main->rulesPage.saveChooser == nullptr);
    EXPECT_FALSE (main->isInterestedInFileDrag ({ "/x.wav" })) << "no drops while the dialog is open";

    main.main.reset();
    EXPECT_FALSE (FileDialog::isAnyOpen());
    EXPECT_FALSE (juce::File ("/proc/" + dialog).exists()) << "the dialog's process outlived its owner";
}

// Names from older archives, in Latin-1: taken in, listed, read by every reader and renamed under
// their own bytes; only a name the user typed becomes UTF-8, and the history tells every file apart.
TEST (FileIntake, NamesThatAreNotUtf8KeepTheirBytesFromTheDropToTheRename)
{
    TempFolder folder;
    const auto in = folder.get().getFullPathName().toStdString() + "/";
    juce::MemoryBlock wav;
    writeWav (folder / "model.wav").loadFileAsData (wav);
    std::vector<std::string> dropped;
    for (const auto* name : { "d\xfcsseldorf.wav", "zq\xe9.wav", "zq\xe8.wav", "K\xf6ln.wav" })
    {
        std::unique_ptr<FILE, int (*) (FILE*)> file (std::fopen ((in + name).c_str(), "wb"), std::fclose);
        ASSERT_TRUE (file != nullptr && std::fwrite (wav.getData(), 1, wav.getSize(), file.get()) == wav.getSize());
        dropped.push_back (in + name);
    }
    ASSERT_TRUE ((folder / "model.wav").deleteFile());

    ShownMainComponent main;
    main->dropTarget.pendingFiles = dropped;
    main->timerCallback();
    EXPECT_EQ (main->acceptedFiles, dropped);
    auto& page = main->renamePage;
    const auto rowOf = [&] (const std::string& path) { return (int) (std::find (page.filePaths.begin(), page.filePaths.end(), path) - page.filePaths.begin()); };

    // Every reader opens the file itself: the ISRC panel's header, the loudness (-inf, too short to
    // measure, rather than the error value) and the preview.
    main->isrcList.setBounds (main->getLocalBounds());
    EXPECT_TRUE (pumpUntil ([&] { const auto h = main->isrcList.headerByFile.find (dropped[0]); return h != main->isrcList.headerByFile.end() && h->second.format == "44k-16b"; }));
    EXPECT_TRUE (pumpUntil ([&] { return std::isinf (main->analysisList.lufsByFile[dropped[0]]); }, 20000));
    main->renameClicked();
    page.rowInView (rowOf (dropped[0]))->playButton.triggerClick();
    EXPECT_TRUE (pumpUntil ([&] { return page.playbackThread.transportSource.isPlaying(); }, 20000)) << page.progressBar.getText();

    // One name typed; GO RENAME.
    auto& typed = page.rowInView (rowOf (dropped[3]))->nameEditor;
    typed.setText (juce::String::fromUTF8 ("K\xc3\xb6ln Mix"), true);
    pumpMessages (50);
    page.goRenameButton.onClick();

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator (in))
        names.insert (entry.path().filename().string());
    EXPECT_EQ (names, (std::set<std::string> { "d\xfcsseldorf.wav", "Synth1.wav", "Synth2.wav", "K\xc3\xb6ln Mix.wav", "Tarsio.txt" }));
    juce::MemoryBlock history;
    ASSERT_TRUE ((folder / "Tarsio.txt").loadFileAsData (history));
    EXPECT_TRUE (history.toString().contains ("------\r\nd\\xFCsseldorf.wav -> d\\xFCsseldorf.wav\r\nK\\xF6ln.wav -> K\xc3\xb6ln Mix.wav\r\n"
                                              "zq\\xE9.wav -> Synth1.wav\r\nzq\\xE8.wav -> Synth2.wav\r\n\r\nTotal: 4"))
        << history.toString();
}

// A large batch reaches the pages a slice at a time, the window serving its events in between, and
// is reported once, whole; a drop made meanwhile waits its turn.
TEST (FileIntake, ALargeBatchGoesToThePagesInSlicesAndIsReportedWhole)
{
    TempFolder folder;
    std::vector<std::string> paths;
    for (int i = 0; i < 3000; ++i)
        paths.push_back ((folder / ("Take " + juce::String (i) + ".aif")).getFullPathName().toStdString());
    paths.push_back (writeWav (folder / "Kick.wav").getFullPathName().toStdString());
    for (const auto& p : paths)
        std::unique_ptr<FILE, int (*) (FILE*)> (std::fopen (p.c_str(), "wb"), std::fclose);

    ShownMainComponent main;
    main->dropTarget.pendingFiles.assign (paths.begin(), paths.end() - 1);
    main->timerCallback();
    ASSERT_TRUE (main->isTakingIn());
    main->dropTarget.pendingFiles = { paths.back() };

    // Only whole counts are ever reported.
    std::set<juce::String> counts;
    ASSERT_TRUE (pumpUntil ([&]
    {
        for (const auto& text : { main->statusLabel.getText(), main->renamePage.progressBar.getText() })
            if (const auto count = text.retainCharacters ("0123456789"); count.isNotEmpty() && text.contains (" files "))
                counts.insert (count);
        return main->renamePage.filePaths.size() == paths.size() && ! main->isTakingIn();
    }, 20000));
    for (const auto& count : counts)
        EXPECT_TRUE (count == "3000" || count == "3001") << count;
    EXPECT_EQ (main->statusLabel.getText(), "3001 audio files loaded - Click RENAME to edit names");
    EXPECT_EQ (main->acceptedFiles, std::vector<std::string> { paths.back() }) << "the later drop is a batch of its own";
    EXPECT_EQ (SortOrder::sortedByNewName (main->renamePage.filePaths, main->renamePage.newNames), main->renamePage.filePaths);
}
