#include "preview/AudioProgressBar.h"
#include "look/Palette.h"

#include <algorithm>
#include <cmath>

namespace
{
juce::String twoDigits (juce::int64 value)
{
    return juce::String (value).paddedLeft ('0', 2);
}
} // namespace

AudioProgressBar::AudioProgressBar()
{
    textLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (textLabel);
    textLabel.setColour (juce::Label::textColourId, greyWhiteVekko);
    textLabel.setColour (juce::Label::backgroundColourId, juce::Colours::transparentBlack);
    // Clicks go to the bar, which seeks.
    textLabel.setInterceptsMouseClicks (false, false);
    textLabel.setText ("Left: original filenames, Right: suggested names from RULES (editable)",
                       juce::dontSendNotification);
}

AudioProgressBar::~AudioProgressBar() = default;

void AudioProgressBar::setText (const juce::String& text)
{
    textLabel.setText (text, juce::dontSendNotification);
}

void AudioProgressBar::setProgress (double position, double length, bool active)
{
    if (! std::isfinite (position) || ! std::isfinite (length))
        return;

    positionSeconds = position;
    lengthSeconds = length;
    isActive = active;
    // An inactive bar waits for no waveform: a preview that never started must not keep it loading.
    if (! active)
        awaitingWaveform = false;
    repaint();
}

void AudioProgressBar::loadWaveform (const std::string& path, const juce::String& fileName)
{
    waveformPeaks.clear();
    waveformPath = path;
    waveformFileName = fileName;
    awaitingWaveform = true;
    // Says so at once, before the player has taken the request up.
    isActive = true;
    repaint();
}

void AudioProgressBar::setWaveform (const std::string& path, const std::vector<float>& bins)
{
    if (path != waveformPath)
        return;

    waveformPeaks = bins;
    awaitingWaveform = false;
    repaint();
}

void AudioProgressBar::mouseDown (const juce::MouseEvent& event)
{
    if (! showsPreview() || getWidth() < 1 || ! onSeek)
        return;

    const float ratio = juce::jlimit (0.0f, 1.0f, (float) event.x / (float) getWidth());
    onSeek (lengthSeconds * ratio);
}

void AudioProgressBar::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.setColour (greyBlackVekko);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h * 0.5f);
    g.setColour (blackUltraVekko);
    g.drawRoundedRectangle (1.0f, 1.0f, w - 2.0f, h - 2.0f, h * 0.5f - 1.0f, 2.0f);

    if (isActive && awaitingWaveform)
        textLabel.setText ("Loading audio preview: " + waveformFileName, juce::dontSendNotification);

    if (! showsPreview())
        return;

    if (! waveformPeaks.empty())
    {
        const auto area = juce::Rectangle<float> (4.0f, 4.0f, std::max (0.0f, w - 8.0f), std::max (0.0f, h - 8.0f));
        const float step = area.getWidth() / (float) waveformPeaks.size();
        const float centre = area.getY() + area.getHeight() * 0.5f;
        const float scale = area.getHeight() * 0.6f;

        g.setColour (termsVekko);
        for (size_t i = 0; i < waveformPeaks.size(); ++i)
        {
            const float x = area.getX() + (float) i * step;
            const float extent = waveformPeaks[i] * scale;
            g.drawLine (x, centre - extent, x, centre + extent, 1.0f);
        }
    }

    const auto ratio = (float) (positionSeconds / lengthSeconds);
    if (ratio > 0.0f && ratio <= 1.0f)
    {
        const float radius = h * 0.5f - 1.0f;
        float fill = w * ratio;
        if (fill - 2.0f < 2.0f * radius + 4.0f)
            fill = 2.0f * radius + 6.0f;

        // Degenerate bars (too low to show a fill) draw none.
        const bool drawable = std::isfinite (fill) && std::isfinite (radius) && fill > 0.0f && radius > 0.0f
                              && fill - 2.0f > 0.0f && h >= 3.0f && fill - 8.0f > 0.0f && h - 8.0f > 0.0f;
        if (drawable)
        {
            g.setColour (greenVekko.withAlpha ((juce::uint8) 0x80));
            g.fillRoundedRectangle (4.0f, 4.0f, fill - 8.0f, h - 8.0f, radius);
        }
    }

    // Far past any real file length, but keeps the conversion to an integer defined.
    const auto seconds = (juce::int64) std::min (std::max (0.0, positionSeconds), 1.0e12);
    textLabel.setText (twoDigits (seconds / 60) + ":" + twoDigits (seconds % 60), juce::dontSendNotification);
}

void AudioProgressBar::OneLineLabel::paint (juce::Graphics& g)
{
    g.setColour (findColour (textColourId));
    g.setFont (getLookAndFeel().getLabelFont (*this));
    g.drawFittedText (getText(), getBorderSize().subtractedFrom (getLocalBounds()), getJustificationType(), 1,
                      getMinimumHorizontalScale());
}

void AudioProgressBar::resized()
{
    textLabel.setFont (juce::Font ((float) getHeight() * 0.6f, juce::Font::plain));
    textLabel.setBounds (getLocalBounds());
}
