#pragma once

#include "support/TestSupport.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tarsio::test
{
// For this process only, makes ALSA's default output a device that writes what it plays into a WAV
// file: alsa-lib's own plug, file and null plugins, and none of the machine's ALSA configuration.
// The device is not paced: it runs well over a hundred times faster than real time. Set it up
// before the first device opens; close every device before the output is read or this goes.
class FileAudioOutput
{
public:
    FileAudioOutput()
    {
        previous = std::getenv ("ALSA_CONFIG_PATH") != nullptr ? std::optional<std::string> (std::getenv ("ALSA_CONFIG_PATH")) : std::nullopt;
        const auto config = folder / "asound.conf";
        config.replaceWithText ("pcm.!default { type plug slave { pcm { type file slave.pcm { type null } file \""
                                + output().getFullPathName() + "\" format \"wav\" } format S32_LE rate 48000 channels 2 } }\n");
        setenv ("ALSA_CONFIG_PATH", config.getFullPathName().toRawUTF8(), 1);
    }

    ~FileAudioOutput() { previous.has_value() ? setenv ("ALSA_CONFIG_PATH", previous->c_str(), 1) : unsetenv ("ALSA_CONFIG_PATH"); }

    juce::File output() const { return folder / "output.wav"; }

    // What the device wrote, as floats at the file's rate (48 kHz).
    juce::AudioBuffer<float> readOutput() const
    {
        std::unique_ptr<juce::AudioFormatReader> reader (juce::WavAudioFormat().createReaderFor (output().createInputStream().release(), true));
        juce::AudioBuffer<float> heard (reader != nullptr ? (int) reader->numChannels : 0, reader != nullptr ? (int) reader->lengthInSamples : 0);
        if (reader != nullptr)
            reader->read (&heard, 0, heard.getNumSamples(), 0, true, true);
        return heard;
    }

private:
    TempFolder folder;
    std::optional<std::string> previous;
    JUCE_DECLARE_NON_COPYABLE (FileAudioOutput)
};
} // namespace tarsio::test
