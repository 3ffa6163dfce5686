#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <string>
#include <vector>

// The rename page's pill-shaped bar. While a preview is active it draws the file's waveform,
// the progress and the play time, and a click seeks; otherwise its centred text is the page's
// status line.
//
// Threads: everything, onSeek included, runs on the message thread.
class AudioProgressBar final : public juce::Component
{
public:
    AudioProgressBar();
    ~AudioProgressBar() override;

    void setText (const juce::String& text);
    juce::String getText() const { return textLabel.getText(); }

    // Ignored when either number is NaN or infinite; otherwise stores and repaints.
    void setProgress (double position, double length, bool active);

    // Drops the bins and waits for those of the file, which the preview player computes and hands
    // in through setWaveform; reads nothing. From now until they arrive, or until setProgress makes
    // the bar inactive, it shows "Loading audio preview: " and the file name. The path is bytes.
    void loadWaveform (const std::string& path, const juce::String& fileName);
    // The bins of a file (normalised, as PreviewScan gives them); ignored unless they belong to the
    // file of the last loadWaveform, so bins of a preview that was given up never show.
    void setWaveform (const std::string& path, const std::vector<float>& bins);

    const std::vector<float>& getWaveformPeaks() const noexcept { return waveformPeaks; }
    double getPositionSeconds() const noexcept { return positionSeconds; }
    double getLengthSeconds() const noexcept { return lengthSeconds; }
    // True while the bar shows a preview: its waveform, fill and time, and a click seeks.
    bool isPreviewActive() const noexcept { return showsPreview(); }
    // True from loadWaveform until the bins arrive or setProgress makes the bar inactive.
    bool isLoadingPreview() const noexcept { return isActive && awaitingWaveform; }

    void mouseDown (const juce::MouseEvent& event) override;
    void paint (juce::Graphics& g) override;
    void resized() override;

    // Called with the seconds to seek to when the waveform is clicked during a preview.
    std::function<void (double seconds)> onSeek;

private:
    // The status stays on one line inside the bar: a long file name is squeezed, then cut with an
    // ellipsis, where the framework's label wrapped it over the bar's outline.
    struct OneLineLabel final : public juce::Label
    {
        void paint (juce::Graphics& g) override;
    };
    OneLineLabel textLabel;
    double positionSeconds = 0.0;
    double lengthSeconds = 0.0;
    bool isActive = false;
    std::vector<float> waveformPeaks;
    std::string waveformPath;
    juce::String waveformFileName;
    bool awaitingWaveform = false;

    bool showsPreview() const noexcept { return isActive && ! awaitingWaveform && lengthSeconds > 0.0; }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioProgressBar)
};
