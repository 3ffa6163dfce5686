#include "look/RoundedLabels.h"
#include "look/Palette.h"

void RoundedLabel::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    if (! bounds.isEmpty())
    {
        g.setColour (blackUltraVekko);
        g.fillRoundedRectangle (bounds, 0.5f * bounds.getHeight());
    }
    juce::Label::paint (g);
}

void RoundLabel::paint (juce::Graphics& g)
{
    const auto w = (double) getWidth();
    const auto h = (double) getHeight();
    const auto corner = (float) (0.5 * h);

    // The rim is stroked 1 pixel inside the edge: a label too small for it gets none.
    if (w <= 2.0 || h <= 2.0)
    {
        juce::Label::paint (g);
        return;
    }

    g.setColour (greyBlackVekko);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, corner);

    g.setColour (blackUltraVekko);
    g.drawRoundedRectangle (1.0f, 1.0f, (float) (w - 2.0), (float) (h - 2.0), corner - 1.0f, 2.0f);

    juce::Label::paint (g);
}
