#include "preview/AudioPlaybackThread.h"
#include "preview/MonoToStereoNormalizedSource.h"
#include "preview/PreviewScan.h"

#include <cmath>

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
        // Whatever is still queued is moot: the Quit stops any preview on its way out.
        commandQueue.clear();
        commandQueue.push_back ({ Quit, {}, -1 });
    }
    wakeEvent.signal();

    if (isThreadRunning())
    {
        // Also ends a file scan at its next block, so a long file does not hold the quit up.
        signalThreadShouldExit();
        stopThread (kQuitTimeoutMs);
    }

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
    // Kept within the file: a position is converted to a frame count, which must not overflow.
    if (readerSource != nullptr && std::isfinite (seconds))
        transportSource.setPosition (juce::jlimit (0.0, transportSource.getLengthInSeconds(), seconds));
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

void AudioPlaybackThread::executePlay (const std::string& path, int row)
{
    executeStop();

    if (mixer == nullptr || deviceManager == nullptr)
        return;

    // Only absolute paths name a file; anything else plays nothing, like an unreadable file.
    const auto pathText = juce::String::fromUTF8 (path.c_str());
    if (! juce::File::isAbsolutePath (pathText))
        return;

    const juce::File file (pathText);
    auto reader = PreviewScan::createReader (file);
    if (reader == nullptr || reader->sampleRate <= 0.0 || reader->numChannels == 0)
        return;

    const double fileRate = reader->sampleRate;
    const bool mono = reader->numChannels == 1;

    const auto scan = PreviewScan::scan (*reader, file.getSize(), [this] { return threadShouldExit(); });
    if (! scan.completed)
        return;

    {
        const juce::ScopedLock sl (sourceLock);

        // The old objects are already gone (executeStop above), so nothing still plays from them.
        readerSource = std::make_unique<juce::AudioFormatReaderSource> (reader.release(), true);
        normalizedSource = std::make_unique<MonoToStereoNormalizedSource> (readerSource.get(), mono,
                                                                           PreviewScan::gainForPeak (scan.peak));

        transportSource.setSource (normalizedSource.get(), 0, nullptr, fileRate, 2);
        transportSource.prepareToPlay (kTransportBlockSize, fileRate);

        // In file frames while the transport still runs at the file rate, so the start is exact.
        if (scan.startFrame > 0)
            transportSource.setNextReadPosition (scan.startFrame);

        // The mixer prepares the transport for the device rate; the message thread reads that rate.
        mixer->addInputSource (&transportSource, false);
        transportSource.start();
    }

    currentRow.store (row);
    postNotice (row, true);
}

void AudioPlaybackThread::executeStop()
{
    // Let the audio thread fade the last block out, unless nothing pulls the transport any more
    // (no device, or the device already cut off at shutdown): then there is nothing to wait for.
    if (transportSource.isPlaying() && normalizedSource != nullptr && normalizedSource->wasPulledRecently())
        transportSource.stop();

    {
        const juce::ScopedLock sl (sourceLock);

        if (mixer != nullptr)
            mixer->removeInputSource (&transportSource);

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
