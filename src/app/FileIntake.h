#pragma once

#include <juce_core/juce_core.h>

// What the intake lets through to the pages: regular files, or links to them. Folders, devices,
// FIFOs and vanished paths are skipped like any file that is not audio, so that no page lists, reads
// or renames them. Any thread.
namespace FileIntake
{
    // True when path names a regular file, after following links.
    bool isRegularFile (const juce::String& path);

    // The regular files of paths, in their order.
    juce::StringArray regularFilesOnly (const juce::StringArray& paths);
}
