#include "app/HomeTestSupport.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ (main->acceptedFiles, expected);
    EXPECT_EQ (main->renamePage.filePaths.size(), (size_t) expected.size());
    EXPECT_EQ (main->statusLabel.getText(), "5 audio files loaded - Click RENAME to edit names");
}

TEST (FileDialog, ReturnsEveryPickedFileExactlyAsPicked)
{
    TempFolder folder;
    const auto a = writeWav (folder / "Take:1 Kick.wav").getFullPathName(), b = writeWav (folder / "x\ny.wav").getFullPathName();
    const auto missing = (folder / "1 Kick.wav").getFullPathName(), dir = folder.get().getFullPathName();
    const auto out = [] (juce::StringArray paths) { return paths.joinIntoString ("//").toStdString() + "\n"; };
    using M = FileDialog::Mode;
    const struct { std::string output; M mode; juce::StringArray expected; } cases[] = {
        { out ({ a, missing, dir, b }), M::openFiles, { a, b } },
        { out ({ b }), M::openFile, { b } },
        { out ({ missing }), M::saveFile, { missing } },
        { out ({ dir }), M::saveFile, {} },
    };
    for (const auto& c : cases)
    {
        juce::StringArray got;
        for (const auto& f : FileDialog::parseOutput (c.output, c.mode))
            got.add (f.getFullPathName());
        EXPECT_EQ (got, c.expected) << c.output;
    }

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
