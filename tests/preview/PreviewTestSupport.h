#pragma once

#include <unistd.h>

#include "support/FileAudioOutput.h"
#include "support/TestSupport.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <cstdlib>
#include <vector>

namespace tarsio::test
{
enum class AudioFileType { wav, aiff, flac, ogg, mp3 };

inline const char* extensionOf (AudioFileType type)
{
    switch (type)
    {
        case AudioFileType::wav:  return ".wav";
        case AudioFileType::aiff: return ".aiff";
        case AudioFileType::flac: return ".flac";
        case AudioFileType::ogg:  return ".ogg";
        case AudioFileType::mp3:  return ".mp3";
    }
    return "";
}

inline bool isLossy (AudioFileType type) { return type == AudioFileType::ogg || type == AudioFileType::mp3; }

// For the test suites that run once per file type, named after the extension.
inline auto everyAudioFileType()
{
    return testing::Values (AudioFileType::wav, AudioFileType::aiff, AudioFileType::flac,
                            AudioFileType::ogg, AudioFileType::mp3);
}

inline std::string audioFileTypeName (const testing::TestParamInfo<AudioFileType>& param)
{
    return juce::String (extensionOf (param.param)).substring (1).toStdString();
}

inline bool haveLame()
{
    return juce::File ("/usr/bin/lame").existsAsFile() || juce::File ("/usr/local/bin/lame").existsAsFile();
}

// Sample value of a channel at a frame.
using SampleFunction = std::function<float (int channel, juce::int64 frame)>;

// Writes frames in blocks with JUCE's own writer for the type (an MP3 goes through a 16-bit WAV
// and lame). Returns the file, or a non-existent one when it could not be made.
inline juce::File writeAudioFile (const juce::File& file, AudioFileType type, int channels, double rate,
                                  juce::int64 frames, const SampleFunction& sample)
{
    const auto pcmFile = type == AudioFileType::mp3 ? file.withFileExtension (".source.wav") : file;
    file.deleteFile();

    {
        std::unique_ptr<juce::AudioFormat> format;
        int bits = 24, quality = 0;
        switch (type)
        {
            case AudioFileType::wav:  format = std::make_unique<juce::WavAudioFormat>(); break;
            case AudioFileType::aiff: format = std::make_unique<juce::AiffAudioFormat>(); break;
            case AudioFileType::flac: format = std::make_unique<juce::FlacAudioFormat>(); break;
            case AudioFileType::ogg:  format = std::make_unique<juce::OggVorbisAudioFormat>(); bits = 16; quality = 8; break;
            case AudioFileType::mp3:  format = std::make_unique<juce::WavAudioFormat>(); bits = 16; break;
        }

        auto stream = pcmFile.createOutputStream();
        if (stream == nullptr)
            return {};
        std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (stream.get(), rate, (unsigned int) channels,
                                                                                  bits, {}, quality));
        if (writer == nullptr)
            return {};
        stream.release();

        juce::AudioBuffer<float> block (channels, 65536);
        for (juce::int64 start = 0; start < frames; start += block.getNumSamples())
        {
            const int n = (int) juce::jmin ((juce::int64) block.getNumSamples(), frames - start);
            for (int ch = 0; ch < channels; ++ch)
                for (int i = 0; i < n; ++i)
                    block.setSample (ch, i, sample (ch, start + i));
            if (! writer->writeFromAudioSampleBuffer (block, 0, n))
                return {};
        }
    }

    if (type == AudioFileType::mp3)
    {
        juce::ChildProcess lame;
        const bool ok = lame.start (juce::StringArray { "lame", "--silent", "-b", "192",
                                                        pcmFile.getFullPathName(), file.getFullPathName() })
                        && lame.waitForProcessToFinish (120000) && lame.getExitCode() == 0;
        pcmFile.deleteFile();
        if (! ok)
            file.deleteFile();
    }

    return file;
}

// Damages a WAV file's header so that its data chunk claims about four gigabytes, far more than
// the file holds; returns false when the file has no data chunk.
inline bool claimHugeDataChunk (const juce::File& wavFile)
{
    juce::MemoryBlock bytes;
    if (! wavFile.loadFileAsData (bytes))
        return false;

    const auto* begin = static_cast<const char*> (bytes.getData());
    const auto dataChunk = (size_t) (std::search (begin, begin + bytes.getSize(), "data", "data" + 4) - begin);
    if (dataChunk + 8 > bytes.getSize())
        return false;

    bytes[dataChunk + 4] = (char) 0xf0;
    for (size_t i = 5; i < 8; ++i)
        bytes[dataChunk + i] = (char) 0xff;
    return wavFile.replaceWithData (bytes.getData(), bytes.getSize());
}

// Grows the file to `bytes` without writing them: a sparse tail of zeros that takes no disk space
// but makes a file whose every claimed frame is really there, and whose scan takes seconds.
inline bool growSparse (const juce::File& file, juce::int64 bytes)
{
    return ::truncate (file.getFullPathName().toRawUTF8(), (off_t) bytes) == 0;
}

// A sine whose peak is exactly the amplitude at 44.1 kHz (a period of 100 frames).
inline float sine441 (juce::int64 frame, float amplitude)
{
    return amplitude * (float) std::sin (juce::MathConstants<double>::twoPi * (double) (frame % 100) / 100.0);
}

// Plays the part of the audio device: prepares the mixer and pulls it from its own thread at
// about real time, keeping the first seconds of what it pulled.
class MixerPump final : private juce::Thread
{
public:
    MixerPump (juce::MixerAudioSource& mixerToPull, double rate, int blockSize, double captureSeconds = 0.0)
        : juce::Thread ("MixerPump"), mixer (mixerToPull), sampleRate (rate),
          block (2, blockSize), capture (2, juce::jmax (1, (int) (captureSeconds * rate)))
    {
        capture.clear();
        mixer.prepareToPlay (blockSize, sampleRate);
        startThread();
    }

    ~MixerPump() override { stop(); }

    // Ends the pulling the way a device stops: the chain is released afterwards.
    void stop()
    {
        if (isThreadRunning())
        {
            stopThread (5000);
            mixer.releaseResources();
        }
    }

    // Valid once stopped.
    const juce::AudioBuffer<float>& captured() const { return capture; }
    int capturedSamples() const { return captureUsed; }

private:
    void run() override
    {
        const int blockMs = juce::jmax (1, (int) (1000.0 * block.getNumSamples() / sampleRate));
        while (! threadShouldExit())
        {
            block.clear();
            mixer.getNextAudioBlock (juce::AudioSourceChannelInfo (block));

            const int n = juce::jmin (block.getNumSamples(), capture.getNumSamples() - captureUsed);
            for (int ch = 0; ch < 2 && n > 0; ++ch)
                capture.copyFrom (ch, captureUsed, block, ch, 0, n);
            captureUsed += juce::jmax (0, n);

            wait (blockMs);
        }
    }

    juce::MixerAudioSource& mixer;
    const double sampleRate;
    juce::AudioBuffer<float> block, capture;
    int captureUsed = 0;
};


// Keeps JUCE off the X server for a test that needs no window. With Xlib's calls hidden from
// ThreadSanitizer (tools/tsan.supp), the display locks that JUCE and the X extensions take look
// unbalanced to it; a component that never reaches the desktop does not need the display at all.
// DISPLAY names a server that cannot exist rather than being unset: unset, JUCE falls back to ":0",
// which may be another test process's server and vanish mid-test.
class ScopedNoDisplay
{
public:
    ScopedNoDisplay()
    {
        if (const char* display = std::getenv ("DISPLAY"))
            previous = display;
        setenv ("DISPLAY", ":4095", 1);
    }

    ~ScopedNoDisplay()
    {
        if (previous.has_value())
            setenv ("DISPLAY", previous->c_str(), 1);
        else
            unsetenv ("DISPLAY");
    }

private:
    std::optional<std::string> previous;
    JUCE_DECLARE_NON_COPYABLE (ScopedNoDisplay)
};

// Every notice the player delivers to the message thread, in order.
struct NoticeLog
{
    struct Notice { int row; bool playing; };
    std::vector<Notice> notices;

    std::function<void (int, bool)> recorder()
    {
        return [this] (int row, bool playing) { notices.push_back ({ row, playing }); };
    }

    bool has (int row, bool playing) const
    {
        for (const auto& n : notices)
            if (n.row == row && n.playing == playing)
                return true;
        return false;
    }
};
} // namespace tarsio::test
