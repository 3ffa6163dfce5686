#pragma once

#include "app/MainComponent.h"
#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

namespace tarsio::test
{
// A main component as the window shows it at start: visible, at its design size.
struct ShownMainComponent
{
    ShownMainComponent() { main->setVisible (true); }
    ~ShownMainComponent()
    {
        main.reset();
        pumpMessages (20);
    }

    MainComponent* operator->() const { return main.get(); }
    MainComponent& operator*() const  { return *main; }

    std::unique_ptr<MainComponent> main = std::make_unique<MainComponent>();
};

// A short silent 16-bit WAV file, so that every page can read what it lists.
inline juce::File writeWav (const juce::File& file)
{
    std::unique_ptr<juce::AudioFormatWriter> writer (juce::WavAudioFormat().createWriterFor (new juce::FileOutputStream (file), 44100.0, 1, 16, {}, 0));
    juce::AudioBuffer<float> silence (1, 441);
    silence.clear();
    writer->writeFromAudioSampleBuffer (silence, 0, silence.getNumSamples());
    return file;
}
} // namespace tarsio::test
