#include "rules/RuleFile.h"

#include "BinaryData.h"

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

juce::String readFileText (const juce::File& file)
{
    juce::FileInputStream stream (file);
    return stream.openedOk() && stream.getTotalLength() <= kMaxFileBytes ? stream.readEntireStreamAsString()
                                                                         : juce::String();
}

CheckResult check (const juce::File& file)
{
    const auto failure = [] (const juce::String& message) { return CheckResult { false, message }; };

    // A folder is no rule file: treat it like a missing file rather than as an unreadable one.
    if (! file.existsAsFile())
        return failure ("Error: CSV file does not exist");

    juce::FileInputStream stream (file);

    if (stream.failedToOpen() || stream.getTotalLength() > kMaxFileBytes)
        return failure ("Error: Could not read CSV file");

    const auto lines = splitLines (stream.readEntireStreamAsString());

    if (lines.isEmpty())
        return failure ("Error: CSV file is empty");

    CheckResult result { true, {} };

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
    if (target.isDirectory() || (target.exists() && ! target.hasWriteAccess()))
        return false;

    const auto text = toText (instruments);
    const auto writeAll = [&text] (juce::FileOutputStream& stream)
    {
        if (stream.failedToOpen() || ! stream.setPosition (0) || stream.truncate().failed())
            return false;

        const auto written = stream.writeText (text, false, false, nullptr);
        stream.flush();
        return written && stream.getStatus().wasOk();
    };

    // Written beside the target and moved over it only once complete, so that a failed save
    // (full disk, vanished folder) leaves the former file whole instead of truncated.
    juce::TemporaryFile temporary (target);
    bool temporaryOpened = false;

    {
        juce::FileOutputStream stream (temporary.getFile(), 16384);
        temporaryOpened = stream.openedOk();

        if (temporaryOpened && ! writeAll (stream))
            return false;
    }

    if (temporaryOpened)
        return temporary.overwriteTargetFileWithTemporary();

    // A folder that takes no new file may still hold a writable target: replace its content in place.
    if (! target.existsAsFile())
        return false;

    juce::FileOutputStream stream (target, 16384);
    return writeAll (stream);
}
}
