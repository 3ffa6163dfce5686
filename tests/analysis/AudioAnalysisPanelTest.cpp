#include "analysis/PanelTestSupport.h"

using namespace tarsio::test;

struct LoudnessPanel : public ::testing::Test
{
    TempFolder folder;
    std::unique_ptr<AudioAnalysisComponent> panel = std::make_unique<AudioAnalysisComponent>();

    LoudnessPanel() { panel->setSize (860, 587); }
    ~LoudnessPanel() override { panel.reset(); pumpMessages (20); }

    // An intake as the main component makes it.
    void intake (std::initializer_list<juce::File> files) { for (auto& f : files) panel->addList ({ f.getFullPathName().toStdString() }); panel->startBackgroundAnalysis(); }
    bool waitFor (const juce::String& text, int row) { return pumpUntil ([&] { return shown (*panel, row) == text; }, 30000); }
    bool measuredAll() { return pumpUntil ([this] { return std::none_of (panel->filePaths.begin(), panel->filePaths.end(), [this] (auto& p) { return panel->analysingByFile.at (p); }); }, 30000); }
};

TEST_F (LoudnessPanel, ListsWavPathsOnceAndShowsTheirResults)
{
    panel->addList ({ "/m/b.WAV", "/m/a.wav", "/m/b.WAV", "/m/d.wave", "/m/e.flac", "wav", ".wa", "/m/hwav", "C:\\A\\T 1.wav", "bare.wav" });
    panel->addList ({ "/m/a.wav", "/m/dir\\été.wav", "/m/.wav" });
    EXPECT_EQ (shown (*panel, 0) + shown (*panel, 2), "b.WAV|Pending...|Pending...C:\\A\\T 1.wav|Pending...|Pending...");
    EXPECT_EQ (shown (*panel, 4) + shown (*panel, 5) + shown (*panel, 6), juce::String::fromUTF8 ("dir\\été.wav|Pending...|Pending....wav|Pending...|Pending...-"));

    // Results land on the row of their path, whatever row they were queued for.
    const float results[][2] = { { -23.0f, -1.5f }, { -INFINITY, -100.0f }, { kNotAnalysedValue, kNotAnalysedValue } };
    for (int i = 0; i < 3; ++i)
        panel->updateAnalysisResult (panel->filePaths[(size_t) i + 1], 99, results[i][0], results[i][1]);
    panel->updateAnalysisResult ("/m/gone.wav", 0, -23.0f, -1.0f);
    EXPECT_EQ (shown (*panel, 1) + shown (*panel, 2) + shown (*panel, 3), "a.wav|-23.00 LUFS|-1.50 dBTPC:\\A\\T 1.wav|-inf LUFS|-100.00 dBTPbare.wav|Error|Error");
}

// Each value's colour on either side of every bound, as loudness and as true peak: a value on a bound
// takes the louder class; a loudness that is not a number takes the loudest.
TEST_F (LoudnessPanel, ValuesAreColouredByTheirClassOnEitherSideOfEveryBound)
{
    panel->addList ({ "/m/a.wav" });
    const struct { float value; juce::uint32 lufs, truePeak; } cases[] = {
        { -30.01f, 0xFF646478, 0xFF325032 }, { -30.0f, 0xFF325032, 0xFF325032 }, { -20.01f, 0xFF325032, 0xFF325032 },
        { -20.0f, 0xFF326432, 0xFF325032 }, { -16.01f, 0xFF326432, 0xFF325032 }, { -16.0f, 0xFF646432, 0xFF325032 },
        { -12.01f, 0xFF646432, 0xFF325032 }, { -12.0f, 0xFF785032, 0xFF325032 }, { -6.01f, 0xFF785032, 0xFF325032 },
        { -6.0f, 0xFF783232, 0xFF505032 }, { -3.01f, 0xFF783232, 0xFF505032 }, { -3.0f, 0xFF783232, 0xFF644632 },
        { -1.01f, 0xFF783232, 0xFF644632 }, { -1.0f, 0xFF783232, 0xFF783232 }, { NAN, 0xFF783232, 0xFF783232 },
    };
    for (const auto& c : cases)
    {
        panel->updateAnalysisResult ("/m/a.wav", 0, c.value, c.value);
        const auto& row = *panel->shownRow (0);
        EXPECT_EQ (row.lufsLabel.findColour (juce::Label::backgroundColourId).toString(), juce::Colour (c.lufs).toString()) << c.value << " LUFS";
        EXPECT_EQ (row.truePeakLabel.findColour (juce::Label::backgroundColourId).toString(), juce::Colour (c.truePeak).toString()) << c.value << " dBTP";
    }
}

// Ten thousand rows: a screenful of widgets, the right rows wherever the view goes, results shown
// when their rows come into view, and no scroll bar left after CLEAR AUDIO FILES.
TEST_F (LoudnessPanel, ManyRowsShowWhereverTheViewGoes)
{
    for (int i = 0; i < 10000; ++i)
        panel->addList ({ "/m/" + std::to_string (i) + ".wav" });
    EXPECT_LT (panel->content->getNumChildComponents(), 30);
    panel->updateAnalysisResult ("/m/9000.wav", 0, -14.0f, -2.0f);

    panel->viewport->setViewPosition (0, 9000 * 27);
    EXPECT_EQ (shown (*panel, 1) + shown (*panel, 9000) + shown (*panel, 9001), "-9000.wav|-14.00 LUFS|-2.00 dBTP9001.wav|Pending...|Pending...");
    // The remove button lies inside the content, where it can be clicked.
    EXPECT_EQ (panel->shownRow (9001)->removeButton.getScreenBounds().getRight(), panel->content->getScreenBounds().getRight());
    panel->shownRow (8999)->removeButton.triggerClick();
    ASSERT_TRUE (waitFor ("9000.wav|-14.00 LUFS|-2.00 dBTP", 8999));
    EXPECT_EQ (panel->lufsByFile.count ("/m/8999.wav"), 0u);

    EXPECT_TRUE (panel->viewport->getVerticalScrollBar().isVisible());
    panel->clearList();
    EXPECT_FALSE (panel->viewport->getVerticalScrollBar().isVisible());
}

// Named for the thread checks, which run the tests of threads.
using LoudnessPanelThread = LoudnessPanel;

// With the real worker, whatever happens to it (stopped mid-file, intakes in quick succession,
// rows removed or cleared while measured), every queued row ends with its values or "Error";
// failed rows are queued again at the next intake, and only they; the panel goes at once.
TEST_F (LoudnessPanelThread, EveryQueuedRowEndsWithAResult)
{
    const auto tone = writeWav (folder / "tone.wav", channels (2), 48000.0, 24, 240000, sine (-23.0, 1000.0));
    intake ({ longWav (folder / "long.wav"), tone, writeBytes (folder / "broken.wav", { "RIFF, not really", 16 }) });
    EXPECT_EQ (shown (*panel, 1), "tone.wav|Analyzing|.");
    ASSERT_TRUE (pumpUntil ([&] { return panel->isAnalysing(); }));
    panel->stopAnalysis();
    for (int i = 0; i < 30; ++i, pumpMessages (i % 4))
        intake ({ writeWav (folder / ("f" + juce::String (i) + ".wav"), channels (1), 48000.0, 16, 480 + 97 * i, sine (-6.02)) });
    panel->shownRow (0)->removeButton.triggerClick();
    ASSERT_TRUE (measuredAll());
    EXPECT_EQ (shown (*panel, 0) + shown (*panel, 1), "tone.wav|-22.99 LUFS|-23.00 dBTPbroken.wav|Error|Error");
    for (const auto& path : panel->filePaths)
        EXPECT_TRUE (panel->lufsByFile.at (path) != kNotAnalysedValue || path.find ("broken") != std::string::npos) << path;

    panel->startBackgroundAnalysis();
    EXPECT_EQ (shown (*panel, 0) + shown (*panel, 1), "tone.wav|-22.99 LUFS|-23.00 dBTPbroken.wav|Analyzing|.");
    ASSERT_TRUE (measuredAll());
    EXPECT_EQ (shown (*panel, 1), "broken.wav|Error|Error");

    intake ({ folder / "long.wav" });
    ASSERT_TRUE (pumpUntil ([&] { return panel->isAnalysing(); }));
    panel->clearList();
    intake ({ tone, folder / "long.wav" });
    ASSERT_TRUE (waitFor ("tone.wav|-22.99 LUFS|-23.00 dBTP", 0));
    const auto start = juce::Time::getMillisecondCounterHiRes();
    panel.reset();
    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - start, 2000.0);
}
