#include "analysis/ISRCHeaderThread.h"

#include "analysis/AudioConverter.h"

#include <juce_events/juce_events.h>

ISRCHeaderThread::ISRCHeaderThread (ReadCallback onReadToUse)
    : juce::Thread ("ISRCHeaders"), onRead (std::move (onReadToUse))
{
}

ISRCHeaderThread::~ISRCHeaderThread()
{
    *alive = false;
    clear();

    // Never by force: the read under way ends at its next read of the disk.
    signalThreadShouldExit();
    wake.signal();
    if (isThreadRunning())
        stopThread (-1);
}

void ISRCHeaderThread::read (std::vector<Task> tasks)
{
    const bool any = ! tasks.empty();
    {
        const juce::ScopedLock sl (lock);
        for (auto& task : tasks)
            queue.push_back (std::move (task));
    }
    wakeWith (any);
}

void ISRCHeaderThread::readFirst (std::vector<Task> tasks)
{
    const bool any = ! tasks.empty();
    {
        const juce::ScopedLock sl (lock);
        first.assign (std::make_move_iterator (tasks.begin()), std::make_move_iterator (tasks.end()));
    }
    wakeWith (any);
}

void ISRCHeaderThread::clear()
{
    const juce::ScopedLock sl (lock);
    queue.clear();
    first.clear();
    taken.clear();
}

bool ISRCHeaderThread::isBusy() const
{
    const juce::ScopedLock sl (lock);
    return reading || ! queue.empty() || ! first.empty();
}

void ISRCHeaderThread::wakeWith (bool anyTask)
{
    if (! anyTask)
        return;

    if (! isThreadRunning())
        startThread();
    wake.signal();
}

bool ISRCHeaderThread::takeNext (Task& task)
{
    const juce::ScopedLock sl (lock);
    reading = false;

    for (auto* tasks : { &first, &queue })
    {
        while (! tasks->empty())
        {
            task = std::move (tasks->front());
            tasks->pop_front();

            if (taken.insert (task.id).second)
            {
                reading = true;
                return true;
            }
        }
    }
    return false;
}

void ISRCHeaderThread::run()
{
    while (! threadShouldExit())
    {
        Task task;
        if (! takeNext (task))
        {
            wake.wait (-1);
            continue;
        }

        Header header;
        header.id = task.id;
        header.path = std::move (task.path);
        // Only full paths name a file the panel could find; the path's bytes are opened as they are.
        if (! header.path.empty() && header.path.front() == '/')
            AudioConverter::getFileInfo (header.path, header.sampleRate, header.bitsPerSample, header.isrc);

        // A read cut short by the exit request may have found nothing: it reports nothing.
        if (threadShouldExit())
            break;

        hand (std::move (header));
    }

    const juce::ScopedLock sl (lock);
    reading = false;
}

void ISRCHeaderThread::hand (Header&& header)
{
    const juce::ScopedLock sl (lock);
    results.push_back (std::move (header));

    if (! delivering)
    {
        delivering = true;
        juce::MessageManager::callAsync ([this, isAlive = alive]
        {
            if (*isAlive)
                deliver();
        });
    }
}

void ISRCHeaderThread::deliver()
{
    std::vector<Header> delivered;
    {
        const juce::ScopedLock sl (lock);
        delivered.swap (results);
        delivering = false;
    }

    if (onRead)
        onRead (delivered);
}
