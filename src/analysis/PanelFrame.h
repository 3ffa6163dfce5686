#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The frame that the loudness and the ISRC panel share: the close button at the top right, the row
// viewport below it, and the painted surround of the viewport. Message thread only.
namespace PanelFrame
{
    // The panels' unit: 0.036 of the width, truncated.
    int unitOf (int width) noexcept;

    // Places the close button and the viewport for a panel of the given size.
    void layout (int width, int height, juce::Component& closeButton, juce::Viewport& viewport);

    void paint (juce::Graphics& g, juce::Rectangle<int> viewportBounds);
}
