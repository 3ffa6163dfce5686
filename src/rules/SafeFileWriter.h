#pragma once

#include <juce_core/juce_core.h>

// Gives a file the user chose new content, whole or not at all, without replacing the file itself:
// a symbolic link stays a link and the file it leads to is written; the file keeps its mode and,
// where permitted, its owner; a file with several hard links changes for all of them. POSIX only.
// No state; any thread may call it (the rules page calls it on the message thread).
namespace SafeFileWriter
{
    // Writes size bytes of data as the whole content of chosen (created when missing, in a folder
    // that exists). False, with the file as it was, when it cannot be written: a missing or
    // read-only folder or file, a folder, device or pipe in its place, a full disk.
    bool write (const juce::File& chosen, const void* data, size_t size);
}
