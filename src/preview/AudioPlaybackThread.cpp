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
        // Also ends a file scan at its next block (and any read at once), so a long file does not
        // hold the quit up; the thread is never killed by force.
        signalThreadShouldExit();
        stopThread (-1);
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
    if (readerSource == nullptr || ! std::isfinite (seconds))
        return;

    transportSource.setPosition (juce::jlimit (0.0, transportSource.getLengthInSeconds(), seconds));

    // A preview that ran to its end stays on the bar for a moment before the worker lets it go; the
    // transport has stopped itself, and a click on its waveform must play from there again.
    if (! transportSource.isPlaying())
        transportSource.start();
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

        wakeEvent.wait (kPassMs);

        if (const auto command = takeCommands(); command.has_value() && ! quitRequested.load())
        {
            if (command->type == Play)
                executePlay (command->filePath, command->rowIndex);
            else
                executeStop();
        }

        checkPlaybackStatus();
    }
}

std::optional<AudioPlaybackThread::Command> AudioPlaybackThread::takeCommands()
{
    // Everything queued is served now: a Play or Stop makes every earlier one moot.
    std::optional<Command> last;
    const juce::ScopedLock sl (queueLock);

    for (auto& command : commandQueue)
    {
        if (command.type == Quit)
            quitRequested.store (true);
        else if (command.type == Play || command.type == Stop)
            last = std::move (command);
    }

    commandQueue.clear();
    return last;
}

bool AudioPlaybackThread::hasPendingCommand() const
{
    const juce::ScopedLock sl (queueLock);
    return ! commandQueue.empty();
}

void AudioPlaybackThread::checkPlaybackStatus()
{
    // Nothing loaded: idle, or a scan gave way to a command that the next pass serves.
    if (readerSource == nullptr)
        return;

    if (transportSource.isPlaying())
    {
        checkCounter = 0;
        return;
    }

    if (checkCounter++ < 9)
        return;

    executeStop();
}

void AudioPlaybackThread::executePlay (const std::string& path, int row)
{
    releasePreview (row);

    // Only absolute paths name a file; anything else plays nothing, like an unreadable file.
    const auto key = ! path.empty() && path.front() == '/' ? PreviewScanCache::keyFor (path) : std::nullopt;

    auto reader = mixer != nullptr && deviceManager != nullptr && key.has_value() ? PreviewScan::createReader (path)
                                                                                  : nullptr;
    if (reader == nullptr || reader->sampleRate <= 0.0 || reader->numChannels == 0)
    {
        executeStop();
        return;
    }

    const double fileRate = reader->sampleRate;
    const bool mono = reader->numChannels == 1;

    PreviewScan::Result scan;
    if (const auto* known = scanCache.find (*key))
    {
        scan = *known;
    }
    else
    {
        scan = PreviewScan::scan (*reader, key->size, [this] { return threadShouldExit() || hasPendingCommand(); });
        // Given up for a newer command, which ends this row's preview.
        if (! scan.completed)
            return;
        scanCache.store (*key, scan);
    }

    {
        const juce::ScopedLock sl (sourceLock);

        // The old objects are already gone (releasePreview above), so nothing still plays from them.
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

    // The bins follow the start, so that the bar draws them over a running preview.
    if (onWaveformReady)
    {
        juce::MessageManager::callAsync ([alive = aliveFlag, this, path, bins = std::move (scan.bins)]
        {
            if (alive->load() && onWaveformReady)
                onWaveformReady (path, bins);
        });
    }
    postNotice (row, true);
}

void AudioPlaybackThread::executeStop()
{
    releasePreview (-1);
}

void AudioPlaybackThread::releasePreview (int nextRow)
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

    checkCounter = 0;

    // A row that goes on (played again) is not reported stopped in between.
    const int row = currentRow.exchange (nextRow);
    if (row >= 0 && row != nextRow)
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
