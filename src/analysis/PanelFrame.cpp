#include "analysis/PanelFrame.h"

#include "look/Palette.h"


namespace PanelFrame
{
int unitOf (int width) noexcept
{
    return (int) (0.036 * width);
}

void layout (int width, int height, juce::Component& closeButton, juce::Viewport& viewport)
{
    const int u = unitOf (width);
    closeButton.setBounds ((int) (width - 2.3 * u), (int) (0.3 * u), (int) (1.2 * u), (int) (1.2 * u));
    closeButton.setAlwaysOnTop (false);
    viewport.setBounds (u, (int) (2.2 * u), width - 2 * u, height - 3 * u);
}

void paint (juce::Graphics& g, juce::Rectangle<int> v)
{
    g.fillAll (lightVekko);

    const auto rect = [] (int x, int y, int w, int h) { return juce::Rectangle<int> (x, y, w, h).toFloat(); };

    g.setColour (greyVekko);
    g.drawRoundedRectangle (rect (v.getX() - 9, v.getY() - 9, v.getWidth() + 20, v.getHeight() + 20), 25.0f, 2.0f);
    g.setColour (blackOpacityVekko);
    g.drawRoundedRectangle (rect (v.getX() - 11, v.getY() - 11, v.getWidth() + 20, v.getHeight() + 21), 25.0f, 5.0f);
    // Last, over the inner halves of both outlines.
    g.setColour (greyBlackVekko);
    g.fillRoundedRectangle (rect (v.getX() - 10, v.getY() - 10, v.getWidth() + 20, v.getHeight() + 20), 25.0f);
}

int rowY (int index, int unit) noexcept
{
    return (int) ((index * unit) * 0.9);
}

juce::Rectangle<int> rowBounds (int index, int unit, int contentWidth) noexcept
{
    return { 0, rowY (index, unit) - 2, contentWidth, juce::jmax (unit, (int) (0.8 * unit) + 2) };
}
}
