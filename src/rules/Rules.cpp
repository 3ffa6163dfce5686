#include "rules/Rules.h"

#include "rules/RuleFile.h"

#include "BinaryData.h"

Rules::Rules()
{
    deleteIcon = juce::ImageCache::getFromMemory (BinaryData::icon_remove_png, BinaryData::icon_remove_pngSize);
    deleteOverIcon = juce::ImageCache::getFromMemory (BinaryData::icon_remove_over_png, BinaryData::icon_remove_over_pngSize);

    closeButton.setImages (false, true, true,
                           deleteIcon, 1.0f, juce::Colours::transparentBlack,
                           deleteOverIcon, 1.0f, juce::Colours::transparentBlack,
                           deleteOverIcon, 1.0f, juce::Colours::transparentBlack);
    addAndMakeVisible (closeButton);
    closeButton.setAlwaysOnTop (false);
}

Rules::~Rules() = default;

void Rules::paint (juce::Graphics&) {}

void Rules::resized()
{
    const int u = (int) (0.036 * getWidth());
    closeButton.setBounds ((int) (getWidth() - 2.3 * u), (int) (0.3 * u), (int) (1.2 * u), (int) (1.2 * u));
}

void Rules::loadDefaultRules() {}

bool Rules::isValidASCII (const juce::String& text)
{
    return RuleFile::isValidASCII (text);
}
