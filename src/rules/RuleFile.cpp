#include "rules/RuleFile.h"

#include "rules/SafeFileWriter.h"

#include "BinaryData.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <vector>

namespace RuleFile
{
namespace
{
    const char* const kHeader = "Instrument;Termes";

    // Rule text is scanned as UTF-8 bytes in place: a table of megabytes is read without a string
    // per line or per field. Only names and terms become strings.
    struct Span final
    {
        const char* begin;
        const char* end;

        explicit Span (const juce::String& text) : begin (text.toRawUTF8()), end (begin + text.getNumBytesAsUTF8()) {}
        Span (const char* b, const char* e) : begin (b), end (e) {}

        bool isEmpty() const noexcept   { return begin == end; }
        const char* find (char c) const noexcept
        {
            const auto* found = static_cast<const char*> (std::memchr (begin, c, (size_t) (end - begin)));
            return found != nullptr ? found : end;
        }
        juce::String toString() const   { return juce::String::fromUTF8 (begin, (int) (end - begin)); }
    };

    bool isAsciiSpace (char c) noexcept { return c == ' ' || (c >= 9 && c <= 13); }

    // The span without the whitespace that juce::String::trim removes. Where the text reaches a
    // character past ASCII, that character may be whitespace too: trimmedNeedsString says so.
    Span trimAscii (Span s, bool& trimmedNeedsString) noexcept
    {
        while (s.begin < s.end && isAsciiSpace (*s.begin))   ++s.begin;
        while (s.end > s.begin && isAsciiSpace (s.end[-1]))  --s.end;
        trimmedNeedsString = s.begin < s.end && ((unsigned char) *s.begin >= 128 || (unsigned char) s.end[-1] >= 128);
        return s;
    }

    juce::String trimmed (Span s)
    {
        bool needsString = false;
        s = trimAscii (s, needsString);
        return needsString ? s.toString().trim() : s.toString();
    }

    bool isBlank (Span line)
    {
        bool needsString = false;
        line = trimAscii (line, needsString);
        return line.isEmpty() || (needsString && line.toString().trim().isEmpty());
    }

    bool isComment (Span line) noexcept { return ! line.isEmpty() && *line.begin == '#'; }

    // Calls handleDataLine (lineNumber, line) for every data line, numbered by its place among all
    // lines; a line ends at CR LF, LF or a lone CR, and a text that ends with one has a last, empty
    // line, as juce::StringArray::fromLines splits them.
    template <typename Handler>
    void forEachDataLineOf (Span text, Handler&& handleDataLine)
    {
        bool expectingHeader = true;
        int lineNumber = 0;

        for (auto* p = text.begin; p != nullptr;)
        {
            auto* lineEnd = p;
            while (lineEnd < text.end && *lineEnd != '\n' && *lineEnd != '\r')
                ++lineEnd;

            const Span line (p, lineEnd);
            ++lineNumber;

            if (lineEnd == text.end)
                p = nullptr;
            else
                p = lineEnd + ((*lineEnd == '\r' && lineEnd + 1 < text.end && lineEnd[1] == '\n') ? 2 : 1);

            if (text.isEmpty() || isBlank (line) || isComment (line))
                continue;

            // The first surviving line is the header, whatever it holds.
            if (expectingHeader)
            {
                expectingHeader = false;
                continue;
            }

            if (! handleDataLine (lineNumber, line))
                return;
        }
    }

    // The first two ";" fields of a line, or false when it has no ";".
    bool splitFields (Span line, Span& name, Span& termsText) noexcept
    {
        const auto* semicolon = line.find (';');

        if (semicolon == line.end)
            return false;

        name = { line.begin, semicolon };
        termsText = { semicolon + 1, Span (semicolon + 1, line.end).find (';') };
        return true;
    }

    // Every "," splits a trimmed terms text, each term trimmed and empty ones kept; an empty text
    // gives no terms.
    void appendSplitTerms (Span termsText, std::vector<juce::String>& terms)
    {
        if (! termsText.isEmpty())
            terms.reserve (terms.size() + 1 + (size_t) std::count (termsText.begin, termsText.end, ','));

        for (auto* p = termsText.begin; p < termsText.end;)
        {
            const auto* comma = Span (p, termsText.end).find (',');
            terms.push_back (trimmed ({ p, comma }));

            if (comma == termsText.end)
                break;

            p = comma + 1;

            if (p == termsText.end)
                terms.emplace_back();   // a comma at the end leaves an empty last term
        }
    }

    void appendTerms (Span termsText, std::vector<juce::String>& terms)
    {
        bool needsString = false;
        termsText = trimAscii (termsText, needsString);

        if (needsString)
        {
            const auto whole = termsText.toString().trim();
            appendSplitTerms (Span (whole), terms);
        }
        else
        {
            appendSplitTerms (termsText, terms);
        }
    }

    bool isValidASCII (Span s) noexcept
    {
        for (auto* p = s.begin; p < s.end; ++p)
            if ((unsigned char) *p >= 128)
                return false;

        return true;
    }

    // The instrument of a data line, or false when it is no data line for the reader.
    bool readDataLine (Span line, std::vector<Instrument>& instruments)
    {
        Span name { nullptr, nullptr }, termsText { nullptr, nullptr };

        if (! splitFields (line, name, termsText))
            return false;

        Instrument instrument { trimmed (name), {} };
        appendTerms (termsText, instrument.termes);
        instruments.push_back (std::move (instrument));
        return true;
    }
}

const char* getDefaultRulesData() noexcept  { return BinaryData::default_rules_csv; }
int getDefaultRulesSize() noexcept          { return BinaryData::default_rules_csvSize; }

juce::String getDefaultRulesText()
{
    return juce::String::createStringFromData (getDefaultRulesData(), getDefaultRulesSize());
}

std::vector<Instrument> read (const juce::String& text)
{
    std::vector<Instrument> instruments;
    forEachDataLineOf (Span (text), [&instruments] (int, Span line) { readDataLine (line, instruments); return true; });
    return instruments;
}

std::vector<Instrument> readDefaultRules()
{
    return read (getDefaultRulesText());
}

namespace
{
    const char* const kCouldNotRead = "Error: Could not read CSV file";

    // Rule bytes decoded as juce::String::createStringFromData decodes them (a UTF-8 mark skipped,
    // UTF-16 after its mark). It reads one byte past a UTF-8 mark that nothing follows: such bytes
    // are the empty text here.
    juce::String decode (const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*> (data);

        if (size == 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
            return {};

        return juce::String::createStringFromData (data, (int) size);
    }

    // A rule file's text, or why it is not read: it is no regular file (a pipe would block, a
    // device never ends), cannot be opened, is past kMaxFileBytes or holds a zero byte.
    struct FileText final
    {
        std::optional<juce::String> text;
        juce::String whyNot;   // what the check's text adds to kCouldNotRead
    };

    FileText readRuleText (const juce::File& file)
    {
        const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);

        if (fd < 0)
            return {};

        struct stat info {};
        juce::MemoryBlock bytes;
        std::vector<char> buffer (65536);
        const bool regular = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode);
        bool tooBig = regular && info.st_size > kMaxFileBytes;
        bool complete = regular && ! tooBig;

        // Up to one byte past the bound, in case the file grew since it was measured.
        while (complete)
        {
            const auto got = ::read (fd, buffer.data(), buffer.size());

            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
            {
                complete = (got == 0);
                break;
            }

            bytes.append (buffer.data(), (size_t) got);
            tooBig = (juce::int64) bytes.getSize() > kMaxFileBytes;
            complete = ! tooBig;
        }

        ::close (fd);

        if (tooBig)
            return { std::nullopt, " - Over 1 MB" };
        if (! complete)
            return {};

        // A zero byte is no text: UTF-16 without its byte-order mark would decode as a line or two of
        // nothing and load as an empty table, reported as a success.
        const auto* data = static_cast<const unsigned char*> (bytes.getData());
        const bool utf16 = bytes.getSize() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
        if (! utf16 && bytes.getSize() > 0 && std::memchr (data, 0, bytes.getSize()) != nullptr)
            return { std::nullopt, " - Holds a zero byte" };

        // As juce::InputStream::readEntireStreamAsString decodes it, without copying the bytes again.
        return { decode (bytes.getData(), bytes.getSize()), {} };
    }

    // Checks rule text line by line; every instrument that passes goes to take (Instrument&&), which
    // stops the walk by returning false. The text of the first failure, or empty.
    template <typename Take>
    juce::String checkText (const juce::String& text, Take&& take)
    {
        if (text.isEmpty())
            return "Error: CSV file is empty";

        juce::String failure;

        // The lines that pass are read as they are checked: the text is walked once.
        forEachDataLineOf (Span (text), [&failure, &take] (int lineNumber, Span line)
        {
            const auto number = [lineNumber] { return juce::String (lineNumber); };
            Span name { nullptr, nullptr }, termsText { nullptr, nullptr };

            if (! splitFields (line, name, termsText))
                failure = "Error: Invalid CSV format - Expected semicolon separator on line " + number();
            else if (termsText.end != line.end)
                failure = "Error: Invalid CSV format - Expected 2 columns on line " + number();

            if (failure.isNotEmpty())
                return false;

            Instrument instrument { trimmed (name), {} };

            if (instrument.name.isEmpty())
                failure = "Error: Empty instrument name found on line " + number();
            else if (! RuleFile::isValidASCII (instrument.name) || ! (isValidASCII (termsText) || RuleFile::isValidASCII (trimmed (termsText))))
                failure = "Error: Non-ASCII characters detected on line " + number();

            if (failure.isNotEmpty())
                return false;

            appendTerms (termsText, instrument.termes);
            const auto tooLong = [] (const juce::String& field) { return field.getNumBytesAsUTF8() > (size_t) kMaxFieldChars; };

            if (tooLong (instrument.name) || std::any_of (instrument.termes.begin(), instrument.termes.end(), tooLong))
            {
                failure = kCouldNotRead + juce::String (" - Name or term over ") + juce::String (kMaxFieldChars) + " characters on line " + number();
                return false;
            }

            return take (std::move (instrument));
        });

        return failure;
    }
}

juce::String readFileText (const juce::File& file)
{
    return readRuleText (file).text.value_or (juce::String());
}

CheckResult check (const juce::File& file)
{
    if (! file.exists())
        return { false, "Error: CSV file does not exist", {} };

    // A folder exists but is no file to read.
    const auto read = readRuleText (file);

    if (! read.text.has_value())
        return { false, kCouldNotRead + read.whyNot, {} };

    CheckResult result { true, {}, {} };
    const auto& text = *read.text;
    result.instruments.reserve ((size_t) std::count (text.toRawUTF8(), text.toRawUTF8() + text.getNumBytesAsUTF8(), '\n'));
    result.message = checkText (text, [&result] (Instrument&& instrument) { result.instruments.push_back (std::move (instrument)); return true; });

    if (result.message.isNotEmpty())
        return { false, result.message, {} };

    return result;
}

bool isValidASCII (const juce::String& text) noexcept
{
    // The text is held as UTF-8: a code point of 128 or more is exactly a byte of 128 or more.
    for (auto* p = text.toRawUTF8(); *p != 0; ++p)
        if ((unsigned char) *p >= 128)
            return false;

    return true;
}

namespace
{
    // A stream grows its buffer geometrically; a string grows by each piece appended, which made
    // saving a large table quadratic.
    void writeTable (const std::vector<Instrument>& instruments, juce::MemoryOutputStream& out)
    {
        out << kHeader << "\n";

        for (const auto& instrument : instruments)
        {
            out << instrument.name << ";";

            for (size_t i = 0; i < instrument.termes.size(); ++i)
                out << (i == 0 ? "" : ",") << instrument.termes[i];

            out << "\n";
        }
    }
}

juce::String toText (const std::vector<Instrument>& instruments)
{
    juce::MemoryOutputStream out;
    writeTable (instruments, out);
    return out.toUTF8();
}

namespace
{
    juce::String quoted (const juce::String& text)
    {
        // A status line has room for a few words, not for a whole field.
        return "\"" + (text.length() > 40 ? text.substring (0, 40) + "..." : text) + "\"";
    }

    // Why the line written for instrument (at 0-based index) would not read back as it: the first
    // rule of the reader or the check that it falls foul of, or the empty text.
    juce::String whyNotReadBack (const Instrument& instrument, size_t index)
    {
        const auto& name = instrument.name;

        if (name.trim().isEmpty())
            return "Instrument " + juce::String ((juce::int64) index + 1) + " has no name";

        const auto problem = [] (const juce::String& field, bool isTerm) -> juce::String
        {
            if (field.containsAnyOf ("\r\n"))
                return "Line break in ";
            if (field.containsChar (';'))
                return "\";\" in ";
            if (isTerm && field.containsChar (','))
                return "\",\" in ";
            if (! isTerm && field.startsWithChar ('#'))
                return "\"#\" at the start of ";   // the line would be a comment
            if (! RuleFile::isValidASCII (field))
                return "Non-ASCII characters in ";
            if (field != field.trim())
                return "Space at the start or end of ";
            return {};
        };

        if (const auto why = problem (name, false); why.isNotEmpty())
            return why + "instrument name " + quoted (name);

        for (const auto& term : instrument.termes)
            if (const auto why = problem (term, true); why.isNotEmpty())
                return why + "term " + quoted (term) + " of instrument " + quoted (name);

        // "Name;" reads back as no terms at all.
        if (instrument.termes.size() == 1 && instrument.termes[0].isEmpty())
            return "The only term of instrument " + quoted (name) + " is empty";

        return {};
    }
}

SaveText prepareSave (const std::vector<Instrument>& instruments)
{
    const juce::String refused ("Error: Rules not saved - ");
    juce::MemoryOutputStream out (16384);
    writeTable (instruments, out);

    if ((juce::int64) out.getDataSize() > kMaxFileBytes)
        return { refused + "Over 1 MB", {} };

    // The bytes go through the very check that LOAD RULES runs, and what it reads is compared with
    // the table as it comes; the reasons are looked for only when they differ.
    size_t count = 0;
    bool differs = false;
    const auto failure = checkText (decode (out.getData(), out.getDataSize()), [&instruments, &count, &differs] (Instrument&& back)
    {
        differs = count == instruments.size() || back.name != instruments[count].name || back.termes != instruments[count].termes;
        ++count;
        return ! differs;
    });

    if (failure.isEmpty() && ! differs && count == instruments.size())
        return { {}, out.getMemoryBlock() };

    for (size_t i = 0; i < instruments.size(); ++i)
        if (const auto why = whyNotReadBack (instruments[i], i); why.isNotEmpty())
            return { refused + why, {} };

    return { refused + "The file would not load back as this table", {} };
}

bool write (const std::vector<Instrument>& instruments, const juce::File& target)
{
    juce::MemoryOutputStream out (16384);
    writeTable (instruments, out);
    return SafeFileWriter::write (target, out.getData(), out.getDataSize());
}
}
