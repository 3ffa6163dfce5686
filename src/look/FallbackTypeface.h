#pragma once

#include <juce_graphics/juce_graphics.h>

#include <memory>
#include <vector>

// The embedded interface typeface, completed from the faces installed on the system. A character the
// embedded face has (a non-empty outline, or white space) is drawn exactly as that face draws it; any
// other comes from the installed face that fontconfig picks for it, scaled to the embedded capitals and
// on the same baseline. Each glyph is looked up once, on first use. Message thread only.
class FallbackTypeface final : public juce::CustomTypeface
{
public:
    FallbackTypeface (const void* fontData, size_t fontDataSize);
    ~FallbackTypeface() override;

protected:
    bool loadGlyphIfPossible (juce::juce_wchar character) override;

private:
    struct InstalledFace;
    InstalledFace* installedFaceFor (juce::juce_wchar character);

    juce::Typeface::Ptr embedded;
    float embeddedCapHeight = 0.0f;
    std::vector<std::unique_ptr<InstalledFace>> installed; // in the order they were first needed

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FallbackTypeface)
};
