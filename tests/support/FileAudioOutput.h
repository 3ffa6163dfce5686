#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace tarsio::test
{
// Points alsa-lib at a configuration whose default device writes what it plays into a WAV file, so that
// a real AudioDeviceManager opens a real output device on a machine without a sound card. Must be created
// before anything in the process touches ALSA.
class FileAudioOutput
{
public:
    explicit FileAudioOutput (const juce::File& folder)
        : wavFile (folder.getChildFile ("output.wav")),
          configFile (folder.getChildFile ("asound.conf"))
    {
        configFile.replaceWithText ("pcm.capture { type file slave.pcm \"null\" file \"" + wavFile.getFullPathName()
                                    + "\" format \"wav\" }\n"
                                      "pcm.!default { type plug slave { pcm \"capture\" format S32_LE rate 48000 channels 2 } }\n");
        if (const char* previous = std::getenv ("ALSA_CONFIG_PATH"))
            previousConfig = previous;
        const auto path = juce::String ("/usr/share/alsa/alsa.conf:") + configFile.getFullPathName();
        ::setenv ("ALSA_CONFIG_PATH", path.toRawUTF8(), 1);
    }

    ~FileAudioOutput()
    {
        if (previousConfig.isNotEmpty())
            ::setenv ("ALSA_CONFIG_PATH", previousConfig.toRawUTF8(), 1);
        else
            ::unsetenv ("ALSA_CONFIG_PATH");
    }

    const juce::File wavFile;

private:
    const juce::File configFile;
    juce::String previousConfig;
    JUCE_DECLARE_NON_COPYABLE (FileAudioOutput)
};
} // namespace tarsio::test
