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

    // Rows stand at a pitch of 0.9 units: the top of the row at index.
    int rowY (int index, int unit) noexcept;

    // A row's component: its widgets stand 2 pixels below its top (its remove button at the top).
    juce::Rectangle<int> rowBounds (int index, int unit, int contentWidth) noexcept;
}
