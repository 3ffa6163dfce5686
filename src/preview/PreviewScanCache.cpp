#include "preview/PreviewScanCache.h"

#include <sys/stat.h>

bool PreviewScanCache::Key::operator== (const Key& other) const
{
    return size == other.size && modifiedNs == other.modifiedNs && inode == other.inode && device == other.device
           && path == other.path;
}

std::optional<PreviewScanCache::Key> PreviewScanCache::keyFor (const std::string& path)
{
    struct stat info {};
    if (::stat (path.c_str(), &info) != 0 || ! S_ISREG (info.st_mode))
        return std::nullopt;

    return Key { path, (juce::int64) info.st_size,
                 (juce::int64) info.st_mtim.tv_sec * 1000000000 + (juce::int64) info.st_mtim.tv_nsec,
                 (juce::uint64) info.st_dev, (juce::uint64) info.st_ino };
}

const PreviewScan::Result* PreviewScanCache::find (const Key& key)
{
    for (auto it = entries.begin(); it != entries.end(); ++it)
    {
        if (it->first == key)
        {
            entries.splice (entries.begin(), entries, it);
            return &entries.front().second;
        }
    }
    return nullptr;
}

void PreviewScanCache::store (const Key& key, const PreviewScan::Result& result)
{
    entries.remove_if ([&] (const auto& entry) { return entry.first.path == key.path; });
    entries.emplace_front (key, result);

    while (entries.size() > kMaxEntries)
        entries.pop_back();
}
