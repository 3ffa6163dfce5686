#pragma once

#include "preview/AudioPlaybackThread.h"
#include "support/FileAudioOutput.h"
#include "support/TestSupport.h"

#include <unistd.h>

#include <juce_audio_devices/juce_audio_devices.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace tarsio::test
{
enum class AudioFileType { wav, aiff, flac, ogg, mp3 };
using SampleFunction = std::function<float (int channel, juce::int64 frame)>;

// Writes the frames with JUCE's writer for the file's extension, 24-bit (16-bit for the lossy types);
// an MP3 goes through a WAV and lame. The file does not exist when it could not be made.
inline juce::File writeAudioFile (const juce::File& file, AudioFileType type, int channels, double rate,
                                  juce::int64 frames, const SampleFunction& sample)
{
    const auto pcm = type == AudioFileType::mp3 ? file.withFileExtension (".source.wav") : file;
    juce::AudioBuffer<float> buffer (channels, (int) frames);
    for (int i = 0; i < channels * (int) frames; ++i)
        buffer.setSample (i % channels, i / channels, sample (i % channels, i / channels));

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    file.deleteFile();
    std::unique_ptr<juce::AudioFormatWriter> (formats.findFormatForFileExtension (pcm.getFileExtension())->createWriterFor (
        pcm.createOutputStream().release(), rate, (unsigned int) channels, type >= AudioFileType::ogg ? 16 : 24, {}, 8))
        ->writeFromAudioSampleBuffer (buffer, 0, (int) frames);

    juce::ChildProcess lame;
    if (pcm != file && lame.start (juce::StringArray { "lame", "--silent", "-b", "192", pcm.getFullPathName(), file.getFullPathName() }))
        lame.waitForProcessToFinish (120000) && pcm.deleteFile();
    return file;
}

// A sine whose peak is exactly the amplitude at 44.1 kHz (a period of 100 frames).
inline float sine441 (juce::int64 frame, float amplitude)
{
    return amplitude * (float) std::sin (juce::MathConstants<double>::twoPi * (double) (frame % 100) / 100.0);
}

// Damages a WAV header so that its data chunk claims about 4 GB; with `bytes`, the file then really
// grows to that size as a sparse tail of zeros, whose scan takes seconds.
inline bool claimHugeDataChunk (const juce::File& wavFile, juce::int64 bytes = 0)
{
    juce::MemoryBlock data;
    wavFile.loadFileAsData (data);
    auto *begin = static_cast<char*> (data.getData()), *end = begin + data.getSize();
    auto* chunkSize = std::search (begin, end, "data", "data" + 4) + 4;
    return chunkSize + 4 <= end && std::memcpy (chunkSize, "\xf0\xff\xff\xff", 4) && wavFile.replaceWithData (begin, data.getSize())
           && (bytes == 0 || ::truncate (wavFile.getFullPathName().toRawUTF8(), (off_t) bytes) == 0);
}

// A started player on the rename page's audio chain with the default device (with a FileAudioOutput
// made first, a device that writes what it plays to a file, far faster than real time); it records
// the notices and bins the player delivers.
struct PlayerRig
{
    explicit PlayerRig (bool start = true)
    {
        sourcePlayer.setSource (&mixer);
        deviceManager.initialise (0, 2, nullptr, true);
        deviceManager.addAudioCallback (&sourcePlayer);
        player->onPlaybackStateChanged = [this] (int row, bool playing) { notices.emplace_back (row, playing); };
        player->onWaveformReady = [this] (const std::string&, const std::vector<float>& b) { bins = b; };
        player->mixer = &mixer;
        player->deviceManager = &deviceManager;
        if (start)
            player->startThread();
    }

    // A mono WAV file at 44.1 kHz, by default a sine of amplitude 0.5.
    juce::File wav (const juce::String& name, double seconds, const SampleFunction& sample = [] (int, juce::int64 f) { return sine441 (f, 0.5f); })
    {
        return writeAudioFile (folder / name, AudioFileType::wav, 1, 44100.0, (juce::int64) (seconds * 44100.0), sample);
    }

    void play (const juce::File& file, int row) { player->playFile (file.getFullPathName().toStdString(), row); }
    bool waitFor (int row, bool playing, int timeoutMs = 30000)
    {
        return pumpUntil ([&] { return std::count (notices.begin(), notices.end(), std::pair (row, playing)) > 0; }, timeoutMs);
    }

    TempFolder folder;
    juce::MixerAudioSource mixer;
    juce::AudioSourcePlayer sourcePlayer;
    juce::AudioDeviceManager deviceManager;
    std::vector<std::pair<int, bool>> notices;
    std::vector<float> bins;
    std::unique_ptr<AudioPlaybackThread> player = std::make_unique<AudioPlaybackThread>();
};
} // namespace tarsio::test
