#include "analysis/ISRCPanelSupport.h"
#include "look/Palette.h"
#include "rename/NameSuggestion.h"

using namespace tarsio::test;

namespace
{
// Every row widget lives on the content and nowhere else.
void expectRowsConsistent (const ISRCListComponent& panel)
{
    const auto rows = (int) panel.filePaths.size();
    EXPECT_EQ ((int) panel.isrcByFile.size(), rows);
    EXPECT_EQ (panel.nameLabels.size(), rows);
    EXPECT_EQ (panel.formatLabels.size(), rows);
    EXPECT_EQ (panel.isrcEditors.size(), rows);
    EXPECT_EQ (panel.removeButtons.size(), rows);
    EXPECT_EQ (panel.content->getNumChildComponents(), 4 * rows);

    for (int i = 0; i < rows; ++i)
    {
        const auto name = NameSuggestion::extractFileName (panel.filePaths[(size_t) i]);
        EXPECT_EQ (panel.nameLabels[i]->getText().toStdString(), name);
        EXPECT_EQ (panel.isrcEditors[i]->getText().toStdString(), panel.isrcByFile.at (panel.filePaths[(size_t) i]));
    }
}
} // namespace

TEST_F (ISRCPanel, OnlyWavPathsGetARowAndEachPathOnlyOne)
{
    const auto a = writeWavFile (folder / "Kick.wav", 44100, 16);
    const auto b = writeWavFile (folder / "SNARE.WAV", 44100, 16);
    const auto c = writeWavFile (folder / "Hat.Wav", 44100, 16);
    const auto mp3 = writeWavFile (folder / "Bass.mp3", 44100, 16);
    const auto txt = writeWavFile (folder / "Pad.wav.txt", 44100, 16);

    add ({ a, mp3, b, txt, a, c });
    add ({ c, a });
    panel->addList ({ "wav", ".wa" });

    ASSERT_EQ (panel->filePaths, (std::vector<std::string> { pathOf (a).toStdString(), pathOf (b).toStdString(),
                                                            pathOf (c).toStdString() }));
    expectRowsConsistent (*panel);
    EXPECT_EQ (panel->nameLabels[1]->getText(), "SNARE.WAV");
    EXPECT_FALSE (panel->listChanged);
}

TEST_F (ISRCPanel, TheFormatShowsTheRateInWholeKilohertzAndTheDepth)
{
    const auto a = writeWavFile (folder / "a.wav", 48000, 16);
    const auto b = writeWavFile (folder / "b.wav", 44100, 24);
    const auto c = writeWavFile (folder / "c.wav", 22050, 8);
    const auto d = writeWavFile (folder / "d.wav", 88200, 24);
    add ({ a, b, c, d });

    EXPECT_EQ (formatOf (a), "48k-16b");
    EXPECT_EQ (formatOf (b), "44k-24b");
    EXPECT_EQ (formatOf (c), "22k-8b");
    EXPECT_EQ (formatOf (d), "88k-24b");
}

TEST_F (ISRCPanel, TheFieldShowsTheStoredCodeInCapitalsAndDigitsOnly)
{
    const auto hyphens = writeWavFile (folder / "hyphens.wav", 44100, 16, infoListIsrc ("US-ABC-12-34567"));
    const auto lower = writeWavFile (folder / "lower.wav", 44100, 16, infoListIsrc ("usabc1234567"));
    const auto none = writeWavFile (folder / "none.wav", 44100, 16);
    add ({ hyphens, lower, none });

    EXPECT_EQ (editorOf (hyphens).getText(), "USABC1234567");
    EXPECT_EQ (editorOf (lower).getText(), "1234567");
    EXPECT_EQ (editorOf (none).getText(), "");
    EXPECT_EQ (editorOf (none).getTextToShowWhenEmpty(), "ISRC Code");
    expectRowsConsistent (*panel);
}

TEST_F (ISRCPanel, AnUnreadableFileGetsARowWithNothingRead)
{
    const auto text = writeBytesTo (folder / "text.wav", bytes ("not audio", 9));
    auto good = writeWavFile (folder / "cut.wav", 44100, 16, infoListIsrc ("USABC1234567"));
    good.replaceWithData (good.loadFileAsString().toRawUTF8(), 30); // header cut off
    const auto missing = folder / "missing.wav";

    add ({ text, good, missing });
    panel->addList ({ "relative/take.wav" });

    ASSERT_EQ (panel->filePaths.size(), 4u);
    for (auto* label : panel->formatLabels)
        EXPECT_EQ (label->getText(), "");
    for (auto* editor : panel->isrcEditors)
        EXPECT_EQ (editor->getText(), "");
    expectRowsConsistent (*panel);
}

TEST_F (ISRCPanel, RemovingARowDropsItsEditsAndSetsTheFlag)
{
    const auto a = writeWavFile (folder / "a.wav", 44100, 16, infoListIsrc ("USAAA0000001"));
    const auto b = writeWavFile (folder / "b.wav", 44100, 16, infoListIsrc ("USBBB0000002"));
    const auto c = writeWavFile (folder / "c.wav", 44100, 16);
    add ({ a, b, c });
    panel->setBounds (0, 0, 860, 587);

    editorOf (b).setText ("FR-XYZ", true);
    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (b), "FR-XYZ");

    clickRemove (a);
    EXPECT_TRUE (panel->listChanged);
    EXPECT_EQ (panel->isrcByFile.count (pathOf (a).toStdString()), 0u);
    expectRowsConsistent (*panel);
    // The rows after it move up a place.
    EXPECT_EQ (panel->nameLabels[0]->getY(), 0);
    EXPECT_EQ (panel->nameLabels[1]->getY(), 27);
    EXPECT_EQ (panel->content->getHeight(), 2 * 30);

    // The moved row's field still stores under its own path.
    editorOf (b).setText ("FR-XYZ-99", true);
    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (b), "FR-XYZ-99");
    EXPECT_EQ (storedIsrcOf (c), "");

    panel->listChanged = false;
    clickRemove (b);
    EXPECT_TRUE (panel->listChanged);
    EXPECT_EQ (panel->filePaths, std::vector<std::string> { pathOf (c).toStdString() });
    expectRowsConsistent (*panel);

    // A path that is not listed changes no row, but still reports.
    panel->listChanged = false;
    panel->removeRow (pathOf (a).toStdString());
    EXPECT_TRUE (panel->listChanged);
    EXPECT_EQ (panel->filePaths.size(), 1u);
}

TEST_F (ISRCPanel, AfterEmptyingAFileIsReadAgain)
{
    const auto file = writeWavFile (folder / "take.wav", 44100, 16, infoListIsrc ("USAAA0000001"));
    add ({ file });
    editorOf (file).setText ("EDITED", true);
    pumpMessages (20);
    panel->listChanged = true;

    panel->clearRows();
    EXPECT_TRUE (panel->filePaths.empty());
    expectRowsConsistent (*panel);
    EXPECT_TRUE (panel->listChanged) << "emptying leaves the flag alone";

    writeWavFile (file, 48000, 24, infoListIsrc ("GB-XYZ-99-00001"));
    add ({ file });
    EXPECT_EQ (editorOf (file).getText(), "GBXYZ9900001");
    EXPECT_EQ (storedIsrcOf (file), "GBXYZ9900001");
    EXPECT_EQ (formatOf (file), "48k-24b");
}

TEST_F (ISRCPanel, RowsAreLaidOutOnAUnitOfTheWidth)
{
    add ({ writeWavFile (folder / "a.wav", 44100, 16), writeWavFile (folder / "b.wav", 44100, 16),
           writeWavFile (folder / "c.wav", 44100, 16) });
    panel->setBounds (0, 0, 860, 587); // unit 30

    EXPECT_EQ (panel->closeButton->getBounds(), juce::Rectangle<int> (791, 9, 36, 36));
    EXPECT_EQ (panel->viewport->getBounds(), juce::Rectangle<int> (30, 66, 800, 497));
    EXPECT_EQ (panel->content->getBounds(),
               juce::Rectangle<int> (0, 0, 800 - panel->viewport->getScrollBarThickness(), 90));

    const int rowY[] = { 0, 27, 54 };
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (panel->nameLabels[i]->getBounds(), juce::Rectangle<int> (0, rowY[i], 536, 24)) << i;
        EXPECT_EQ (panel->formatLabels[i]->getBounds(), juce::Rectangle<int> (536, rowY[i], 72, 24)) << i;
        EXPECT_EQ (panel->isrcEditors[i]->getBounds(), juce::Rectangle<int> (608, rowY[i], 154, 24)) << i;
        EXPECT_EQ (panel->removeButtons[i]->getBounds(), juce::Rectangle<int> (764, rowY[i] - 2, 30, 30)) << i;
    }

    // 1000 wide: unit 36.
    panel->setSize (1000, 700);
    EXPECT_EQ (panel->closeButton->getBounds(), juce::Rectangle<int> (917, 10, 43, 43));
    EXPECT_EQ (panel->viewport->getBounds(), juce::Rectangle<int> (36, 79, 928, 592));
    EXPECT_EQ (panel->nameLabels[2]->getBounds(), juce::Rectangle<int> (0, 64, 621, 28));
    EXPECT_EQ (panel->isrcEditors[2]->getBounds(), juce::Rectangle<int> (704, 64, 177, 28));
}

TEST_F (ISRCPanel, TheCloseButtonOnlyHidesThePanel)
{
    add ({ writeWavFile (folder / "a.wav", 44100, 16) });
    panel->setVisible (true);
    panel->closeButton->triggerClick();
    pumpMessages (20);

    EXPECT_FALSE (panel->isVisible());
    EXPECT_EQ (panel->filePaths.size(), 1u);
    EXPECT_FALSE (panel->listChanged);
}

TEST_F (ISRCPanel, PaintsAFramedDarkAreaBehindTheRows)
{
    panel->setBounds (0, 0, 860, 587);
    const auto image = panel->createComponentSnapshot (panel->getLocalBounds(), true, 1.0f);

    EXPECT_EQ (image.getPixelAt (2, 2), lightVekko) << "outside the frame";
    EXPECT_EQ (image.getPixelAt (430, 300), greyBlackVekko) << "inside the frame, no rows";
}

TEST_F (ISRCPanel, RemovingTheFocusedRowHandsTheFocusToTheCloseButton)
{
    const auto a = writeWavFile (folder / "a.wav", 44100, 16);
    const auto b = writeWavFile (folder / "b.wav", 44100, 16);
    add ({ a, b });
    panel->setBounds (100, 100, 860, 587);
    panel->addToDesktop (0);
    panel->setVisible (true);
    panel->toFront (true);

    editorOf (a).grabKeyboardFocus();
    pumpMessages (50);
    clickRemove (a);

    EXPECT_TRUE (panel->closeButton->hasKeyboardFocus (false));
    EXPECT_TRUE (editorOf (b).getWantsKeyboardFocus()) << "the remaining fields take focus again";

    panel->removeFromDesktop();
}
