#include "app/AspectLock.h"

#include <gtest/gtest.h>

using P = juce::Point<int>;

TEST (AspectLock, CorrectsEachSizeOnceAndKeepsTheLimits)
{
    AspectLock lock (860, 587);
    const struct { P size; juce::uint32 ms; std::optional<P> request; } steps[] = {
        { { 1000, 600 }, 0, P (879, 600) },     // too wide: the width shrinks
        { { 900, 700 }, 10, P (900, 614) },     // too tall: the height shrinks
        { { 688, 469 }, 20, std::nullopt },     // within the tolerance
        { { 500, 300 }, 30, P (688, 469) },     // below the minimum
        { { 3000, 2000 }, 40, P (1720, 1174) }, // above the maximum
        { { 1600, 1181 }, 50, P (1600, 1092) }, // maximised: the window manager refuses...
        { { 1600, 1149 }, 60, P (1600, 1092) },
        { { 1600, 1181 }, 70, std::nullopt },   // ...and its size stands, however it alternates
        { { 1600, 1149 }, 80, std::nullopt },
        { { 1600, 1149 }, 2000, P (1600, 1092) }, // tried again only after a quiet while
    };
    for (const auto& s : steps)
        EXPECT_EQ (lock.correctionFor (s.size, s.ms), s.request) << s.size.toString();

    // A size that stands gets the design's ratio, centred, within the limits.
    EXPECT_EQ (lock.standingArea ({ 860, 1174 }), juce::Rectangle<int> (0, 293, 860, 587));
    EXPECT_EQ (lock.standingArea ({ 1920, 1200 }), juce::Rectangle<int> (100, 13, 1720, 1174));
    EXPECT_EQ (lock.standingArea ({ 860, 587 }), juce::Rectangle<int> (0, 0, 860, 587));
}
