#include "preview/AudioProgressBar.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>


TEST (AudioProgressBar, ShowsLoadingUntilItsFilesBinsArriveThenTheWaveformTimeAndSeeks)
{
    AudioProgressBar bar;
    bar.setSize (200, 30);
    std::vector<double> seeks;
    bar.onSeek = [&] (double seconds) { seeks.push_back (seconds); };
    const auto shown = [&] { bar.createComponentSnapshot (bar.getLocalBounds()); return bar.getText(); };
    const auto clickAt = [&] (float x) { bar.mouseDown (tarsio::test::mouseEventAt (bar, { x, 15.0f })); };

    // Loading shows at once; nothing to seek in yet, and bins of a preview given up for this one never show.
    bar.loadWaveform ("/music/a.wav", "a.wav");
    EXPECT_EQ (shown(), "Loading audio preview: a.wav");
    bar.setProgress (75.9, 100.0, true);
    clickAt (50.0f);
    bar.setWaveform ("/music/b.wav", std::vector<float> (1500, 1.0f));
    EXPECT_EQ (shown(), "Loading audio preview: a.wav");

    bar.setWaveform ("/music/a.wav", { 0.5f, 1.0f });
    EXPECT_EQ (shown(), "01:15");
    for (const float x : { 0.0f, 50.0f, 250.0f, -20.0f })
        clickAt (x);
    EXPECT_EQ (seeks, (std::vector<double> { 0.0, 25.0, 100.0, 0.0 }));
}
