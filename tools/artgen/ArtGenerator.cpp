// Draws the application's art (logo, texture, button skins, icons) at the sizes the app expects
// and writes it into the folder given on the command line (the repository's resources/).
#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

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
