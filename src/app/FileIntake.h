#pragma once

#include <string>

// What the intake lets through to the pages: regular files, or links to them. Folders, devices,
// FIFOs and vanished paths are skipped like any file that is not audio, so that no page lists, reads
// or renames them. Paths are bytes, UTF-8 or not. Any thread.
namespace FileIntake
{
    // True when path is absolute and names a regular file, after following links.
    bool isRegularFile (const std::string& path);
}
