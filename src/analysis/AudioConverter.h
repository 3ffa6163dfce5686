#pragma once

#include <juce_core/juce_core.h>

#include <string>

// Reads what the ISRC panel shows of a WAV file. No UI; called on the ISRC panel's header worker.
class AudioConverter final
{
public:
    // Sets sampleRate, bitsPerSample and isrc (the "ISRC" metadata value reduced to upper-case
    // letters and digits, at most 64 of them) from the file's WAV header; the audio data is not read. Leaves all three
    // as they were when the file is not a readable WAV.
    // The path is the bytes of the file's name, UTF-8 or not.
    static void getFileInfo (const std::string& path, double& sampleRate, int& bitsPerSample, juce::String& isrc);
    static void getFileInfo (const juce::File& file, double& sampleRate, int& bitsPerSample, juce::String& isrc);
};
