#include "preview/AudioPlaybackThread.h"
#include "preview/MonoToStereoNormalizedSource.h"

AudioPlaybackThread::AudioPlaybackThread() : juce::Thread ("AudioPlayback") {}

AudioPlaybackThread::~AudioPlaybackThread()
{
    aliveFlag->store (false);
    shutdown();
}

void AudioPlaybackThread::shutdown()
{
    {
        const juce::ScopedLock sl (queueLock);
        commandQueue.push_back ({ Quit, {}, -1 });
    }
    wakeEvent.signal();
    if (isThreadRunning())
        stopThread (3000);

    mixer = nullptr;
    deviceManager = nullptr;
}

void AudioPlaybackThread::playFile (const std::string& path, int row)
{
    const juce::ScopedLock sl (queueLock);
    commandQueue.push_back ({ Play, path, row });
    wakeEvent.signal();
}

void AudioPlaybackThread::stopPlayback()
{
    const juce::ScopedLock sl (queueLock);
    commandQueue.push_back ({ Stop, {}, -1 });
    wakeEvent.signal();
}

double AudioPlaybackThread::getCurrentPositionSeconds() const
{
    const juce::ScopedLock sl (sourceLock);
    return transportSource.getCurrentPosition();
}

double AudioPlaybackThread::getLengthSeconds() const
{
    const juce::ScopedLock sl (sourceLock);
    return transportSource.getLengthInSeconds();
}

void AudioPlaybackThread::seekTo (double seconds)
{
    const juce::ScopedLock sl (sourceLock);
    if (readerSource != nullptr)
        transportSource.setPosition (seconds);
}

void AudioPlaybackThread::run()
{
    for (;;)
    {
        if (quitRequested.load())
        {
            executeStop();
            return;
        }

        wakeEvent.wait (100);

        Command command;
        bool haveCommand = false;
        {
            const juce::ScopedLock sl (queueLock);
            if (! commandQueue.empty())
            {
                command = commandQueue.front();
                commandQueue.pop_front();
                haveCommand = true;
            }
        }

        if (haveCommand)
        {
            switch (command.type)
            {
                case Quit: quitRequested.store (true); break;
                case Stop: executeStop(); break;
                case Play: executePlay (command.filePath, command.rowIndex); break;
                default: break;
            }
        }

        checkPlaybackStatus();
    }
}

void AudioPlaybackThread::checkPlaybackStatus()
{
    if (currentRow.load() < 0)
        return;

    if (transportSource.isPlaying())
    {
        checkCounter = 0;
        return;
    }

    if (checkCounter++ < 9)
        return;

    executeStop();
    checkCounter = 0;
}

void AudioPlaybackThread::executePlay (const std::string&, int)
{
    // Playback itself arrives with the preview player; until then a Play only ends the old preview.
    executeStop();
}

void AudioPlaybackThread::executeStop()
{
    transportSource.stop();
    if (mixer != nullptr)
        mixer->removeInputSource (&transportSource);

    {
        const juce::ScopedLock sl (sourceLock);
        transportSource.setSource (nullptr);
        normalizedSource.reset();
        readerSource.reset();
    }

    const int row = currentRow.exchange (-1);
    if (row >= 0)
        postNotice (row, false);
}

void AudioPlaybackThread::postNotice (int row, bool playing)
{
    if (! onPlaybackStateChanged)
        return;

    juce::MessageManager::callAsync ([alive = aliveFlag, this, row, playing]
    {
        if (alive->load() && onPlaybackStateChanged)
            onPlaybackStateChanged (row, playing);
    });
}
