#pragma once

#include <juce_graphics/juce_graphics.h>

#include <optional>
#include <vector>

// Where a text button's skin pieces and text go, from the button's size alone. No widgets here, so
// any thread may call it; Look calls it while painting on the message thread.
namespace ButtonSkinLayout
{
enum class Shape
{
    square,   // W == H: the round skin
    twoToOne, // W within a pixel of 2H: the whole wide skin
    longPill, // wider: caps and a stretched middle from the pill skin
    shortPill,// between square and 2:1: half-caps and a middle from the pill skin
    narrow    // W < H: no skin
};

Shape shapeFor (int width, int height) noexcept;

// One piece of a skin: the image columns [sourceX, sourceX + sourceWidth) at full image height,
// scaled into destination. A source that runs past the image's right edge is cut there and keeps
// its scale, so it fills only the left part of its destination.
struct Piece
{
    int sourceX = 0, sourceWidth = 0;
    juce::Rectangle<int> destination;
};

// The pieces to draw, in order, for a button of the given size from an image of the given size.
std::vector<Piece> piecesFor (Shape shape, int width, int height, int imageWidth, int imageHeight);

// The area the button text is fitted into, or nothing when no text fits. Buttons 5 pixels high or
// less have no vertical indent and get no side indents either.
std::optional<juce::Rectangle<int>> textArea (int width, int height, bool connectedOnLeft, bool connectedOnRight) noexcept;
} // namespace ButtonSkinLayout
