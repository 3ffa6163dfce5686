#include "rename/NameSuggestion.h"

#include <algorithm>
#include <cstring>

namespace NameSuggestion
{
const char* const kMatchCharacters = "abcdefghijklmnopqrstuvwxyz0123456789";

namespace
{
    constexpr int kCharacterBits = 36;
    constexpr int kPairBits = 64 - kCharacterBits;

    // Index of c in kMatchCharacters, or -1.
    int characterIndex (char c) noexcept
    {
        if (c >= 'a' && c <= 'z')
            return c - 'a';

        if (c >= '0' && c <= '9')
            return 26 + c - '0';

        return -1;
    }
}

uint64_t matchSignature (const std::string& text) noexcept
{
    uint64_t signature = 0;
    int previous = -1;

    for (auto c : text)
    {
        const auto index = characterIndex (c);

        if (index >= 0)
            signature |= uint64_t { 1 } << index;

        if (index >= 0 && previous >= 0)
            signature |= uint64_t { 1 } << (kCharacterBits + (previous * kCharacterBits + index) % kPairBits);

        previous = index;
    }

    return signature;
}

juce::String fromUTF8 (const std::string& text)
{
    using Utf8 = juce::CharPointer_UTF8;

    if (Utf8::isValidString (text.c_str(), (int) text.size()))
        return juce::String (Utf8 (text.c_str()));

    // JUCE garbles invalid UTF-8 (and lower-casing such a string loses characters): each byte that
    // starts no valid sequence becomes U+FFFD, so that the valid rest keeps its meaning. The bytes
    // are gathered first: a juce::String grown a character at a time is copied at every step.
    std::string decoded;
    decoded.reserve (text.size() + text.size() / 2);
    size_t i = 0;

    while (i < text.size())
    {
        const auto lead = (unsigned char) text[i];
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;

        if (length != 0 && i + length <= text.size() && Utf8::isValidString (text.data() + i, (int) length))
        {
            decoded.append (text, i, length);
            i += length;
        }
        else
        {
            decoded += "\xef\xbf\xbd";
            ++i;
        }
    }

    return juce::String (Utf8 (decoded.c_str()));
}

size_t utf8SequenceAt (const std::string& text, size_t index, juce::juce_wchar& c) noexcept
{
    using Utf8 = juce::CharPointer_UTF8;

    const auto lead = (unsigned char) text[index];
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;

    if (length == 0 || index + length > text.size() || ! Utf8::isValidString (text.data() + index, (int) length))
        return 0;

    c = *Utf8 (text.data() + index);
    return length;
}

std::string extractFileName (const std::string& path)
{
   #if JUCE_WINDOWS
    const auto separator = path.find_last_of ("/\\");
   #else
    // Here a backslash is a letter like any other: a file may be named "Kick\\Snare.wav" (a C string).
    const auto separator = path.find_last_of ('/');
   #endif
    return separator == std::string::npos ? path : path.substr (separator + 1);
}

bool endsWithExtension (const std::string& path, const char* extension) noexcept
{
    const auto length = std::strlen (extension);
    if (path.size() < length)
        return false;

    const auto* tail = path.data() + path.size() - length;

    for (size_t i = 0; i < length; ++i)
    {
        auto c = tail[i];

        if (c >= 'A' && c <= 'Z')
            c = (char) (c - 'A' + 'a');

        if (c != extension[i])
            return false;
    }

    return true;
}

bool isAudioFile (const std::string& path) noexcept
{
    return endsWithExtension (path, ".wav") || endsWithExtension (path, ".mp3") || endsWithExtension (path, ".aif")
        || endsWithExtension (path, ".ogg") || endsWithExtension (path, ".aiff") || endsWithExtension (path, ".flac");
}

juce::String stemOf (const std::string& path)
{
    const auto fileName = extractFileName (path);
    const auto dot = fileName.rfind ('.');
    return fromUTF8 (dot == std::string::npos ? fileName : fileName.substr (0, dot));
}

std::string matchKeyOf (const juce::String& stem)
{
    return stem.toLowerCase().retainCharacters (kMatchCharacters).toStdString();
}

int findFirstMatch (const std::vector<RenameRule>& rules, const std::string& key) noexcept
{
    const auto keySignature = matchSignature (key);

    for (size_t i = 0; i < rules.size(); ++i)
    {
        const auto& rule = rules[i];

        // Nearly every term holds a character or a pair the key lacks; that test costs one AND.
        if ((rule.matchSignature & ~keySignature) != 0
             || rule.matchTerm.empty()
             || rule.matchTerm.size() > key.size())
            continue;

        if (key.find (rule.matchTerm) != std::string::npos)
            return (int) i;
    }

    return -1;
}

std::string suggestName (std::vector<RenameRule>& rules, const std::string& path)
{
    const auto match = findFirstMatch (rules, matchKeyOf (stemOf (path)));

    // Unmatched, the file keeps its own name: its bytes, whatever they are.
    if (match < 0)
    {
        const auto fileName = extractFileName (path);
        return fileName.substr (0, std::min (fileName.size(), fileName.rfind ('.')));
    }

    const auto instrumentIndex = rules[(size_t) match].instrumentIndex;
    int number = 1;

    for (const auto& rule : rules)
        if (rule.instrumentIndex == instrumentIndex)
            number = std::max (number, rule.counter);

    // All rules of the instrument advance together, so any of them gives the next number.
    for (auto& rule : rules)
        if (rule.instrumentIndex == instrumentIndex)
            rule.counter = number + 1;

    return (rules[(size_t) match].instrument + juce::String (number)).toStdString();
}

bool isControlCharacter (juce::juce_wchar c) noexcept
{
    const auto code = (uint32_t) c;
    return code < 0x20 || (code >= 0x7f && code <= 0x9f) || code == 0x2028 || code == 0x2029;
}

juce::String replacingControlCharacters (const juce::String& text, const juce::String& replacement)
{
    // Kept characters are copied in runs into one buffer, so a pasted name of any length costs one pass.
    const auto* const start = text.toRawUTF8();
    const auto* const with = replacement.toRawUTF8();
    std::string result;
    auto runStart = start;
    bool replaced = false;

    for (juce::CharPointer_UTF8 p (start); ! p.isEmpty();)
    {
        const auto* const here = p.getAddress();

        if (isControlCharacter (p.getAndAdvance()))
        {
            result.append (runStart, here).append (with);
            runStart = p.getAddress();
            replaced = true;
        }
    }

    if (! replaced)
        return text;

    result.append (runStart);
    return juce::String (juce::CharPointer_UTF8 (result.c_str()));
}

bool isBlank (const std::string& utf8)
{
    for (const auto c : utf8)
    {
        if ((unsigned char) c >= 0x80)
            return fromUTF8 (utf8).trim().isEmpty();

        if (c != ' ' && (c < '\t' || c > '\r'))
            return false;
    }

    return true;
}

std::string replacingControlCharacters (const std::string& bytes, const char* replacement)
{
    std::string result;
    result.reserve (bytes.size());
    for (size_t i = 0; i < bytes.size();)
    {
        juce::juce_wchar c = 0;
        const auto length = utf8SequenceAt (bytes, i, c);
        if (length > 0 && isControlCharacter (c))
            result += replacement;
        else
            result.append (bytes, i, std::max (length, (size_t) 1));
        i += std::max (length, (size_t) 1);
    }
    return result;
}

juce::String describeRenaming (const std::string& fileName, const juce::String& newName)
{
    return fromUTF8 (fileName) + " " + juce::String::charToString ((juce::juce_wchar) 0x2192) + " " + newName;
}
}
