#include "analysis/PanelTestSupport.h"

#include "analysis/LoudnessMeasurement.h"
#include "app/DragAndDropDemoTarget.h"
#include "look/Palette.h"

#include <gtest/gtest.h>

using namespace tarsio::test;

namespace
{
    juce::StringArray names (AudioAnalysisComponent& panel)
    {
        juce::StringArray shown;
        for (const auto& row : panelRows (panel))
            shown.add (row.name->getText());
        return shown;
    }
}

TEST (AudioAnalysisPanelTest, ListsWavPathsInAnyCaseAndNothingElse)
{
    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    panel.addList ({ "/m/a.wav", "/m/b.WAV", "/m/c.Wav", "/m/.wav", "/m/d.wave", "/m/e.flac", "/m/f.aiff",
                     "/m/g.mp3", "wav", ".wa", "/m/hwav" });

    EXPECT_EQ (names (panel), juce::StringArray ({ "a.wav", "b.WAV", "c.Wav", ".wav" }));
    for (const auto& row : panelRows (panel))
    {
        EXPECT_EQ (row.lufsText(), "Pending...");
        EXPECT_EQ (row.truePeakText(), "Pending...");
        EXPECT_EQ (row.lufsBackground(), greyDownVekko);
        EXPECT_EQ (row.lufs->findColour (juce::Label::textColourId), greyWhiteVekko);
        EXPECT_EQ (row.name->findColour (juce::Label::backgroundColourId), maskVekko);
        EXPECT_EQ (row.remove->getButtonText(), "X");
    }
}

TEST (AudioAnalysisPanelTest, APathOfferedTwiceMakesOneRow)
{
    AudioAnalysisComponent panel;
    panel.addList ({ "/m/a.wav", "/m/a.wav", "/m/b.wav" });
    panel.addList ({ "/m/b.wav", "/m/c.wav" });

    EXPECT_EQ (names (panel), juce::StringArray ({ "a.wav", "b.wav", "c.wav" }));
}

TEST (AudioAnalysisPanelTest, ShownNameFollowsTheLastSlashOrBackslash)
{
    AudioAnalysisComponent panel;
    panel.addList (juce::StringArray (juce::String ("C:\\Audio\\Take 1.wav"), "/m/dir\\mixed.wav", "bare.wav",
                                      juce::String::fromUTF8 ("/m/été.wav")));

    EXPECT_EQ (names (panel), juce::StringArray (juce::String ("Take 1.wav"), "mixed.wav", "bare.wav", juce::String::fromUTF8 ("été.wav")));
}

TEST (AudioAnalysisPanelTest, AnIntakeWithoutWavFilesLeavesTheRowsAlone)
{
    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    panel.addList ({ "/m/a.wav" });
    const auto before = panelViewport (panel)->getViewedComponent()->getBounds();

    panel.addList ({ "/m/x.mp3", "/m/y.flac" });
    panel.addList ({});

    EXPECT_EQ (names (panel), juce::StringArray ({ "a.wav" }));
    EXPECT_EQ (panelViewport (panel)->getViewedComponent()->getBounds(), before);
}

TEST (AudioAnalysisPanelTest, ResultsShowTwoDecimalsAndTheirClassColours)
{
    struct Case { float lufs, truePeak; const char* lufsText; const char* truePeakText; juce::uint32 lufsArgb, truePeakArgb; };
    const Case cases[] = {
        { -23.0f, -1.5f, "-23.00 LUFS", "-1.50 dBTP", 0xFF325032, 0xFF644632 },
        { -30.0f, -1.0f, "-30.00 LUFS", "-1.00 dBTP", 0xFF325032, 0xFF783232 },
        { -30.01f, -6.0f, "-30.01 LUFS", "-6.00 dBTP", 0xFF646478, 0xFF505032 },
        { -6.0f, -6.01f, "-6.00 LUFS", "-6.01 dBTP", 0xFF783232, 0xFF325032 },
        { -6.01f, -3.0f, "-6.01 LUFS", "-3.00 dBTP", 0xFF785032, 0xFF644632 },
        { -12.0f, -3.01f, "-12.00 LUFS", "-3.01 dBTP", 0xFF785032, 0xFF505032 },
        { -16.0f, 0.5f, "-16.00 LUFS", "0.50 dBTP", 0xFF646432, 0xFF783232 },
        { -20.0f, -100.0f, "-20.00 LUFS", "-100.00 dBTP", 0xFF326432, 0xFF325032 },
        { std::nanf (""), -1.0f, nullptr, "-1.00 dBTP", 0xFF783232, 0xFF783232 },
    };

    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    juce::StringArray paths;
    for (int i = 0; i < (int) std::size (cases); ++i)
        paths.add ("/m/" + juce::String (i) + ".wav");
    panel.addList (paths);

    for (int i = 0; i < (int) std::size (cases); ++i)
        panel.updateAnalysisResult (paths[i].toStdString(), 99, cases[i].lufs, cases[i].truePeak);

    const auto rows = panelRows (panel);
    for (size_t i = 0; i < std::size (cases); ++i)
    {
        const auto& c = cases[i];
        if (c.lufsText != nullptr)
        {
            EXPECT_EQ (rows[i].lufsText(), c.lufsText);
        }
        EXPECT_EQ (rows[i].truePeakText(), c.truePeakText);
        EXPECT_EQ (rows[i].lufsBackground(), juce::Colour (c.lufsArgb)) << c.lufs;
        EXPECT_EQ (rows[i].truePeakBackground(), juce::Colour (c.truePeakArgb)) << c.truePeak;
    }
}

TEST (AudioAnalysisPanelTest, AFailedMeasurementShowsErrorAndKeepsTheColours)
{
    AudioAnalysisComponent panel;
    panel.addList ({ "/m/a.wav", "/m/b.wav" });
    panel.updateAnalysisResult ("/m/b.wav", 1, kNotAnalysedValue, kNotAnalysedValue);
    // A result for a path that is not listed changes nothing.
    panel.updateAnalysisResult ("/m/gone.wav", 0, -23.0f, -1.0f);

    const auto rows = panelRows (panel);
    ASSERT_EQ (rows.size(), 2u);
    EXPECT_EQ (rows[0].lufsText(), "Pending...");
    EXPECT_EQ (rows[1].lufsText(), "Error");
    EXPECT_EQ (rows[1].truePeakText(), "Error");
    EXPECT_EQ (rows[1].lufsBackground(), greyDownVekko);
    EXPECT_EQ (rows[1].truePeakBackground(), greyDownVekko);
}

TEST (AudioAnalysisPanelTest, SilenceFallsInTheLowestLoudnessClass)
{
    AudioAnalysisComponent panel;
    panel.addList ({ "/m/quiet.wav" });
    panel.updateAnalysisResult ("/m/quiet.wav", 0, -std::numeric_limits<float>::infinity(), kTruePeakFloorDb);

    const auto row = panelRows (panel).at (0);
    EXPECT_EQ (row.lufsBackground(), juce::Colour (0xFF646478));
    EXPECT_TRUE (row.lufsText().endsWith (" LUFS"));
    EXPECT_TRUE (row.lufsText().containsIgnoreCase ("inf"));
    EXPECT_EQ (row.truePeakText(), "-100.00 dBTP");
}

TEST (AudioAnalysisPanelTest, DotsGrowEverySixTicksAndCycleAfterEight)
{
    for (int tick = 1; tick <= 5; ++tick)
        EXPECT_EQ (AudioAnalysisComponent::animationDots (tick), ".");
    for (int tick = 6; tick <= 11; ++tick)
        EXPECT_EQ (AudioAnalysisComponent::animationDots (tick), "..");
    for (int tick = 42; tick <= 47; ++tick)
        EXPECT_EQ (AudioAnalysisComponent::animationDots (tick), "........");
    for (int tick = 48; tick <= 53; ++tick)
        EXPECT_EQ (AudioAnalysisComponent::animationDots (tick), ".");
}

TEST (AudioAnalysisPanelTest, RemoveButtonTakesItsRowOut)
{
    AudioAnalysisComponent panel;
    panel.setSize (860, 587);
    panel.addList ({ "/m/a.wav", "/m/b.wav", "/m/c.wav" });
    panel.updateAnalysisResult ("/m/c.wav", 2, -14.0f, -2.0f);

    panelRows (panel)[1].remove->triggerClick();
    pumpUntil ([&] { return panelRows (panel).size() == 2; });

    EXPECT_EQ (names (panel), juce::StringArray ({ "a.wav", "c.wav" }));
    EXPECT_EQ (panelRows (panel)[1].lufsText(), "-14.00 LUFS");

    // The second row moved up one pitch (0.9 units of 0.036 × width).
    const int u = (int) (0.036 * 860);
    EXPECT_EQ (panelRows (panel)[1].name->getY(), (int) (u * 0.9));

    // Listed again once removed.
    panel.addList ({ "/m/b.wav" });
    EXPECT_EQ (names (panel), juce::StringArray ({ "a.wav", "c.wav", "b.wav" }));
}

TEST (AudioAnalysisPanelTest, LayoutFollowsThePanelWidth)
{
    AudioAnalysisComponent panel;
    panel.setSize (1000, 700);
    panel.addList ({ "/m/a.wav", "/m/b.wav" });

    const int u = 36;
    auto* viewport = panelViewport (panel);
    EXPECT_EQ (viewport->getBounds(), juce::Rectangle<int> (u, (int) (2.2 * u), 1000 - 2 * u, 700 - 3 * u));
    EXPECT_EQ (viewport->getViewedComponent()->getHeight(), (int) (2 * u * 0.9));

    const auto row = panelRows (panel)[1];
    const int vw = viewport->getWidth();
    EXPECT_EQ (row.name->getY(), (int) (u * 0.9));
    EXPECT_EQ (row.name->getHeight(), (int) (0.8 * u));
    EXPECT_EQ (row.lufs->getX(), row.name->getRight());
    EXPECT_EQ (row.lufs->getWidth(), (int) (0.14 * vw));
    EXPECT_EQ (row.truePeak->getX(), row.lufs->getRight());
    EXPECT_EQ (row.truePeak->getWidth(), (int) (0.12 * vw));
    EXPECT_EQ (row.remove->getBounds(), juce::Rectangle<int> (row.truePeak->getRight() + 2, (int) (u * 0.9 - 2.0), u, u));

    // The name leaves room for the remove button inside the content, where it can be clicked.
    const auto contentWidth = viewport->getViewedComponent()->getWidth();
    EXPECT_EQ (row.remove->getRight(), contentWidth);
    EXPECT_LT (row.name->getWidth(), (int) (0.742 * vw));
}

TEST (AudioAnalysisPanelTest, CloseHidesThePanelAndLetsFilesBeDroppedAgain)
{
    juce::Component window;
    DragAndDropDemoTarget dropTarget;
    AudioAnalysisComponent panel;
    window.addAndMakeVisible (dropTarget);
    window.addAndMakeVisible (panel);
    dropTarget.acceptFiles = false;

    juce::TextButton* close = nullptr;
    for (auto* child : panel.getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
            close = button;
    ASSERT_NE (close, nullptr);
    EXPECT_EQ (close->getButtonText(), "X");

    close->triggerClick();
    pumpUntil ([&] { return ! panel.isVisible(); });

    EXPECT_FALSE (panel.isVisible());
    EXPECT_TRUE (dropTarget.acceptFiles);
    window.removeAllChildren();
}
