#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>
#include <vector>

// The main component's aspect lock, apart from any widget: for each size the window gives the
// component, whether to ask the window for a corrected size, or where to lay the design out when
// the size stands. Message thread only.
class AspectLock final
{
public:
    static constexpr int minWidth = 688, minHeight = 469, maxWidth = 1720, maxHeight = 1174;
    // Sizes tried are forgotten after this long without a resize.
    static constexpr juce::uint32 quietMs = 1000;

    AspectLock (int referenceWidth, int referenceHeight) : reference ((double) referenceWidth / referenceHeight) {}

    // The size to ask for, or nothing: the size stands. Each size is corrected once: a window
    // manager that answers with a size already tried (maximised, tiled, full screen, a refused
    // request) imposes it, and asking again would loop for ever.
    std::optional<juce::Point<int>> correctionFor (juce::Point<int> size, juce::uint32 nowMs);

    // The size the design wants for a given one: the ratio kept by shrinking one side, within the limits.
    juce::Point<int> corrected (juce::Point<int> size) const;

    // Where the layout goes within a size that stands: the whole of it when it needs no correction,
    // else the largest area of the design's ratio within the limits, centred.
    juce::Rectangle<int> standingArea (juce::Point<int> size) const;

private:
    bool ratioIsKept (juce::Point<int> size) const;

    double reference;
    std::vector<juce::Point<int>> tried;
    juce::uint32 lastResizeMs = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AspectLock)
};
