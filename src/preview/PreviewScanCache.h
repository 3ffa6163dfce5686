#pragma once

#include "preview/PreviewScan.h"

#include <list>
#include <optional>
#include <string>
#include <utility>

// What the scans of recently previewed files found, so that playing a file again (or after the
// rows were sorted) needs no second decode. A file is known by its path, size, modification time
// and inode: a file that changed, or another file now at the same path, is scanned anew.
// At most kMaxEntries files are kept (each under 7 KB of bins), the least recently used going first.
// Not thread-safe: the preview worker owns it.
class PreviewScanCache final
{
public:
    static constexpr size_t kMaxEntries = 100;

    struct Key
    {
        std::string path;
        juce::int64 size = 0, modifiedNs = 0;
        juce::uint64 device = 0, inode = 0;

        bool operator== (const Key& other) const;
    };

    PreviewScanCache() = default;

    // The file's key (the path's bytes) as it is now, or none when it cannot be read.
    static std::optional<Key> keyFor (const std::string& path);

    // A completed scan of that very file, or null; the entry becomes the most recently used.
    const PreviewScan::Result* find (const Key& key);
    // Keeps a completed scan, replacing any older one of the same path.
    void store (const Key& key, const PreviewScan::Result& result);

    size_t size() const noexcept { return entries.size(); }

private:
    std::list<std::pair<Key, PreviewScan::Result>> entries; // most recently used first

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PreviewScanCache)
};
