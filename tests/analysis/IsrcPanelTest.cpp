#include "analysis/AudioConverter.h"
#include "analysis/PanelFrame.h"
#include "analysis/PanelTestSupport.h"

#include <sys/stat.h>

using namespace tarsio::test;

namespace
{
// What the panel shows of the file: "rate-depth|ISRC", or "-" when getFileInfo left its outputs alone.
juce::String infoOf (const juce::File& file)
{
    double rate = -1.0;
    int bits = -1;
    juce::String isrc ("-");
    AudioConverter::getFileInfo (file, rate, bits, isrc);
    return rate < 0.0 ? isrc : juce::String (rate) + "-" + juce::String (bits) + "|" + isrc;
}

// A LIST/INFO chunk holding the ISRC after an item of odd size (with its terminating zero) and pad,
// and after any item given.
juce::MemoryBlock info (const char* isrc, const juce::MemoryBlock& first = {})
{
    juce::MemoryBlock body ("INFO", 4);
    body.append (first.getData(), first.getSize());
    for (const auto& item : { chunk ("INAM", { "Kick", 5 }), chunk ("ISRC", { isrc, std::strlen (isrc) + 1 }) })
        body.append (item.getData(), item.getSize());
    return chunk ("LIST", body);
}

const juce::MemoryBlock data = chunk ("data", { "\1\0\2\0", 4 });
juce::MemoryBlock wav (short channels, int rate, short bits, const char* isrc) { return riff ({ fmt (channels, rate, bits), info (isrc), data }); }
}

// Rate, depth and ISRC wherever tools put them, and of files cut off in their audio data (or in
// what follows it). Damaged and hostile headers: the reader returns at once and leaves its outputs
// alone; a FIFO would block it for ever.
TEST (AudioConverter, ReadsWhatTheHeaderHoldsAndNothingElse)
{
    TempFolder folder;
    const auto pcm = fmt (1, 44100, 16);
    juce::MemoryBlock ds64 (28, true); // RIFF size 1 << 30, data size 0, frames, no table
    ds64[3] = 0x40;
    juce::StringPairArray axml;
    axml.set (juce::WavAudioFormat::internationalStandardRecordingCode, "GBAYE0601498");
    const auto unfinished = [] (juce::MemoryBlock b) { b.copyFrom ("\0\0\0\0", 4, 4); return b; }; // RIFF size 0: never filled in
    // A code a million characters long would crash the editor that draws it.
    const auto million = juce::String::repeatedString ("W", 1000000), cut = "44100-16|" + million.substring (0, 64);
    const struct { juce::File file; const char* shows; } cases[] = {
        { writeBytes (folder / "a million.wav", wav (1, 44100, 16, million.toRawUTF8())), cut.toRawUTF8() },
        { writeWav (folder / "axml.wav", channels (1), 48000.0, 24, 480, sine (-6.0), axml), "48000-24|GBAYE0601498" },
        { writeBytes (folder / "b.wav", wav (1, 22050, 8, "usabc1234567")), "22050-8|1234567" },
        { writeBytes (folder / "c.wav", wav (2, 96000, 32, "FR Z03 98 00212")), "96000-32|FRZ039800212" },
        { writeBytes (folder / "after.wav", riff ({ pcm, data, chunk ("LIST", { "adtl", 4 }), info ("US-ABC-12-34567") })), "44100-16|USABC1234567" },
        { writeBytes (folder / "rf64.wav", riff ({ chunk ("ds64", ds64), pcm, chunk ("data", {}, 0xffffffff), info ("USABC1234567") }, "RF64")), "44100-16|USABC1234567" },
        { writeBytes (folder / "bw64.wav", riff ({ chunk ("ds64", ds64), pcm, chunk ("data", {}, 0xffffffff), info ("USABC1234567") }, "BW64")), "44100-16|USABC1234567" },
        { writeBytes (folder / "cut.wav", riff ({ pcm, info ("USABC1234567"), chunk ("data", {}, 0x7ffffff0), juce::MemoryBlock (100, true) })), "44100-16|USABC1234567" },
        { writeBytes (folder / "unfinished.wav", unfinished (riff ({ pcm, info ("USABC1234567"), chunk ("data", juce::MemoryBlock (100, true), 0) }))), "44100-16|USABC1234567" },
        { writeBytes (folder / "cutlist.wav", riff ({ pcm, data, chunk ("LIST", {}, 0x100000), { "adtl", 4 } })), "44100-16|" },
        { writeBytes (folder / "itrk.wav", riff ({ pcm, info ("US-ABC-12-34567", chunk ("ITRK", { "12", 3 })), data })), "44100-16|USABC1234567" },
        { writeBytes (folder / "empty icmt.wav", riff ({ pcm, info ("US-ABC-12-34567", chunk ("ICMT", {})), data })), "44100-16|USABC1234567" },
        { folder / "folder.wav", "-" }, { folder / "pipe.wav", "-" }, { folder / "missing.wav", "-" },
    };
    (folder / "folder.wav").createDirectory();
    ASSERT_EQ (::mkfifo ((folder / "pipe.wav").getFullPathName().toRawUTF8(), 0600), 0);
    for (const auto& c : cases)
        EXPECT_EQ (infoOf (c.file), c.shows) << c.file.getFileName();

    const auto isrc = info ("USABC1234567");
    const juce::MemoryBlock damaged[] = {
        {}, { "not audio at all", 16 }, { "RIFF\4\0\0\0WAVE", 12 }, riff ({ pcm, data }, "RIFX"),
        { riff ({ pcm, isrc, data }).getData(), 40 } /* cut before its data */, riff ({ pcm, isrc }), riff ({ isrc, data }),
        riff ({ chunk ("fmt ", { "\1\0\1\0\x44\xac\0\0", 8 }), data }), riff ({ chunk ("bext", {}, 0xfffffff0), pcm, data }),
        riff ({ chunk ("fmt ", {}, 0x7ffffff0), data }), riff ({ chunk ("fmt ", juce::MemoryBlock (2000, true)), data }),
        riff ({ fmt (1, -1, -1 /* 65535 */, 1, std::numeric_limits<int>::min()), data }), riff ({ fmt (0, 44100, 16), data }),
        riff ({ fmt (-2, 44100, 16, (short) 0xfffe), data }), riff ({ fmt (1, 0, 16), data }), riff ({ fmt (1, 44100, 48), data }),
        riff ({ pcm, data }, "RF64"), riff ({ fmt (1, 48000, 255, 1, 96000), data }) /* 16 bits by its byte rate */,
    };
    for (size_t i = 0; i < std::size (damaged); ++i)
        EXPECT_EQ (infoOf (writeBytes (folder / "bad.wav", damaged[i])), "-") << "case " << i;
}

//==============================================================================
// Each WAV file once, with what its header holds. Only rows in view have widgets: scrolled away and
// back, or moved up by a removal, every field shows and stores its own file's code. After CLEAR
// AUDIO FILES no scroll bar is left, and a file listed before is read again, out of view too.
TEST (ISRCPanel, RowsShowAndKeepTheirOwnFilesData)
{
    TempFolder folder;
    ISRCListComponent panel;
    panel.setSize (860, 587);
    const auto row = [&] (int i) { auto* r = panel.shownRow (i); return r == nullptr ? "-" : r->nameLabel.getText() + "|" + r->formatLabel.getText() + "|" + r->isrcEditor.getText(); };
    const auto a = writeBytes (folder / "Kick.wav", wav (2, 44100, 24, "US-ABC-12-34567"));
    panel.addList (bytesOf ({ a.getFullPathName(), folder.get().getFullPathName() + "/Bass.mp3", a.getFullPathName(),
                     writeBytes (folder / "text.wav", { "no", 2 }).getFullPathName(), a.getFullPathName() + ".txt" }));
    panel.addList ({ "wav", ".wa", "relative/take.wav" });
    for (int i = 0; i < 300; ++i) // need not exist
        panel.addList ({ (folder / ("f" + juce::String (i) + ".wav")).getFullPathName().toStdString() });
    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isReadingHeaders(); }));
    EXPECT_EQ (row (0) + row (1) + row (2), "Kick.wav|44k-24b|USABC1234567text.wav||take.wav||");

    panel.shownRow (4)->isrcEditor.setText ("FR-ONE", true);
    panel.viewport->setViewPosition (0, 250 * 27);
    panel.shownRow (260)->isrcEditor.setText ("FR-TWO", true);
    EXPECT_EQ (row (4) + row (261), "-f258.wav||");
    panel.viewport->setViewPosition (0, 0);
    panel.shownRow (0)->removeButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return panel.listChanged; }));
    EXPECT_EQ (row (3), "f1.wav||FR-ONE");
    EXPECT_EQ (panel.isrcByFile.at ((folder / "f257.wav").getFullPathName().toStdString()), "FR-TWO");

    EXPECT_TRUE (panel.viewport->getVerticalScrollBar().isVisible());
    panel.clearRows();
    EXPECT_FALSE (panel.viewport->getVerticalScrollBar().isVisible());
    writeBytes (a, wav (1, 48000, 16, "GB-XYZ-99-00001"));
    for (int i = 0; i < 40; ++i) // the file comes out of view: its header is read in the background
        panel.addList ({ (folder / ("x" + juce::String (i) + ".wav")).getFullPathName().toStdString() });
    panel.addList ({ a.getFullPathName().toStdString() });
    ASSERT_TRUE (pumpUntil ([&] { return panel.isrcByFile.at (a.getFullPathName().toStdString()) == "GBXYZ9900001"; }));
    EXPECT_EQ (panel.headerByFile.at (a.getFullPathName().toStdString()).format, "48k-16b");
}

// With the panel's worker: every row ends with its own file's header through intakes, removals and
// CLEAR AUDIO FILES in quick succession. Files rewritten while their first reads wait to be
// delivered, then listed again after CLEAR, show what they hold now; the panel goes at once.
TEST (ISRCPanelThread, EveryRowEndsWithItsOwnFilesHeader)
{
    TempFolder folder;
    auto panel = std::make_unique<ISRCListComponent>();
    panel->setSize (860, 587);
    juce::StringArray paths;
    for (int i = 0; i < 400; ++i)
        paths.add (writeBytes (folder / ("t" + juce::String (i) + ".wav"), wav (2, 44100, 24, "US-OLD-00-00001")).getFullPathName());
    panel->addList (bytesOf (paths));
    for (const auto& path : paths)
        writeBytes (juce::File (path), wav (1, 48000, 16, "FR-NEW-00-00002"));
    panel->clearRows();
    panel->addList (bytesOf (paths));
    panel->removeRow (paths[1].toStdString());
    panel->addList (bytesOf ({ paths[1], (folder / "missing.wav").getFullPathName() }));
    ASSERT_TRUE (pumpUntil ([&] { return ! panel->isReadingHeaders(); }, 30000));
    ASSERT_EQ (panel->filePaths.size(), 401u);
    for (const auto& path : panel->filePaths)
        EXPECT_EQ (panel->headerByFile.at (path).format + "|" + panel->isrcByFile.at (path),
                   path.find ("missing") == std::string::npos ? "48k-16b|FRNEW0000002" : "|") << path;

    panel->clearRows();
    panel->addList (bytesOf (paths));
    const auto start = juce::Time::getMillisecondCounterHiRes();
    panel.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 2000.0);
}

// 2,000 takes, scrolled to the middle: a removal keeps the view, so the next take comes under the
// pointer; dragged to the bottom, the view shows the last take at its foot.
TEST (ISRCPanel, RemovalKeepsTheViewAndTheLastRowIsReachable)
{
    ISRCListComponent panel;
    panel.setSize (860, 587);
    juce::StringArray takes;
    for (int i = 0; i < 2000; ++i)
        takes.add ("/m/take_" + juce::String (i).paddedLeft ('0', 5) + ".wav");
    panel.addList (bytesOf (takes));
    const auto rowAt = [&] (int y) { auto* hit = panel.content->getComponentAt (panel.viewport->getViewPosition().translated (10, y));
                                     return hit == nullptr ? nullptr : dynamic_cast<ISRCListComponent::Row*> (hit->getParentComponent()); };
    const auto pathAt = [&] (int y) { auto* row = rowAt (y); return row == nullptr ? std::string ("-") : row->path; };
    const int y = panel.viewport->getHeight() / 2;
    panel.viewport->setViewPosition (0, panel.content->getHeight() / 2);
    ASSERT_NE (rowAt (y), nullptr);
    const auto index = (size_t) rowAt (y)->index;
    EXPECT_GT (index, 900u);
    rowAt (y)->removeButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return panel.listChanged; }));
    EXPECT_EQ (pathAt (y), takes[(int) index + 1].toStdString());

    panel.viewport->setViewPosition (0, panel.content->getHeight());
    EXPECT_EQ (pathAt (panel.viewport->getHeight() - PanelFrame::unitOf (860) / 2), panel.filePaths.back());
}

// Typing takes capitals, digits and hyphens up to fifteen; only the focused field has a caret (and
// its timer); removing the focused row hands the focus to the close button.
TEST (ISRCPanel, TheFocusedFieldTakesAnIsrcAndStoresIt)
{
    ISRCListComponent panel;
    panel.setBounds (100, 100, 860, 587);
    panel.addList ({ "/m/a.wav", "/m/b.wav" });
    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isReadingHeaders(); }));
    panel.addToDesktop (0);
    panel.setVisible (true);
    panel.toFront (true);
    auto& editor = panel.shownRow (0)->isrcEditor;
    EXPECT_FALSE (editor.isCaretVisible());
    ASSERT_TRUE (pumpUntil ([&] { editor.grabKeyboardFocus(); return editor.hasKeyboardFocus (false); }));
    EXPECT_TRUE (editor.isCaretVisible() && ! panel.shownRow (1)->isrcEditor.isCaretVisible());

    for (auto c : juce::String ("usabcUS-ABC-12-345678"))
        editor.keyPressed (juce::KeyPress ((int) c, {}, c));
    EXPECT_EQ (editor.getText(), "US-ABC-12-34567");
    editor.selectAll();
    editor.insertTextAtCaret (juce::String (juce::CharPointer_UTF8 ("fr z03-98 \xc3\xa9" "00212")));
    ASSERT_TRUE (pumpUntil ([&] { return panel.isrcByFile.at ("/m/a.wav") == "03-9800212"; }));

    panel.shownRow (0)->removeButton.triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return ! panel.hasKeyboardFocus (true); }));
    panel.removeFromDesktop();
}

// Codes typed field after field with Tab, down past the foot of the view: each field Tab reaches
// comes into view, and every code lands on its own file.
TEST (ISRCPanel, TabBringsTheNextFieldIntoView)
{
    ISRCListComponent panel;
    panel.setBounds (100, 100, 860, 587);
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i)
        paths.push_back ("/m/t" + std::to_string (i) + ".wav");
    panel.addList (paths);
    ASSERT_TRUE (pumpUntil ([&] { return ! panel.isReadingHeaders(); }));
    panel.addToDesktop (0);
    panel.setVisible (true);
    panel.toFront (true);
    auto& start = panel.shownRow (15)->isrcEditor;
    ASSERT_TRUE (pumpUntil ([&] { start.grabKeyboardFocus(); return start.hasKeyboardFocus (false); }));

    for (int i = 15; i < 25; ++i)
        for (const auto& key : { juce::KeyPress ('A' + i - 15, {}, (juce::juce_wchar) ('A' + i - 15)), juce::KeyPress (juce::KeyPress::tabKey) })
            panel.getPeer()->handleKeyPress (key);
    EXPECT_TRUE (pumpUntil ([&] { return panel.isrcByFile.at (paths[24]) == "J"; })); // changes arrive as messages

    for (int i = 15; i < 25; ++i)
        EXPECT_EQ (panel.isrcByFile.at (paths[(size_t) i]), std::string (1, (char) ('A' + i - 15))) << i;
    auto* last = panel.shownRow (25);
    ASSERT_NE (last, nullptr);
    EXPECT_TRUE (last->isrcEditor.hasKeyboardFocus (false) && panel.viewport->getViewArea().contains (last->getBounds()));
    panel.removeFromDesktop();
}
