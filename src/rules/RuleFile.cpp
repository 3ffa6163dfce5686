#include "rules/RuleFile.h"

#include "rules/SafeFileWriter.h"

#include "BinaryData.h"

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

    bool isBlank (const juce::String& line)     { return line.trim().isEmpty(); }
    bool isComment (const juce::String& line)   { return line[0] == '#'; }

    juce::StringArray splitFields (const juce::String& text, const char* separator)
    {
        // Every separator splits; no quoting, empty fields kept.
        return juce::StringArray::fromTokens (text, separator, "");
    }
}

const char* getDefaultRulesData() noexcept  { return BinaryData::default_rules_csv; }
int getDefaultRulesSize() noexcept          { return BinaryData::default_rules_csvSize; }

juce::String getDefaultRulesText()
{
    return juce::String::createStringFromData (getDefaultRulesData(), getDefaultRulesSize());
}

juce::StringArray splitLines (const juce::String& text)
{
    return juce::StringArray::fromLines (text);
}

void forEachDataLine (const juce::StringArray& lines,
                      const std::function<bool (int lineNumber, const juce::String& line)>& handleDataLine)
{
    bool expectingHeader = true;

    for (int i = 0; i < lines.size(); ++i)
    {
        const auto& line = lines.getReference (i);

        if (isBlank (line) || isComment (line))
            continue;

        // The first surviving line is the header, whatever it holds.
        if (expectingHeader)
        {
            expectingHeader = false;
            continue;
        }

        if (! handleDataLine (i + 1, line))
            return;
    }
}

bool splitDataLine (const juce::String& line, juce::String& name, juce::String& termsText)
{
    const auto fields = splitFields (line, ";");

    if (fields.size() < 2)
        return false;

    name = fields[0].trim();
    termsText = fields[1].trim();
    return true;
}

std::vector<juce::String> splitTerms (const juce::String& termsText)
{
    std::vector<juce::String> terms;

    for (const auto& term : splitFields (termsText, ","))
        terms.push_back (term.trim());

    return terms;
}

std::vector<Instrument> read (const juce::String& text)
{
    std::vector<Instrument> instruments;

    forEachDataLine (splitLines (text), [&instruments] (int, const juce::String& line)
    {
        Instrument instrument;
        juce::String termsText;

        if (splitDataLine (line, instrument.name, termsText))
        {
            instrument.termes = splitTerms (termsText);
            instruments.push_back (std::move (instrument));
        }

        return true;
    });

    return instruments;
}

std::vector<Instrument> readDefaultRules()
{
    return read (getDefaultRulesText());
}

namespace
{
    // The file's text, or nothing when it is no regular file (a pipe would block, a device never
    // ends), cannot be opened, or is past kMaxFileBytes.
    std::optional<juce::String> readRuleText (const juce::File& file)
    {
        const int fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);

        if (fd < 0)
            return std::nullopt;

        struct stat info {};
        juce::MemoryBlock bytes;
        std::vector<char> buffer (65536);
        bool complete = ::fstat (fd, &info) == 0 && S_ISREG (info.st_mode) && info.st_size <= kMaxFileBytes;

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
            complete = (juce::int64) bytes.getSize() <= kMaxFileBytes;
        }

        ::close (fd);

        if (! complete)
            return std::nullopt;

        // A zero byte is no text: UTF-16 without its byte-order mark would decode as a line or two of
        // nothing and load as an empty table, reported as a success.
        const auto* data = static_cast<const unsigned char*> (bytes.getData());
        const bool utf16 = bytes.getSize() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF));
        if (! utf16 && bytes.getSize() > 0 && std::memchr (data, 0, bytes.getSize()) != nullptr)
            return std::nullopt;

        juce::MemoryInputStream stream (bytes, false);
        return stream.readEntireStreamAsString();
    }
}

juce::String readFileText (const juce::File& file)
{
    return readRuleText (file).value_or (juce::String());
}

CheckResult check (const juce::File& file)
{
    const auto failure = [] (const juce::String& message) { return CheckResult { false, message, {} }; };

    if (! file.exists())
        return failure ("Error: CSV file does not exist");

    // A folder exists but is no file to read.
    const auto text = readRuleText (file);

    if (! text.has_value())
        return failure ("Error: Could not read CSV file");

    const auto lines = splitLines (*text);

    if (lines.isEmpty())
        return failure ("Error: CSV file is empty");

    CheckResult result { true, {}, {} };

    forEachDataLine (lines, [&result, &failure] (int lineNumber, const juce::String& line)
    {
        const auto number = juce::String (lineNumber);

        if (! line.containsChar (';'))
            result = failure ("Error: Invalid CSV format - Expected semicolon separator on line " + number);
        else if (splitFields (line, ";").size() != 2)
            result = failure ("Error: Invalid CSV format - Expected 2 columns on line " + number);
        else
        {
            juce::String name, termsText;
            splitDataLine (line, name, termsText);

            if (name.isEmpty())
                result = failure ("Error: Empty instrument name found on line " + number);
            else if (! isValidASCII (name) || ! isValidASCII (termsText))
                result = failure ("Error: Non-ASCII characters detected on line " + number);
        }

        return result.accepted;
    });

    if (result.accepted)
        result.text = *text;
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

juce::String toText (const std::vector<Instrument>& instruments)
{
    juce::String text;
    text.preallocateBytes (16384);
    text << kHeader << "\n";

    for (const auto& instrument : instruments)
    {
        text << instrument.name << ";";

        for (size_t i = 0; i < instrument.termes.size(); ++i)
            text << (i == 0 ? "" : ",") << instrument.termes[i];

        text << "\n";
    }

    return text;
}

bool write (const std::vector<Instrument>& instruments, const juce::File& target)
{
    const auto text = toText (instruments);
    return SafeFileWriter::write (target, text.toRawUTF8(), text.getNumBytesAsUTF8());
}
}
