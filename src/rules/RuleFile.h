#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Rule text: the Instrument record, the built-in rule table, and reading, checking and writing rule
// files. No UI here: the rules page and the rename page both use it. Plain functions without state;
// any thread may call them, the pages call them on the message thread.

// One instrument category and its detection terms, in the order of its line.
struct Instrument final
{
    juce::String name;
    std::vector<juce::String> termes;   // may be empty; may hold empty strings
};

namespace RuleFile
{
    // The embedded built-in table, exactly as compiled in (8224 bytes, CRLF between lines).
    const char* getDefaultRulesData() noexcept;
    int getDefaultRulesSize() noexcept;
    // The built-in table decoded as text.
    juce::String getDefaultRulesText();

    // Reads rule text into instruments, in line order. Lines end at CR LF, LF or a lone CR; blank
    // lines, comments ("#" first) and the first remaining line (the header) are skipped. A data line
    // is "name;terms" (fields past the second ignored), the terms split at every ",", each trimmed,
    // empty ones kept. Never fails: lines without a ";" are dropped silently.
    std::vector<Instrument> read (const juce::String& text);

    // The built-in table as instruments (58 of them).
    std::vector<Instrument> readDefaultRules();

    // Rule files past this size are not read: the page loads and shows a file within it, of any
    // shape, within 100 ms of the click, and a file of gigabytes is never read whole into memory.
    // Every realistic table fits: the built-in one takes 8 KB, 5,000 instruments like it 700 KB.
    constexpr juce::int64 kMaxFileBytes = (juce::int64) 1 << 20;

    // The longest name or term, in characters, that a rule file may hold and a row may be given:
    // the text editors draw a line of text whole, and one of a million characters crashes the
    // renderer. A file name holds at most 255 bytes, so no longer term can ever match and no longer
    // name can ever be used; a file that holds one is refused as one past kMaxFileBytes is.
    constexpr int kMaxFieldChars = 1024;

    // Reads a rule file as text: UTF-8 (a UTF-8 byte-order mark skipped) or UTF-16 with its mark.
    // Only a regular file of at most kMaxFileBytes is read; anything else reads as the empty text.
    juce::String readFileText (const juce::File& file);

    // The outcome of checking a rule file: accepted, or the status text of the first failure.
    struct CheckResult final
    {
        bool accepted = false;
        juce::String message;   // empty when accepted
        std::vector<Instrument> instruments;   // the table the file holds, when accepted: what to load
    };

    // Checks a rule file line by line before it is loaded; failures name the file line (1-based,
    // counting blank, comment and header lines). A folder, device or pipe cannot be read; a file past
    // kMaxFileBytes, one holding a zero byte, or one with a name or term past kMaxFieldChars cannot
    // be read either, and the text says which.
    CheckResult check (const juce::File& file);

    // True when every code point of text is below 128 (also for the empty text).
    bool isValidASCII (const juce::String& text) noexcept;

    // The text the writer puts in a file: UTF-8, LF line ends, header "Instrument;Termes", one line
    // per instrument with its terms joined by ",", untrimmed and unescaped.
    juce::String toText (const std::vector<Instrument>& instruments);

    // The bytes that SAVE RULES writes for instruments, when they pass the check and load back as
    // these very instruments. Otherwise no bytes, and the status text ("Error: Rules not saved - " and
    // why) names the first instrument that would not come back: a ";" in a name or term, a "," in a
    // term, a name that is empty or begins with "#", a line break, non-ASCII text, a space at either
    // end, a lone empty term; or the bytes are past kMaxFileBytes.
    struct SaveText final
    {
        juce::String refusal;   // empty when the table can be saved
        juce::MemoryBlock bytes;
    };
    SaveText prepareSave (const std::vector<Instrument>& instruments);

    // Writes the instruments as the whole content of target (see SafeFileWriter: links, mode and
    // hard links are kept). Returns false, and leaves the file as it was, when it cannot be written.
    bool write (const std::vector<Instrument>& instruments, const juce::File& target);
}
