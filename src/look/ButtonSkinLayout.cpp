#include "look/ButtonSkinLayout.h"

namespace ButtonSkinLayout
{
Shape shapeFor (int w, int h) noexcept
{
    if (w == h)                       return Shape::square;
    if (2 * h - 2 < w && w < 2 * h + 2) return Shape::twoToOne;
    if (w > 2 * h + 1)                return Shape::longPill;
    if (h < w && w < 2 * h - 1)       return Shape::shortPill;
    return Shape::narrow;
}

std::vector<Piece> piecesFor (Shape shape, int w, int h, int iw, int ih)
{
    switch (shape)
    {
        case Shape::square:
            return { { 0, iw, { 0, 0, w, w } } };

        case Shape::twoToOne:
            return { { 0, iw, { 0, 0, w, h } } };

        case Shape::longPill:
            return { { 0, ih, { 0, 0, h, h } },
                     { iw - ih, ih, { w - h, 0, h, h } },
                     { ih, (int) (0.5 * ih), { h, 0, w - 2 * h, h } } };

        case Shape::shortPill:
            return { { 0, (int) (0.5 * ih), { 0, 0, (int) (0.5 * h), h } },
                     { (int) (iw - 0.5 * ih), ih, { (int) (w - 0.5 * h), 0, h, h } },
                     { (int) (0.5 * ih), (int) (0.6 * ih), { (int) (0.5 * h), 0, w - h, h } } };

        case Shape::narrow:
            break;
    }
    return {};
}

std::optional<juce::Rectangle<int>> textArea (int w, int h, bool connectedOnLeft, bool connectedOnRight) noexcept
{
    const int yIndent = juce::roundToInt ((float) h * 0.1f);
    const int cornerSize = juce::jmin (w, h) / 2;

    // The side indents divide the corner by the vertical indent; with no vertical indent there is
    // no corner worth keeping clear either.
    const int leftIndent  = yIndent == 0 ? 0 : cornerSize / (connectedOnLeft  ? yIndent * 2 : yIndent);
    const int rightIndent = yIndent == 0 ? 0 : cornerSize / (connectedOnRight ? yIndent * 2 : yIndent);
    const int textWidth = w - leftIndent - rightIndent;

    if (textWidth <= 0)
        return std::nullopt;

    return juce::Rectangle<int> (leftIndent, yIndent + 1, textWidth, h - yIndent * 2);
}
} // namespace ButtonSkinLayout
