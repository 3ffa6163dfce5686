#include "look/Look.h"
#include "look/ButtonSkinLayout.h"
#include "look/FallbackTypeface.h"
#include "look/Palette.h"

#include "BinaryData.h"

namespace
{
juce::Image loadImage (const char* data, int size)
{
    return juce::ImageCache::getFromMemory (data, size);
}

// Draws the whole image scaled into the area; an empty image draws nothing.
void drawWholeImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<int> area)
{
    if (image.isValid())
        g.drawImage (image, area.getX(), area.getY(), area.getWidth(), area.getHeight(),
                     0, 0, image.getWidth(), image.getHeight());
}
} // namespace

Look::Look()
{
    setDefaultSansSerifTypeface (new FallbackTypeface (BinaryData::LeagueSpartanMedium_otf,
                                                       (size_t) BinaryData::LeagueSpartanMedium_otfSize));

    juce::LookAndFeel::setDefaultLookAndFeel (this);

    setColour (juce::Label::textColourId, whiteOpacityVekko);
    setColour (juce::PopupMenu::textColourId, greyWhiteVekko);
    setColour (juce::PopupMenu::backgroundColourId, greyOpacityVekko);
    setColour (juce::PopupMenu::headerTextColourId, blueVekko);
    setColour (juce::PopupMenu::highlightedTextColourId, whiteVekko);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, blueDarkVekko2);
    setColour (juce::ProgressBar::backgroundColourId, blueVekko);
    setColour (juce::ProgressBar::foregroundColourId, whiteVekko);
    setColour (juce::AlertWindow::textColourId, whiteVekko);
    setColour (juce::AlertWindow::backgroundColourId, greyDownVekko);
    setColour (juce::AlertWindow::outlineColourId, whiteVekko);
    setColour (juce::TextButton::buttonColourId, whiteVekko);
    setColour (juce::TextButton::buttonOnColourId, blueDarkVekko);
    setColour (juce::TextButton::textColourOffId, backgroundVekko2);
    setColour (juce::TextButton::textColourOnId, blueVekko);
    setColour (juce::ComboBox::outlineColourId, whiteLightVekko);
    setColour (juce::ScrollBar::thumbColourId, greenVekko);
    setColour (juce::ScrollBar::backgroundColourId, whiteLightVekko);
    setColour (juce::ScrollBar::trackColourId, whiteLightVekko);
    setColour (juce::TextEditor::backgroundColourId, greyBlackVekko);
    setColour (juce::TextEditor::highlightColourId, orangeVekko);
    setColour (juce::TextEditor::focusedOutlineColourId, orangeTransChord);
    setColour (juce::TextEditor::outlineColourId, greyWhiteVekko);
    setColour (juce::TextEditor::textColourId, whiteVekko);
    setColour (juce::TextEditor::shadowColourId, blackVekko);
    setColour (juce::ListBox::outlineColourId, whiteVekko);
    setColour (juce::ListBox::backgroundColourId, blackVekko);
    setColour (juce::TableHeaderComponent::backgroundColourId, blackVekko);
    setColour (juce::TableHeaderComponent::textColourId, whiteVekko);
    setColour (juce::TableHeaderComponent::outlineColourId, blackVekko);
    setColour (juce::TableHeaderComponent::highlightColourId, blackVekko);
    setColour (juce::FileChooserDialogBox::titleTextColourId, whiteVekko);
    setColour (juce::TooltipWindow::backgroundColourId, blackVekko);
    setColour (juce::FileBrowserComponent::currentPathBoxTextColourId, whiteVekko);
    setColour (juce::FileBrowserComponent::currentPathBoxArrowColourId, whiteVekko);
    setColour (juce::FileBrowserComponent::filenameBoxBackgroundColourId, blackVekko);
    setColour (juce::FileBrowserComponent::filenameBoxTextColourId, whiteVekko);
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));

    knobImage           = loadImage (BinaryData::knob_png, BinaryData::knob_pngSize);
    knobHoverImage      = loadImage (BinaryData::knob_hover_png, BinaryData::knob_hover_pngSize);
    sliderThumbImage    = loadImage (BinaryData::slider_thumb_png, BinaryData::slider_thumb_pngSize);
    wideButtonOffImage  = loadImage (BinaryData::skin_wide_off_png, BinaryData::skin_wide_off_pngSize);
    wideButtonOnImage   = loadImage (BinaryData::skin_wide_on_png, BinaryData::skin_wide_on_pngSize);
    roundButtonOffImage = loadImage (BinaryData::skin_round_off_png, BinaryData::skin_round_off_pngSize);
    roundButtonOnImage  = loadImage (BinaryData::skin_round_on_png, BinaryData::skin_round_on_pngSize);
    // The stretched buttons share the wide skin when off.
    pillButtonOffImage  = loadImage (BinaryData::skin_wide_off_png, BinaryData::skin_wide_off_pngSize);
    pillButtonOnImage   = loadImage (BinaryData::skin_pill_on_png, BinaryData::skin_pill_on_pngSize);
}

// Stays the framework's default to the end: the framework holds it weakly and falls back to its own
// once it is gone. Resetting the default here would restyle every window while the main component
// is half destroyed, and a window with a native title bar would even repaint it.
Look::~Look() = default;

//==============================================================================
void Look::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&, bool, bool)
{
    using namespace ButtonSkinLayout;

    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    const int W = button.getWidth();
    const int H = button.getHeight();
    const bool on = button.getToggleState();
    const auto shape = shapeFor (W, H);

    const juce::Image* skin = nullptr;
    switch (shape)
    {
        case Shape::square:    skin = on ? &roundButtonOnImage : &roundButtonOffImage; break;
        case Shape::twoToOne:  skin = on ? &wideButtonOnImage  : &wideButtonOffImage;  break;
        case Shape::longPill:
        case Shape::shortPill: skin = on ? &pillButtonOnImage  : &pillButtonOffImage;  break;
        case Shape::narrow:    break;
    }

    if (skin != nullptr && skin->isValid())
    {
        const int ih = skin->getHeight();
        for (const auto& piece : piecesFor (shape, W, H, skin->getWidth(), ih))
        {
            const auto& d = piece.destination;
            g.drawImage (*skin, d.getX(), d.getY(), d.getWidth(), d.getHeight(), piece.sourceX, 0, piece.sourceWidth, ih);
        }
    }

    if (button.isMouseOverOrDragging() && button.isEnabled())
    {
        g.setColour (lightVekko2);
        const double w = W, h = H;
        if (shape == Shape::square)
            g.fillRoundedRectangle ((float) (0.1 * w), (float) (0.1 * w), (float) (0.8 * w), (float) (0.8 * w), (float) (0.5 * w));
        else if (W < 2 * H + 3)
            g.fillRoundedRectangle ((float) (0.05 * w), (float) (0.15 * h), (float) (0.9 * w), (float) (0.7 * h), (float) (0.5 * h));
        else
            g.fillRoundedRectangle ((float) (0.03 * w), (float) (0.15 * h), (float) (0.94 * w), (float) (0.7 * h), (float) (0.5 * h));
    }
}

void Look::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool highlighted, bool down)
{
    // The framework's own file dialog (shown where no desktop dialog is installed) has buttons of
    // 20 pixels: scaled like the pages' tall buttons, their text would be 6 pixels high.
    if (button.findParentComponentOfClass<juce::FileChooserDialogBox>() != nullptr)
    {
        juce::LookAndFeel_V4::drawButtonText (g, button, highlighted, down);
        return;
    }

    const int H = button.getHeight();
    g.setFont (juce::Font (0.3f * (float) H));
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    if (const auto area = ButtonSkinLayout::textArea (button.getWidth(), H,
                                                      button.isConnectedOnLeft(), button.isConnectedOnRight()))
        g.drawFittedText (button.getButtonText(), *area, juce::Justification::centred, 2, 0.5f);
}

//==============================================================================
void Look::fillTextEditorBackground (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    g.setColour (editor.findColour (juce::TextEditor::backgroundColourId));
    g.fillRoundedRectangle (3.0f, 3.0f, (float) (width - 4), (float) (height - 4), 0.5f * (float) height);
}

void Look::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    if (! editor.isEnabled())
        return;

    g.setColour (editor.findColour (editor.hasKeyboardFocus (true) ? juce::TextEditor::focusedOutlineColourId
                                                                   : juce::TextEditor::outlineColourId));
    g.drawRoundedRectangle (1.0f, 1.0f, (float) (width - 2), (float) (height - 2), 0.5f * (float) height, 1.5f);
}

//==============================================================================
void Look::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.setColour (findColour (juce::PopupMenu::backgroundColourId));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) width, (float) height, 6.0f);
}

void Look::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                              bool isSeparator, bool isActive, bool isHighlighted, bool, bool hasSubMenu,
                              const juce::String& text, const juce::String& shortcutKeyText,
                              const juce::Drawable*, const juce::Colour* textColour)
{
    const auto w = (float) area.getWidth();
    const auto h = (float) area.getHeight();

    if (isSeparator)
    {
        g.setColour (whitePadVekko);
        g.drawLine (0.0f, h, w, h, 1.0f);
        return;
    }

    g.setColour (termsVekko);
    g.drawLine (0.4f * w, 0.0f, 0.6f * w, 0.0f, 1.0f);

    auto colour = textColour != nullptr ? *textColour : findColour (juce::PopupMenu::textColourId);
    auto r = area;

    if (isHighlighted)
    {
        g.setColour (findColour (juce::PopupMenu::highlightedBackgroundColourId));
        g.fillRect (r);
        colour = findColour (juce::PopupMenu::highlightedTextColourId);
    }

    g.setColour (colour);
    if (! isActive)
        g.setOpacity (0.3f);

    auto font = getPopupMenuFont();
    const auto arrowSize = 0.6f * font.getAscent();
    font.setHeight (0.64f * h);
    font.setBold (false);
    g.setFont (font);

    if (hasSubMenu)
    {
        const auto arrow = r.removeFromRight ((int) arrowSize);
        const auto x = (float) arrow.getX();
        const auto cy = (float) (r.getY() + r.getHeight() / 2);
        juce::Path triangle;
        triangle.addTriangle (x, cy - 0.5f * arrowSize, x, cy + 0.5f * arrowSize, x + 0.6f * arrowSize, cy);
        g.fillPath (triangle);
    }

    g.drawFittedText (text, r, juce::Justification::centred, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        g.setFont (font.withHeight (font.getHeight() * 0.75f).withHorizontalScale (0.95f));
        g.drawText (shortcutKeyText, r, juce::Justification::centred, true);
    }
}

void Look::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                       const juce::String& sectionName)
{
    g.setFont (getPopupMenuFont().boldened());
    g.setColour (findColour (juce::PopupMenu::headerTextColourId));
    g.drawFittedText (sectionName, area, juce::Justification::centred, 1);
}

//==============================================================================
void Look::drawComboBox (juce::Graphics& g, int width, int height, bool,
                         int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&)
{
    const juce::Rectangle<float> box (2.0f, 2.0f, (float) (width - 4), (float) (height - 4));
    const auto corner = (float) (0.4 * height);

    g.setGradientFill ({ backgroundVekkoL, (float) (0.48 * width), 0.0f,
                         greyBlackVekko, (float) (0.51 * width), (float) height, false });
    g.fillRoundedRectangle (box, corner);
    g.setColour (blackVekko);
    g.drawRoundedRectangle (box, corner, 2.0f);

    g.setColour (whiteVekko);
    g.setFont ((float) buttonW);
    g.drawText (":", buttonX, buttonY, buttonW, buttonH, juce::Justification::left, true);
}

juce::Font Look::getLabelFont (juce::Label& label)
{
    label.setFont (juce::Font (labelFontSize, juce::Font::plain));
    return label.getFont();
}

//==============================================================================
void Look::drawLinearSlider (juce::Graphics& g, int x, int, int width, int height,
                             float sliderPos, float minSliderPos, float maxSliderPos,
                             juce::Slider::SliderStyle, juce::Slider& slider)
{
    const double W = width, H = height;
    const int trackWidth = (int) (0.4 * W);
    const auto trackX = (float) (x + 0.5 * W - 0.5 * trackWidth);
    const auto corner = (float) (trackWidth / 2);
    const juce::Rectangle<float> track (trackX, 4.0f, (float) trackWidth, (float) (H - 4));

    g.setColour (blackVekko);
    g.drawRoundedRectangle (track, corner, 2.0f);
    g.setGradientFill ({ greyVekko, (float) (0.5 * W), 0.0f, greyPlusVekko, (float) (0.5 * W), (float) H, false });
    g.fillRoundedRectangle (track, corner);

    if (! slider.isEnabled())
        return;

    const bool active = slider.isMouseOverOrDragging();
    const double v = 0.85 * sliderPos + 0.3 * (maxSliderPos - minSliderPos);

    g.setGradientFill ({ active ? orangeVekko : blueVekko, (float) (0.5 * W), (float) (0.3 * H),
                         active ? orangeDarkVekko : blueDarkVekko, (float) (0.5 * W), (float) H, false });
    g.fillRoundedRectangle (trackX, (float) (4 + v), (float) trackWidth, (float) (H - v - 4), corner);

    drawWholeImage (g, sliderThumbImage, { 0, (int) (v - 0.2 * W), width, width });

    if (active)
    {
        g.setColour (orangeVekko);
        g.drawEllipse ((float) (0.25 * W), (float) (v + 0.05 * W), (float) (0.5 * W), (float) (0.5 * W), 3.0f);
    }
}

void Look::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                             float sliderPos, float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider)
{
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);

    const int radius = juce::jmin (width / 2, height / 2);
    const float pointerLength = (float) radius - 0.22f * (float) width;
    const int knobY = (int) (-0.1 * width);

    drawWholeImage (g, knobImage, { 0, knobY, width, width });

    const bool active = slider.isEnabled() && slider.isMouseOverOrDragging();
    const float angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);

    juce::Path pointer;
    pointer.addRectangle (-2.0f, -pointerLength - 1.0f, 4.0f, 0.55f * pointerLength + 1.0f);
    pointer.applyTransform (juce::AffineTransform::rotation (angle)
                                .translated ((float) (x + 0.5 * width), (float) (y + 0.5 * height - 1)));
    g.setColour (active ? blueVekko : greyWhiteVekko);
    g.fillPath (pointer);

    if (active)
        drawWholeImage (g, knobHoverImage, { 0, knobY, width, width });

    // Only a real change re-creates the text box, so this settles after one paint.
    slider.setColour (juce::Slider::textBoxTextColourId, active ? blueLightVekko : greyTextBoxVekko);

    const double cx = x + 0.5 * width;
    const double boxW = slider.getTextBoxWidth();
    const double boxH = slider.getTextBoxHeight() - 6;
    if (boxW <= 0 || boxH <= 0)
        return;

    const auto corner = (float) (0.05 * height);
    g.setColour (active ? blueblueVekko : maskVekko);
    g.drawRoundedRectangle ((float) (cx - 0.5 * boxW), (float) (height + 3), (float) boxW, (float) boxH, corner, 2.0f);
    g.setColour (maskTextBox);
    g.fillRoundedRectangle ((float) (cx - 0.5 * boxW - 1), (float) (height + 2), (float) (boxW - 1), (float) boxH, corner);
}

juce::Label* Look::createSliderTextBox (juce::Slider& slider)
{
    auto* label = juce::LookAndFeel_V2::createSliderTextBox (slider);
    label->setColour (juce::Label::textColourId,
                      slider.isMouseOverOrDragging() ? blueLightVekko : greyTextBoxVekko);
    label->setFont (juce::Font (label->getFont().getHeight() - 2.0f));
    return label;
}
