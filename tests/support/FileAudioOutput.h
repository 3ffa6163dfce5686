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
        if (const char* old = std::getenv ("ALSA_CONFIG_PATH"))
            previous = old;

        folder.get().getChildFile ("asound.conf").replaceWithText (
            "pcm.!default {\n"
            "    type plug\n"
            "    slave {\n"
            "        pcm { type file  slave.pcm { type null }  file \"" + output().getFullPathName() + "\"  format \"wav\" }\n"
            "        format S32_LE\n"
            "        rate 48000\n"
            "        channels 2\n"
            "    }\n"
            "}\n");
        setenv ("ALSA_CONFIG_PATH", folder.get().getChildFile ("asound.conf").getFullPathName().toRawUTF8(), 1);
    }

    ~FileAudioOutput()
    {
        if (previous.has_value())
            setenv ("ALSA_CONFIG_PATH", previous->c_str(), 1);
        else
            unsetenv ("ALSA_CONFIG_PATH");
    }

    juce::File output() const { return folder / "output.wav"; }

    // What the device wrote, as floats at the file's rate (48 kHz).
    juce::AudioBuffer<float> readOutput() const
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (output().createInputStream().release(), true));
        if (reader == nullptr)
            return {};
        juce::AudioBuffer<float> heard ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&heard, 0, heard.getNumSamples(), 0, true, true);
        return heard;
    }

private:
    TempFolder folder;
    std::optional<std::string> previous;

    JUCE_DECLARE_NON_COPYABLE (FileAudioOutput)
};
} // namespace tarsio::test
