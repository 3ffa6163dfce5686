#include "look/Look.h"
#include "look/Palette.h"

#include "BinaryData.h"

Look::Look()
{
    if (auto face = juce::Typeface::createSystemTypefaceFor (BinaryData::LeagueSpartanMedium_otf,
                                                             (size_t) BinaryData::LeagueSpartanMedium_otfSize))
        setDefaultSansSerifTypeface (face);

    juce::LookAndFeel::setDefaultLookAndFeel (this);
}

Look::~Look()
{
    if (&juce::LookAndFeel::getDefaultLookAndFeel() == this)
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}

juce::Font Look::getLabelFont (juce::Label& label)
{
    label.setFont (juce::Font (labelFontSize, juce::Font::plain));
    return label.getFont();
}
