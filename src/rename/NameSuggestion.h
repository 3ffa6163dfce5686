#pragma once

#include "rename/RenameRule.h"

#include <string>
#include <vector>

// The suggestion engine behind Rename::addList: which paths are audio files, the file name, stem and
// match key of a path, and the first-match scan over the rename rules with the per-instrument
// counters. No UI; message thread only (it writes the counters of the rules it is given).
namespace NameSuggestion
{
    // The characters kept in keys and terms for matching.
    extern const char* const kMatchCharacters;

    // A filter for the scan: one bit per character of kMatchCharacters in text, and hashed bits for
    // its adjacent pairs. A term can occur in a key only if its signature is a subset of the key's.
    uint64_t matchSignature (const std::string& text) noexcept;

    // UTF-8 bytes as a juce::String, without asserting on invalid bytes (file names need not be valid UTF-8).
    juce::String fromUTF8 (const std::string& text);

    // The length in bytes of the valid UTF-8 sequence at text[index], and its code point in c; 0 when
    // the byte there starts none.
    size_t utf8SequenceAt (const std::string& text, size_t index, juce::juce_wchar& c) noexcept;

    // The part of path after its last folder separator ("/", and on Windows "\" too), or the whole
    // path when it holds none (the logic of Rename::extractFileName). A path ending in one gives "".
    std::string extractFileName (const std::string& path);

    // True when the last bytes of path are extension (given in lower case), ASCII letters compared
    // case-insensitively and every other byte as it is. The loudness and ISRC panels test ".wav" so.
    bool endsWithExtension (const std::string& path, const char* extension) noexcept;

    // Byte-wise extension test: ".wav", ".mp3", ".aif", ".ogg", ".aiff" or ".flac".
    bool isAudioFile (const std::string& path) noexcept;

    // The file name of path without its last "." and what follows; a name without "." is its own
    // stem; ".wav" gives "". Decoded from UTF-8.
    juce::String stemOf (const std::string& path);

    // The stem lower-cased and reduced to kMatchCharacters: "Kick_01" gives "kick01".
    std::string matchKeyOf (const juce::String& stem);

    // Index of the first rule, in table order, whose match term occurs in key; -1 when none does.
    int findFirstMatch (const std::vector<RenameRule>& rules, const std::string& key) noexcept;

    // The suggested new name for the file at path: the matched instrument followed by its running
    // number (the counters of that instrument advance), or the stem's own bytes when no rule matches.
    std::string suggestName (std::vector<RenameRule>& rules, const std::string& path);

    // The characters a file name never gets from a typed name, and that would break a history line:
    // C0 controls, DEL, C1 controls and the Unicode line and paragraph separators.
    bool isControlCharacter (juce::juce_wchar c) noexcept;

    // text with every control character replaced by replacement ("" drops them). Linear in the
    // length of text; text without control characters comes back as it is.
    juce::String replacingControlCharacters (const juce::String& text, const juce::String& replacement);

    // The same on bytes, in one pass: bytes that are not UTF-8 stay as they are.
    std::string replacingControlCharacters (const std::string& bytes, const char* replacement);

    // True when the name, decoded as fromUTF8 does, is empty or white space only.
    bool isBlank (const std::string& utf8);

    // "name → newName" (U+2192 with a space on each side), as the status texts show a renaming.
    juce::String describeRenaming (const std::string& fileName, const juce::String& newName);
}
