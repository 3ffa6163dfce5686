#pragma once

#include <juce_core/juce_core.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// The ISRC panel's header worker ("ISRCHeaders"): reads the rate, depth and ISRC of WAV files
// (AudioConverter::getFileInfo) off the message thread, so that a slow or stalled disk never holds
// the window. It takes the reads asked first, then the others in the order queued; each read asked
// for (by its id) runs once. It lives as long as its owner and waits for work while it has none.
//
// Threads: the constructor, read, readFirst, clear, isBusy and the destructor are called on the
// message thread, and onRead is called there. The worker's own thread only reads files and hands
// the results over: one message in flight at a time carries every result read meanwhile, and none
// is delivered once the worker is destroyed. The destructor waits for the read under way, which ends
// at its next read of the disk once the thread is asked to exit; it never kills the thread.
class ISRCHeaderThread final : private juce::Thread
{
public:
    struct Task
    {
        juce::uint64 id = 0; // the owner's, to know the result for its row and no other
        std::string path;    // the path's bytes, as taken in
    };

    struct Header
    {
        juce::uint64 id = 0;
        std::string path;
        double sampleRate = 0.0; // 0 when the file is not a readable WAV
        int bitsPerSample = 0;
        juce::String isrc;       // upper-case letters and digits only
    };

    using ReadCallback = std::function<void (const std::vector<Header>& headers)>;

    explicit ISRCHeaderThread (ReadCallback onReadToUse);
    ~ISRCHeaderThread() override;

    // Appends reads, in order.
    void read (std::vector<Task> tasks);
    // The reads to take before all others (the rows in view), replacing those given last time.
    void readFirst (std::vector<Task> tasks);
    // Drops every read not begun. A read under way still reports; its id tells it apart.
    void clear();
    // True while reads are queued or one is under way.
    bool isBusy() const;

private:
    void run() override;
    bool takeNext (Task& task);
    void hand (Header&& header);
    void deliver();
    void wakeWith (bool anyTask);

    const ReadCallback onRead;

    juce::CriticalSection lock; // guards everything down to delivering
    std::deque<Task> queue;
    std::deque<Task> first;
    std::unordered_set<juce::uint64> taken;
    bool reading = false;
    std::vector<Header> results;
    bool delivering = false;

    juce::WaitableEvent wake;
    // Read and set on the message thread only; the worker copies the pointer into each message.
    const std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ISRCHeaderThread)
};
