#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

// The rename page's pill-shaped bar. While a preview is active it draws the file's waveform,
// the progress and the play time, and a click seeks; otherwise its centred text is the page's
// status line.
//
// Threads: everything, onSeek included, runs on the message thread.
class AudioProgressBar final : public juce::Component
{
public:
    static constexpr int kWaveformBins = 1500;

    AudioProgressBar();
    ~AudioProgressBar() override;

    void setText (const juce::String& text);
    juce::String getText() const { return textLabel.getText(); }

    // Ignored when either number is NaN or infinite; otherwise stores and repaints.
    void setProgress (double position, double length, bool active);

    // Recomputes the waveform bins of the file; no repaint. Reads the file in bounded blocks,
    // so a damaged or huge file costs neither unbounded memory nor an endless loop.
    void loadWaveform (const juce::File& file);

    const std::vector<float>& getWaveformPeaks() const noexcept { return waveformPeaks; }
    double getPositionSeconds() const noexcept { return positionSeconds; }
    double getLengthSeconds() const noexcept { return lengthSeconds; }
    bool isPreviewActive() const noexcept { return isActive; }

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    // Called with the seconds to seek to when the waveform is clicked during a preview.
    std::function<void (double seconds)> onSeek;

private:
    juce::Label textLabel;
    double positionSeconds = 0.0;
    double lengthSeconds = 0.0;
    bool isActive = false;
    std::vector<float> waveformPeaks;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioProgressBar)
};
