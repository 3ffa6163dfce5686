// Draws the application's art (logo, texture, button skins, icons) at the sizes the app expects
// and writes it into the folder given on the command line (the repository's resources/).
#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <functional>
#include <iostream>

namespace
{
bool writeImage (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    if (! out.openedOk())
        return false;

    if (file.hasFileExtension ("jpg"))
    {
        juce::JPEGImageFormat jpeg;
        jpeg.setQuality (0.85f);
        return jpeg.writeImageToStream (image, out);
    }

    juce::PNGImageFormat png;
    return png.writeImageToStream (image, out);
}

juce::Image draw (int w, int h, bool alpha, const std::function<void (juce::Graphics&, float, float)>& painter)
{
    juce::Image image (alpha ? juce::Image::ARGB : juce::Image::RGB, w, h, true);
    juce::Graphics g (image);
    painter (g, (float) w, (float) h);
    return image;
}

// 1200 x 243: a tarsier's two big eyes beside the word mark.
juce::Image makeLogo()
{
    return draw (1200, 243, true, [] (juce::Graphics& g, float w, float h)
    {
        const auto eyeR = h * 0.36f;
        for (int i = 0; i < 2; ++i)
        {
            const float cx = h * 0.55f + (float) i * eyeR * 2.1f;
            const float cy = h * 0.5f;
            g.setColour (juce::Colour (0xFF191A1A));
            g.fillEllipse (cx - eyeR, cy - eyeR, 2 * eyeR, 2 * eyeR);
            g.setColour (juce::Colour (0xFFECA019));
            g.fillEllipse (cx - eyeR * 0.72f, cy - eyeR * 0.72f, 1.44f * eyeR, 1.44f * eyeR);
            g.setColour (juce::Colour (0xFF191A1A));
            g.fillEllipse (cx - eyeR * 0.38f, cy - eyeR * 0.38f, 0.76f * eyeR, 0.76f * eyeR);
            g.setColour (juce::Colours::white.withAlpha (0.85f));
            g.fillEllipse (cx - eyeR * 0.3f, cy - eyeR * 0.45f, 0.22f * eyeR, 0.22f * eyeR);
        }

        g.setColour (juce::Colour (0xFF191A1A));
        g.setFont (juce::Font (h * 0.78f, juce::Font::bold));
        g.drawText ("TARSIO", juce::Rectangle<float> (h * 1.75f, 0.0f, w - h * 1.8f, h),
                    juce::Justification::centredLeft, false);
    });
}

// 200 x 200 JPEG: a fine grain that tiles without seams (the noise wraps at the edges).
juce::Image makeTexture()
{
    juce::Image image (juce::Image::RGB, 200, 200, true);
    juce::Random random (20261206);
    float grain[200][200];
    for (auto& row : grain)
        for (auto& v : row)
            v = random.nextFloat();

    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
        {
            float sum = 0.0f;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += grain[(y + dy + 200) % 200][(x + dx + 200) % 200];
            const auto level = (juce::uint8) juce::jlimit (0, 255, (int) (90.0f + 14.0f * sum));
            image.setPixelAt (x, y, juce::Colour (level, level, level));
        }
    return image;
}

// The palette's colours that the art uses.
const juce::Colour orange (0xFFECA019), lime (0xFFAAC13F), cyan (0xFF2ACBD6), lightGrey (0xFFD2D3D3),
                   midGrey (0xFF969798), nearBlack (0xFF191A1A);

juce::Path pillPath (float w, float h, float margin)
{
    juce::Path p;
    const auto body = juce::Rectangle<float> (w, h).reduced (margin);
    p.addRoundedRectangle (body, body.getHeight() * 0.5f);
    return p;
}

juce::Path discPath (float size, float radius)
{
    juce::Path p;
    p.addEllipse (size * 0.5f - radius, size * 0.5f - radius, 2.0f * radius, 2.0f * radius);
    return p;
}

// A body lit from above: a vertical gradient only, so any column of a pill's straight part matches
// any other and the middle strip stretches cleanly.
void fillBody (juce::Graphics& g, const juce::Path& body, juce::Colour top, juce::Colour bottom)
{
    const auto r = body.getBounds();
    g.setGradientFill ({ top, 0.0f, r.getY(), bottom, 0.0f, r.getBottom(), false });
    g.fillPath (body);

    // A faint highlight along the upper edge.
    juce::Path upper (body);
    upper.applyTransform (juce::AffineTransform::scale (1.0f, 0.5f, 0.0f, r.getY()));
    g.setGradientFill ({ juce::Colours::white.withAlpha (0.10f), 0.0f, r.getY(),
                         juce::Colours::white.withAlpha (0.0f), 0.0f, r.getCentreY(), false });
    g.saveState();
    g.reduceClipRegion (body);
    g.fillPath (upper);
    g.restoreState();
}

void softShadow (juce::Graphics& g, const juce::Path& body)
{
    juce::DropShadow (juce::Colours::black.withAlpha (0.75f), 14, { 0, 4 }).drawForPath (g, body);
}

// How one skin looks: a body lit from above, a rim, and either a soft shadow or a glow beneath.
struct SkinStyle
{
    juce::Colour top, bottom, rim;
    float rimThickness = 2.0f;
    juce::Colour glow {}; // transparent: a soft shadow instead
};

void paintSkin (juce::Graphics& g, const juce::Path& body, const SkinStyle& style)
{
    if (style.glow.isTransparent())
    {
        softShadow (g, body);
    }
    else
    {
        // The glow spreads from a band around the rim, not from the whole body.
        juce::Path band;
        juce::PathStrokeType (10.0f).createStrokedPath (band, body);
        juce::DropShadow (style.glow, 22, {}).drawForPath (g, band);
        juce::DropShadow (style.glow.withAlpha (0.8f), 8, {}).drawForPath (g, band);
    }

    fillBody (g, body, style.top, style.bottom);
    g.setColour (style.rim);
    g.strokePath (body, juce::PathStrokeType (style.rimThickness));
}

// 400 x 200 pills and 200 x 200 discs: the skins of the text buttons.
juce::Image pillSkin (const SkinStyle& style)
{
    return draw (400, 200, true, [style] (juce::Graphics& g, float w, float h)
    {
        paintSkin (g, pillPath (w, h, 18.0f), style);
    });
}

juce::Image discSkin (int size, float radius, const SkinStyle& style)
{
    return draw (size, size, true, [style, radius] (juce::Graphics& g, float w, float)
    {
        paintSkin (g, discPath (w, radius), style);
    });
}

const juce::Colour greyTop (0xFF4A4C4C), greyBottom (0xFF2C2D2D), softRim = nearBlack.withAlpha (0.8f);

juce::Image makeWideOff()  { return pillSkin ({ greyTop, greyBottom, softRim }); }
juce::Image makeWideOn()   { return pillSkin ({ juce::Colour (0xFF303131), juce::Colour (0xFF1E1F1F), orange, 5.0f, orange }); }
juce::Image makePillOn()   { return pillSkin ({ juce::Colour (0xFF4A3420), juce::Colour (0xFF2A1D10), orange, 4.0f }); }
juce::Image makeRoundOff() { return discSkin (200, 82.0f, { greyTop, greyBottom, softRim }); }
juce::Image makeRoundOn()  { return discSkin (200, 80.0f, { juce::Colour (0xFF2E2F2F), juce::Colour (0xFF1A1B1B), lime, 7.0f, lime }); }

// 200 x 200: the linear slider's thumb, small and dark with a light rim.
juce::Image makeSliderThumb()
{
    return discSkin (200, 46.0f, { juce::Colour (0xFF3A3B3B), juce::Colour (0xFF1C1D1D), lightGrey, 6.0f });
}

// 300 x 300: a dark knob whose cap has a scalloped edge.
juce::Image makeKnob()
{
    return draw (300, 300, true, [] (juce::Graphics& g, float w, float)
    {
        const float c = w * 0.5f;
        juce::Path cap;
        constexpr int points = 720;
        for (int i = 0; i <= points; ++i)
        {
            const float a = juce::MathConstants<float>::twoPi * (float) i / (float) points;
            const float r = 112.0f + 6.0f * std::cos (16.0f * a);
            const auto p = juce::Point<float> (c + r * std::sin (a), c - r * std::cos (a));
            if (i == 0) cap.startNewSubPath (p); else cap.lineTo (p);
        }
        cap.closeSubPath();

        softShadow (g, cap);
        fillBody (g, cap, juce::Colour (0xFF4A4C4C), juce::Colour (0xFF202121));
        g.setColour (nearBlack);
        g.strokePath (cap, juce::PathStrokeType (2.0f));

        const auto top = discPath (w, 82.0f);
        g.setGradientFill ({ juce::Colour (0xFF3C3E3E), c, c - 82.0f, juce::Colour (0xFF262727), c, c + 82.0f, false });
        g.fillPath (top);
        g.setColour (juce::Colours::white.withAlpha (0.08f));
        g.strokePath (top, juce::PathStrokeType (2.0f));
    });
}

// 300 x 300: cyan rings on transparency, laid over the knob while it is hovered.
juce::Image makeKnobHover()
{
    return draw (300, 300, true, [] (juce::Graphics& g, float w, float)
    {
        const float radii[] = { 124.0f, 132.0f, 140.0f };
        const float alphas[] = { 0.9f, 0.5f, 0.25f };
        for (int i = 0; i < 3; ++i)
        {
            g.setColour (cyan.withAlpha (alphas[i]));
            g.strokePath (discPath (w, radii[i]), juce::PathStrokeType (i == 0 ? 4.0f : 3.0f));
        }
    });
}

// 200 x 200 row and navigation icons.
void iconDisc (juce::Graphics& g, float w)
{
    const auto body = discPath (w, 80.0f);
    softShadow (g, body);
    fillBody (g, body, juce::Colour (0xFF333434), juce::Colour (0xFF1C1D1D));
}

void iconRing (juce::Graphics& g, float w, juce::Colour colour)
{
    g.setColour (colour);
    g.strokePath (discPath (w, 80.0f), juce::PathStrokeType (6.0f));
}

void drawCross (juce::Graphics& g, float w, juce::Colour colour)
{
    const float c = w * 0.5f, d = 30.0f;
    juce::Path cross;
    cross.startNewSubPath (c - d, c - d);
    cross.lineTo (c + d, c + d);
    cross.startNewSubPath (c + d, c - d);
    cross.lineTo (c - d, c + d);
    g.setColour (colour);
    g.strokePath (cross, juce::PathStrokeType (12.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}

juce::Image makeIconRemove (bool over)
{
    return draw (200, 200, true, [over] (juce::Graphics& g, float w, float)
    {
        iconDisc (g, w);
        drawCross (g, w, midGrey);
        if (over)
            iconRing (g, w, lime);
    });
}

// An arrow pointing up (or, turned over, down): the rules page's move buttons.
juce::Image makeIconArrow (bool up, bool over)
{
    return draw (200, 200, true, [up, over] (juce::Graphics& g, float w, float)
    {
        iconDisc (g, w);
        const float c = w * 0.5f, d = 30.0f;
        juce::Path arrow;
        arrow.startNewSubPath (c - d, c + d * 0.5f);
        arrow.lineTo (c, c - d * 0.5f);
        arrow.lineTo (c + d, c + d * 0.5f);
        if (! up)
            arrow.applyTransform (juce::AffineTransform::verticalFlip (w));
        g.setColour (midGrey);
        g.strokePath (arrow, juce::PathStrokeType (12.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        if (over)
            iconRing (g, w, lime);
    });
}

juce::Image makeIconPlay()
{
    return draw (200, 200, true, [] (juce::Graphics& g, float w, float)
    {
        iconDisc (g, w);
        const float c = w * 0.5f;
        juce::Path triangle;
        triangle.addTriangle (c - 22.0f, c - 36.0f, c - 22.0f, c + 36.0f, c + 40.0f, c);
        g.setColour (midGrey);
        g.fillPath (triangle);
    });
}

juce::Image makeIconPause()
{
    return draw (200, 200, true, [] (juce::Graphics& g, float w, float)
    {
        iconDisc (g, w);
        const float c = w * 0.5f;
        g.setColour (lime);
        g.fillRoundedRectangle (c - 30.0f, c - 36.0f, 20.0f, 72.0f, 5.0f);
        g.fillRoundedRectangle (c + 10.0f, c - 36.0f, 20.0f, 72.0f, 5.0f);
        iconRing (g, w, lime);
    });
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI gui;

    if (argc < 2)
    {
        std::cerr << "usage: tarsio_artgen <resources folder>\n";
        return 2;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    folder.createDirectory();

    const std::pair<const char*, juce::Image> images[] = {
        { "logo.png", makeLogo() },
        { "texture.jpg", makeTexture() },
        { "skin_wide_off.png", makeWideOff() },
        { "skin_wide_on.png", makeWideOn() },
        { "skin_round_off.png", makeRoundOff() },
        { "skin_round_on.png", makeRoundOn() },
        { "skin_pill_on.png", makePillOn() },
        { "slider_thumb.png", makeSliderThumb() },
        { "knob.png", makeKnob() },
        { "knob_hover.png", makeKnobHover() },
        { "icon_remove.png", makeIconRemove (false) },
        { "icon_remove_over.png", makeIconRemove (true) },
        { "icon_up.png", makeIconArrow (true, false) },
        { "icon_up_over.png", makeIconArrow (true, true) },
        { "icon_down.png", makeIconArrow (false, false) },
        { "icon_down_over.png", makeIconArrow (false, true) },
        { "icon_play.png", makeIconPlay() },
        { "icon_pause.png", makeIconPause() },
    };

    for (const auto& [name, image] : images)
    {
        if (! writeImage (image, folder.getChildFile (name)))
        {
            std::cerr << "could not write " << name << "\n";
            return 1;
        }
    }
    return 0;
}
