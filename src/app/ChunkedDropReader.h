#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

// Reads the file list of a drop that the drag source sends in chunks.
//
// Above about 256 KB of file URIs (some 5,500 files) an X drag source offers the list through the
// selection's incremental (INCR) transfer, which JUCE 7.0.5 does not read: it takes the offer's
// 4-byte header for the list and reports one garbled name, or none. This reader watches the drop
// property of the window's peer on an X connection of its own. When a source answers JUCE in chunks,
// it asks the source for the list once more, into a window of its own, and reads every chunk while
// the drag is still going on (the source may let go of its data as soon as the drop is over). Then
// it hands the whole list to JUCE as if the source had sent it at once, so the drag's later
// callbacks carry the real files.
//
// Message thread only: its X events arrive through JUCE's event loop.
class ChunkedDropReader final : private juce::AsyncUpdater,
                                private juce::Timer
{
public:
    ChunkedDropReader();
    ~ChunkedDropReader() override;

    // The top-level X window whose drops JUCE handles (the peer's native handle); 0 for none.
    void watchWindow (unsigned long window);

    // Whether the drag that JUCE reports now is one whose list came in chunks: the files JUCE
    // passed are then not the drag's files, and takeFiles gives them.
    bool isChunkedDrag();

    enum class Result { read, tooLarge, unreadable };
    using FilesCallback = std::function<void (Result, const juce::StringArray&)>;

    // Passes the chunked drag's files on once they are read (at once when they are), then forgets them.
    void takeFiles (FilesCallback callback);

    // A list beyond this is refused: it would only exhaust memory.
    static constexpr size_t maxListBytes = 64 * 1024 * 1024;

    // The paths of a text/uri-list, decoded as JUCE decodes the lists it reads itself.
    static juce::StringArray filesFromUriList (const juce::MemoryBlock& uriList);

private:
    enum class Phase { idle, asking, receiving, done };

    void handleAsyncUpdate() override { handleEvents(); }
    void timerCallback() override;

    bool connect();
    void handleEvents();
    void startReading();
    void readAnswer();
    void readChunk();
    bool append (const unsigned char* data, unsigned long size);
    void finish (Result result);
    void handToJuce();

    struct Connection;
    std::unique_ptr<Connection> x;
    unsigned long watched = 0;
    Phase phase = Phase::idle;
    Result result = Result::unreadable;
    juce::MemoryBlock received;
    juce::StringArray files;
    std::vector<FilesCallback> waiting;
    juce::uint32 lastProgressMs = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChunkedDropReader)
};
