#include "look/FallbackTypeface.h"

#include <fontconfig/fontconfig.h>

namespace
{
struct Glyph
{
    juce::Path path;
    float width = 0.0f;
};

// One character's outline and advance as the face draws it, in units of the font height.
Glyph glyphOf (juce::Typeface& face, juce::juce_wchar character)
{
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    face.getGlyphPositions (juce::String::charToString (character), glyphs, offsets);

    Glyph glyph;
    if (glyphs.size() == 1 && offsets.size() == 2)
    {
        glyph.width = offsets[1];
        face.getOutlineForGlyph (glyphs[0], glyph.path);
    }
    return glyph;
}

float capHeight (juce::Typeface& face)
{
    return glyphOf (face, 'H').path.getBounds().getHeight();
}
} // namespace

struct FallbackTypeface::InstalledFace
{
    ~InstalledFace() { FcCharSetDestroy (characters); }

    FcCharSet* characters;
    juce::Typeface::Ptr typeface; // null when the file could not be read
    float scale = 1.0f;
};

FallbackTypeface::FallbackTypeface (const void* fontData, size_t fontDataSize)
    : embedded (juce::Typeface::createSystemTypefaceFor (fontData, fontDataSize))
{
    setCharacteristics (embedded->getName(), embedded->getStyle(), embedded->getAscent(), L' ');
    embeddedCapHeight = capHeight (*embedded);
}

FallbackTypeface::~FallbackTypeface() = default;

bool FallbackTypeface::loadGlyphIfPossible (juce::juce_wchar character)
{
    // The embedded face answers a character it lacks with its empty .notdef glyph.
    auto glyph = glyphOf (*embedded, character);

    if (glyph.path.isEmpty() && ! juce::CharacterFunctions::isWhitespace (character))
        if (auto* face = installedFaceFor (character))
            if (auto other = glyphOf (*face->typeface, character); ! other.path.isEmpty())
            {
                other.path.applyTransform (juce::AffineTransform::scale (face->scale));
                glyph = { other.path, other.width * face->scale };
            }

    // A character no face has keeps the embedded blank, and is not looked up again.
    addGlyph (character, glyph.path, glyph.width);
    return true;
}

FallbackTypeface::InstalledFace* FallbackTypeface::installedFaceFor (juce::juce_wchar character)
{
    const auto c = (FcChar32) character;

    for (auto& face : installed)
        if (FcCharSetHasChar (face->characters, c))
            return face->typeface != nullptr ? face.get() : nullptr;

    auto* wanted = FcCharSetCreate();
    FcCharSetAddChar (wanted, c);
    auto* pattern = FcPatternCreate();
    FcPatternAddCharSet (pattern, FC_CHARSET, wanted);
    FcPatternAddString (pattern, FC_FAMILY, (const FcChar8*) "sans-serif");
    FcPatternAddBool (pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute (nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute (pattern);

    FcResult result;
    auto* match = FcFontMatch (nullptr, pattern, &result);
    FcPatternDestroy (pattern);
    FcCharSetDestroy (wanted);

    FcChar8* file = nullptr;
    FcCharSet* characters = nullptr;
    InstalledFace* found = nullptr;

    // The best match may still lack the character when no installed face has it.
    if (match != nullptr
        && FcPatternGetString (match, FC_FILE, 0, &file) == FcResultMatch
        && FcPatternGetCharSet (match, FC_CHARSET, 0, &characters) == FcResultMatch
        && FcCharSetHasChar (characters, c))
    {
        auto face = std::make_unique<InstalledFace>();
        face->characters = FcCharSetCopy (characters);

        // The framework finds no face inside a collection (.ttc) by name, so the file is read
        // whole; a collection gives its first face, which covers what its siblings do.
        juce::MemoryBlock data;
        if (juce::File (juce::String::fromUTF8 ((const char*) file)).loadFileAsData (data) && ! data.isEmpty())
        {
            face->typeface = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
            const auto theirCapHeight = FcCharSetHasChar (characters, 'H') ? capHeight (*face->typeface) : 0.0f;
            if (theirCapHeight > 0.0f && embeddedCapHeight > 0.0f)
                face->scale = embeddedCapHeight / theirCapHeight;
        }

        installed.push_back (std::move (face));
        found = installed.back()->typeface != nullptr ? installed.back().get() : nullptr;
    }

    if (match != nullptr)
        FcPatternDestroy (match);

    return found;
}
