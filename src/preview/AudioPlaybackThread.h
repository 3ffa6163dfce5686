#pragma once

#include "preview/PreviewScanCache.h"

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MonoToStereoNormalizedSource;

// The preview player: a worker ("AudioPlayback") that takes Play/Stop/Quit commands from a
// locked queue and plays one file at a time, peak-normalised and from its first audible frame,
// through the main component's mixer. Each pass serves every queued command at once: only the
// last Play or Stop counts. Before a file plays, one scan finds its start, its peak and its
// waveform; what it found is kept, so a file played again starts at once. A scan is abandoned as
// soon as another command arrives.
//
// Threads: playFile, stopPlayback, shutdown, the position/seek accessors and the destructor are
// called on the message thread; run and the execute* operations run on the worker; the audio
// device's thread pulls transportSource through the mixer; onPlaybackStateChanged and
// onWaveformReady are only ever invoked on the message thread.
//
// Locks: sourceLock is taken by the worker around every change of the transport's source, its
// preparation and its place in the mixer, and by the message thread around every read and seek.
// It is never taken on the audio thread and always taken first, with no other lock held, so it
// cannot deadlock with the audio thread, the mixer's lock or the transport's own lock. Scans run
// outside it: the message thread never waits for a file to be read.
class AudioPlaybackThread final : public juce::Thread
{
public:
    enum CommandType { Play = 0, Stop = 1, Quit = 2 };

    struct Command
    {
        int type = Stop;
        std::string filePath;
        int rowIndex = -1;
    };

    AudioPlaybackThread();
    ~AudioPlaybackThread() override;

    void playFile (const std::string& path, int row);
    void stopPlayback();
    // Queues Quit and joins the worker, which stops any preview on its way out; afterwards the
    // player no longer touches the mixer. The destructor calls it too.
    void shutdown();

    // Message thread: reads and moves the preview's position. They are serialised with the
    // worker's source changes, so they never reach a source that is being replaced. Without a
    // preview the reads give 0 and a seek does nothing; a seek is kept within the file, and plays a
    // preview that has run to its end (and is not let go yet) again from there.
    double getCurrentPositionSeconds() const;
    double getLengthSeconds() const;
    void seekTo (double seconds);

    static constexpr int kTransportBlockSize = 1024;
    static constexpr int kPassMs = 100;

    // Worker and audio thread only: the message thread reads and seeks through the accessors above.
    juce::AudioTransportSource transportSource;
    // The main component's, not owned; set before the thread starts and cleared by shutdown.
    juce::MixerAudioSource* mixer = nullptr;
    juce::AudioDeviceManager* deviceManager = nullptr;
    // The row being previewed, from the moment its file is taken up (while it is scanned) until it
    // stops; -1 when none. Written by the worker only.
    std::atomic<int> currentRow { -1 };
    // Set before the thread starts; always called on the message thread. A row that stops, or
    // whose file could not be played, is reported not playing; a new preview's report for the old
    // row always comes before its own.
    std::function<void (int row, bool playing)> onPlaybackStateChanged;
    // Set before the thread starts; called on the message thread with the path given to playFile and
    // the file's waveform bins (PreviewScan::Result::bins) once its preview runs.
    std::function<void (const std::string& path, const std::vector<float>& bins)> onWaveformReady;

private:
    void run() override;
    std::optional<Command> takeCommands();
    bool hasPendingCommand() const;
    void executePlay (const std::string& path, int row);
    void executeStop();
    void releasePreview (int nextRow);
    void checkPlaybackStatus();
    void postNotice (int row, bool playing);

    mutable juce::CriticalSection queueLock;
    juce::WaitableEvent wakeEvent;
    std::atomic<bool> quitRequested { false };
    std::deque<Command> commandQueue;

    // Guards the transport's source against the message thread's seeks and reads.
    mutable juce::CriticalSection sourceLock;
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;
    std::unique_ptr<MonoToStereoNormalizedSource> normalizedSource;

    PreviewScanCache scanCache;
    int checkCounter = 0;
    std::shared_ptr<std::atomic<bool>> aliveFlag = std::make_shared<std::atomic<bool>> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioPlaybackThread)
};
