#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <string>

class MonoToStereoNormalizedSource;

// The preview player: a worker ("AudioPlayback") that takes Play/Stop/Quit commands from a
// locked queue, one per pass, and plays one file at a time through the main component's mixer.
//
// Threads: playFile, stopPlayback, the position/seek accessors and the destructor are called on
// the message thread; run and the execute* operations run on the worker; onPlaybackStateChanged is
// only ever invoked on the message thread.
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
    // worker's source changes, so they never reach a source that is being replaced.
    double getCurrentPositionSeconds() const;
    double getLengthSeconds() const;
    void seekTo (double seconds);

    juce::AudioTransportSource transportSource;
    juce::MixerAudioSource* mixer = nullptr;
    juce::AudioDeviceManager* deviceManager = nullptr;
    std::atomic<int> currentRow { -1 };
    std::function<void (int row, bool playing)> onPlaybackStateChanged;

private:
    void run() override;
    void executePlay (const std::string& path, int row);
    void executeStop();
    void checkPlaybackStatus();
    void postNotice (int row, bool playing);

    juce::CriticalSection queueLock;
    juce::WaitableEvent wakeEvent;
    std::atomic<bool> quitRequested { false };
    std::deque<Command> commandQueue;

    // Guards the transport's source against the message thread's seeks and reads.
    mutable juce::CriticalSection sourceLock;
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;
    std::unique_ptr<MonoToStereoNormalizedSource> normalizedSource;

    int checkCounter = 0;
    std::shared_ptr<std::atomic<bool>> aliveFlag = std::make_shared<std::atomic<bool>> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioPlaybackThread)
};
