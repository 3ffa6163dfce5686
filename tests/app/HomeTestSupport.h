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
    ShownMainComponent()
    {
        main->setVisible (true);
    }

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
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (new juce::FileOutputStream (file),
                                                                          44100.0, 1, 16, {}, 0));
    juce::AudioBuffer<float> silence (1, 441);
    silence.clear();
    writer->writeFromAudioSampleBuffer (silence, 0, silence.getNumSamples());
    return file;
}

inline juce::File writeText (const juce::File& file)
{
    file.replaceWithText ("not audio");
    return file;
}

inline juce::StringArray pathsOf (std::initializer_list<juce::File> files)
{
    juce::StringArray paths;
    for (const auto& f : files)
        paths.add (f.getFullPathName());
    return paths;
}

// Makes the rename page list these paths, as it does once it has taken them in.
inline void listOnRenamePage (MainComponent& main, const juce::StringArray& paths)
{
    for (const auto& p : paths)
        main.renamePage.filePaths.push_back (p.toStdString());
}
} // namespace tarsio::test
