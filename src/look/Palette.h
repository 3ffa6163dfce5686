#pragma once

#include <juce_graphics/juce_graphics.h>

// The application's one colour palette. Defined once in Palette.cpp and never written after
// static initialisation, so any constructor may read it.
extern const juce::Colour blueVekko;
extern const juce::Colour blueLightVekko;
extern const juce::Colour blueDarkVekko2;
extern const juce::Colour blueDarkVekko;
extern const juce::Colour blueblueVekko;
extern const juce::Colour orangeVekko;
extern const juce::Colour orangeDarkVekko;
extern const juce::Colour orangeTransChord;
extern const juce::Colour redVekko;
extern const juce::Colour greenVekko;
extern const juce::Colour whiteVekko;
extern const juce::Colour whiteLightVekko;
extern const juce::Colour greyWhiteVekko;
extern const juce::Colour greyTextBoxVekko;
extern const juce::Colour greyLightVekkoO;
extern const juce::Colour greyVekko;
extern const juce::Colour greyPlusVekko;
extern const juce::Colour backgroundVekko2;
extern const juce::Colour backgroundVekkoL;
extern const juce::Colour greyDownVekko;
extern const juce::Colour greyBlackVekko;
extern const juce::Colour blackVekko;
extern const juce::Colour blackUltraVekko;
extern const juce::Colour blackFullVekko;
extern const juce::Colour greyOpacityVekko;
extern const juce::Colour blackOpacityVekko;
extern const juce::Colour OpacityVekko;
extern const juce::Colour maskVekko;
extern const juce::Colour transparentVekko;
extern const juce::Colour lightVekko;
extern const juce::Colour whiteOpacityVekko;
extern const juce::Colour whitePadVekko;
extern const juce::Colour termsVekko;
extern const juce::Colour lightVekko2;
extern const juce::Colour randomTransVekko;
extern const juce::Colour maskTextBox;
