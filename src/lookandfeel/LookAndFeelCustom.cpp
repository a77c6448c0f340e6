#include "LookAndFeelCustom.h"

#include "lookandfeel/Fonts.h"

#include "BinaryData.h"

namespace
{
std::unique_ptr<juce::Drawable> createIcon (const char* data, int size)
{
    auto icon = juce::Drawable::createFromImageData (data, (size_t) size);

    // Icons are drawn in black and take the interface's colour here.
    if (icon != nullptr)
        icon->replaceColour (juce::Colours::black, Palette::buttonOutline);

    return icon;
}

// Knob geometry, in the slider's coordinates: a 50 x 50 box at the top of the slider.
constexpr float knobSize = 50.0f;
constexpr float knobCentreY = 25.0f;
constexpr float discDiameter = 32.0f;
constexpr float ringInnerProportion = 0.86f;
constexpr float pointerWidth = 3.5f;
constexpr float pointerInnerRadius = 9.5f;
constexpr float pointerOuterRadius = 14.5f;

// Call-out bubble: inset of the body, room kept for the arrow on the left.
constexpr float bubbleInset = 4.5f;
constexpr float bubbleArrowRoom = 11.2f;
constexpr float bubbleArrowTipInset = 8.5f;
constexpr float bubbleArrowBaseWidth = 5.6f;
const juce::Colour callOutOutlineColour { 0xFF232525 };

const juce::Colour warningIconColour { 0x66FF2A00 };
const juce::Colour otherIconColour { 0x6600B0B9 };

constexpr float popupMenuFontHeight = 12.0f;
} // namespace

LookAndFeelCustom::LookAndFeelCustom()
{
    using FBC = juce::FileBrowserComponent;
    using DCDC = juce::DirectoryContentsDisplayComponent;

    setColour (FBC::currentPathBoxBackgroundColourId, Palette::panelBackground);
    setColour (FBC::filenameBoxBackgroundColourId, Palette::panelBackground);
    setColour (FBC::currentPathBoxTextColourId, Palette::buttonOutline);
    setColour (FBC::currentPathBoxArrowColourId, Palette::buttonOutline);
    setColour (FBC::filenameBoxTextColourId, Palette::buttonOutline);
    setColour (juce::ListBox::backgroundColourId, Palette::panelBackground);
    setColour (juce::ListBox::outlineColourId, Palette::panelBackground);
    setColour (DCDC::highlightColourId, Palette::barBackground);
    setColour (DCDC::textColourId, Palette::buttonOutline);
    setColour (DCDC::highlightedTextColourId, Palette::buttonOutline);
    setColour (juce::TextButton::buttonColourId, Palette::panelBackground);
    setColour (juce::TextButton::buttonOnColourId, Palette::panelBackground);
    setColour (juce::TextButton::textColourOffId, Palette::dimText);
    setColour (juce::TextButton::textColourOnId, Palette::text);
    setColour (juce::ComboBox::outlineColourId, Palette::divider);
    setColour (juce::ComboBox::backgroundColourId, Palette::panelBackground);
    setColour (juce::ComboBox::textColourId, Palette::buttonOutline);
    setColour (juce::ComboBox::arrowColourId, Palette::buttonOutline);
    setColour (juce::TextEditor::backgroundColourId, Palette::panelBackground);
    setColour (juce::TextEditor::outlineColourId, Palette::panelBackground);
    setColour (juce::TextEditor::focusedOutlineColourId, Palette::panelBackground);
    setColour (juce::TextEditor::textColourId, Palette::buttonOutline);
    setColour (juce::TextEditor::highlightedTextColourId, Palette::buttonOutline);
    setColour (juce::PopupMenu::backgroundColourId, Palette::panelBackground);
    setColour (juce::PopupMenu::textColourId, Palette::buttonOutline);
    setColour (juce::PopupMenu::headerTextColourId, Palette::buttonOutline);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, Palette::barBackground);
    setColour (juce::PopupMenu::highlightedTextColourId, Palette::buttonOutline);
    setColour (juce::AlertWindow::backgroundColourId, Palette::panelBackground);
    setColour (juce::AlertWindow::textColourId, Palette::buttonOutline);
    setColour (juce::AlertWindow::outlineColourId, Palette::panelBackground);
    setColour (juce::ScrollBar::thumbColourId, Palette::buttonOutline);

    folderIcon = createIcon (TombrelBinary::folder_svg, TombrelBinary::folder_svgSize);
    documentIcon = createIcon (TombrelBinary::document_svg, TombrelBinary::document_svgSize);
}

LookAndFeelCustom::~LookAndFeelCustom()
{
    folderIcon.reset();
    documentIcon.reset();
}

juce::Typeface::Ptr LookAndFeelCustom::getTypefaceForFont (const juce::Font&)
{
    return getDefaultSemiboldTypeface();
}

juce::Path LookAndFeelCustom::getTickShape (float height)
{
    juce::Path tick;
    tick.startNewSubPath (16.3f, 47.0f);
    tick.lineTo (0.0f, 23.6f);
    tick.lineTo (7.8f, 18.1f);
    tick.lineTo (16.4f, 30.4f);
    tick.lineTo (38.3f, 0.0f);
    tick.lineTo (46.1f, 5.6f);
    tick.closeSubPath();

    tick.scaleToFit (0.0f, 0.0f, height * 2.0f, height, true);
    return tick;
}

//==============================================================================
void LookAndFeelCustom::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                              const juce::Colour& backgroundColour,
                                              bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    auto bounds = button.getLocalBounds().toFloat().reduced (0.5f);

    auto baseColour = backgroundColour.withMultipliedSaturation (button.hasKeyboardFocus (true) ? 1.3f : 0.9f)
                                      .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f);

    if (shouldDrawButtonAsDown || shouldDrawButtonAsHighlighted)
        baseColour = baseColour.contrasting (shouldDrawButtonAsDown ? 0.2f : 0.05f);

    g.setColour (baseColour);
    g.fillRect (bounds);

    // Stroked on the half-pixel line, so that the outline covers exactly the outer pixels.
    juce::Path outline;
    outline.addRectangle (bounds);
    g.setColour (Palette::buttonOutline);
    g.strokePath (outline, juce::PathStrokeType (1.0f));
}

juce::Font LookAndFeelCustom::getTextButtonFont (juce::TextButton&, int buttonHeight)
{
    return getCondensedSemiboldFont().withHeight (juce::jmin (0.7f * (float) buttonHeight, 15.0f));
}

void LookAndFeelCustom::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto font = getTextButtonFont (button, button.getHeight());
    g.setFont (font);
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId)
                       .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    const auto width = button.getWidth();
    const auto height = button.getHeight();

    const auto yIndent = juce::jmin (4, juce::roundToInt (0.3f * (float) height));
    const auto cornerSize = juce::jmin (height, width) / 2;
    const auto fontHeight = juce::roundToInt (0.6f * font.getHeight());
    const auto leftIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnLeft() ? 4 : 2));
    const auto rightIndent = juce::jmin (fontHeight, 2 + cornerSize / (button.isConnectedOnRight() ? 4 : 2));
    const auto textWidth = width - leftIndent - rightIndent;

    if (textWidth > 0)
        g.drawFittedText (button.getButtonText(),
                          leftIndent, yIndent + 1, textWidth, height - 2 * yIndent,
                          juce::Justification::centred, 2);
}

//==============================================================================
void LookAndFeelCustom::drawAlertBox (juce::Graphics& g, juce::AlertWindow& alert,
                                      const juce::Rectangle<int>& textArea, juce::TextLayout& textLayout)
{
    g.setColour (alert.findColour (juce::AlertWindow::outlineColourId));
    g.drawRect (alert.getLocalBounds(), 2);

    const auto bounds = alert.getLocalBounds().reduced (1);
    g.reduceClipRegion (bounds);

    g.setColour (alert.findColour (juce::AlertWindow::backgroundColourId));
    g.fillRect (bounds);

    auto iconSize = juce::jmin (130, bounds.getHeight() + 20);

    if (alert.containsAnyExtraComponents() || alert.getNumButtons() > 2)
        iconSize = juce::jmin (iconSize, textArea.getHeight() + 50);

    auto iconSpace = 0;

    if (alert.getAlertType() != juce::MessageBoxIconType::NoIcon)
    {
        const auto offset = iconSize / -10;
        const juce::Rectangle<float> iconRect ((float) offset, (float) offset, (float) iconSize, (float) iconSize);

        juce::Path icon;
        juce::Colour colour;
        juce::String glyph;

        if (alert.getAlertType() == juce::MessageBoxIconType::WarningIcon)
        {
            icon.addTriangle (iconRect.getCentreX(), iconRect.getY(),
                              iconRect.getRight(), iconRect.getBottom(),
                              iconRect.getX(), iconRect.getBottom());
            icon = icon.createPathWithRoundedCorners (5.0f);
            colour = warningIconColour;
            glyph = "!";
        }
        else
        {
            icon.addEllipse (iconRect);
            colour = otherIconColour;
            glyph = alert.getAlertType() == juce::MessageBoxIconType::InfoIcon ? "i" : "?";
        }

        juce::GlyphArrangement glyphs;
        glyphs.addFittedText (juce::Font ((float) iconSize * 0.9f, juce::Font::bold), glyph,
                              iconRect.getX(), iconRect.getY(), iconRect.getWidth(), iconRect.getHeight(),
                              juce::Justification::centred, 1);
        glyphs.createPath (icon);

        // Even-odd filling cuts the glyph out of the shape.
        icon.setUsingNonZeroWinding (false);
        g.setColour (colour);
        g.fillPath (icon);

        iconSpace = 80;
    }

    g.setColour (alert.findColour (juce::AlertWindow::textColourId));
    textLayout.draw (g, { (float) (bounds.getX() + iconSpace), 30.0f,
                          (float) bounds.getWidth(),
                          (float) (bounds.getHeight() - getAlertWindowButtonHeight() - 20) });
}

int LookAndFeelCustom::getAlertWindowButtonHeight() { return 24; }
juce::Font LookAndFeelCustom::getAlertWindowTitleFont() { return juce::Font (15.0f); }
juce::Font LookAndFeelCustom::getAlertWindowMessageFont() { return juce::Font (12.0f); }
juce::Font LookAndFeelCustom::getAlertWindowFont() { return juce::Font (12.0f); }

//==============================================================================
void LookAndFeelCustom::drawTreeviewPlusMinusBox (juce::Graphics& g, const juce::Rectangle<float>& area,
                                                  juce::Colour, bool isOpen, bool)
{
    juce::Path triangle;

    if (isOpen)
        triangle.addTriangle (0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 1.0f);
    else
        triangle.addTriangle (0.0f, 0.0f, 1.0f, 0.5f, 0.0f, 1.0f);

    // Placed at a fixed height in the row, whatever the area's y.
    g.setColour (Palette::buttonOutline);
    g.fillPath (triangle, triangle.getTransformToScaleToFit ({ area.getX() + 4.0f, 6.0f, 8.0f, 8.0f }, true));
}

int LookAndFeelCustom::getTreeViewIndentSize (juce::TreeView&) { return 24; }

//==============================================================================
void LookAndFeelCustom::drawFileBrowserRow (juce::Graphics& g, int width, int height,
                                            const juce::File&, const juce::String& filename, juce::Image*,
                                            const juce::String&, const juce::String&,
                                            bool isDirectory, bool isItemSelected, int,
                                            juce::DirectoryContentsDisplayComponent& dcc)
{
    using DCDC = juce::DirectoryContentsDisplayComponent;

    // The display component's own colours win over this look-and-feel's.
    auto* asComponent = dynamic_cast<juce::Component*> (&dcc);
    auto colourOf = [this, asComponent] (int colourId)
    {
        return asComponent != nullptr ? asComponent->findColour (colourId) : findColour (colourId);
    };

    if (isItemSelected)
        g.fillAll (colourOf (DCDC::highlightColourId));

    auto& icon = isDirectory ? folderIcon : documentIcon;

    if (icon != nullptr)
    {
        const auto iconArea = isDirectory ? juce::Rectangle<float> (0.0f, 3.0f, 17.0f, 14.0f)
                                          : juce::Rectangle<float> (3.0f, 3.0f, 11.0f, 15.0f);
        icon->setTransformToFit (iconArea, juce::RectanglePlacement::stretchToFit);
        icon->draw (g, 1.0f);
    }

    g.setColour (colourOf (isItemSelected ? DCDC::highlightedTextColourId : DCDC::textColourId));
    g.setFont (g.getCurrentFont().withHeight (12.0f));

    // The extension is never shown, for folders as well as files.
    g.drawText (filename.upToLastOccurrenceOf (".", false, false),
                juce::Rectangle<int> (24, 1, width - 24, height),
                juce::Justification::centredLeft, true);
}

//==============================================================================
void LookAndFeelCustom::drawPopupMenuBackground (juce::Graphics& g, int, int)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
}

void LookAndFeelCustom::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area,
                                           bool isSeparator, bool isActive, bool isHighlighted, bool isTicked,
                                           bool hasSubMenu, const juce::String& text,
                                           const juce::String& shortcutKeyText,
                                           const juce::Drawable* icon, const juce::Colour* textColourToUse)
{
    if (isSeparator)
    {
        auto r = area.reduced (5, 0);
        r.removeFromTop (juce::roundToInt ((float) r.getHeight() * 0.5f - 0.5f));

        g.setColour (findColour (juce::PopupMenu::textColourId).withAlpha ((juce::uint8) 76));
        g.fillRect (r.removeFromTop (1));
        return;
    }

    const auto textColour = textColourToUse != nullptr ? *textColourToUse
                                                       : findColour (juce::PopupMenu::textColourId);
    auto r = area.reduced (1);

    if (isHighlighted && isActive)
    {
        g.setColour (findColour (juce::PopupMenu::highlightedBackgroundColourId));
        g.fillRect (r);
        g.setColour (findColour (juce::PopupMenu::highlightedTextColourId));
    }
    else
    {
        g.setColour (textColour.withMultipliedAlpha (isActive ? 1.0f : 0.5f));
    }

    r.reduce (juce::jmin (5, area.getWidth() / 20), 0);

    auto font = getPopupMenuFont();
    const auto maxFontHeight = (float) r.getHeight() / 1.3f;

    if (font.getHeight() > maxFontHeight)
        font.setHeight (maxFontHeight);

    g.setFont (font);

    const auto iconArea = r.removeFromLeft (juce::roundToInt (maxFontHeight)).toFloat();

    if (icon != nullptr)
    {
        icon->drawWithin (g, iconArea,
                          juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize, 1.0f);
        r.removeFromLeft (juce::roundToInt (maxFontHeight * 0.5f));
    }
    else if (isTicked)
    {
        const auto tick = getTickShape (1.0f);
        g.fillPath (tick, tick.getTransformToScaleToFit (iconArea.reduced (iconArea.getWidth() / 4.0f, 0.0f), true));
    }

    if (hasSubMenu)
    {
        // Measured on the unreduced font, so every chevron has the same size.
        const auto arrowH = 0.6f * getPopupMenuFont().getAscent();
        const auto x = (float) r.removeFromRight ((int) arrowH).getX();
        const auto y = (float) (r.getY() + r.getHeight() / 2);

        juce::Path chevron;
        chevron.startNewSubPath (x, y - arrowH * 0.5f);
        chevron.lineTo (x + arrowH * 0.6f, y);
        chevron.lineTo (x, y + arrowH * 0.5f);

        g.strokePath (chevron, juce::PathStrokeType (2.0f));
    }

    r.removeFromRight (3);
    g.drawFittedText (text, r, juce::Justification::centredLeft, 1);

    if (shortcutKeyText.isNotEmpty())
    {
        auto shortcutFont = font;
        shortcutFont.setHeight (font.getHeight() * 0.75f);
        shortcutFont.setHorizontalScale (0.95f);
        g.setFont (shortcutFont);
        g.drawText (shortcutKeyText, r, juce::Justification::centredRight, true);
    }
}

juce::Font LookAndFeelCustom::getPopupMenuFont()
{
    return juce::Font (popupMenuFontHeight);
}

void LookAndFeelCustom::getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator,
                                                   int standardMenuItemHeight, int& idealWidth, int& idealHeight)
{
    if (isSeparator)
    {
        idealWidth = 50;
        idealHeight = standardMenuItemHeight > 0 ? standardMenuItemHeight / 2 : 10;
        return;
    }

    auto font = getPopupMenuFont();

    if (standardMenuItemHeight > 0)
    {
        if (font.getHeight() > (float) standardMenuItemHeight * 0.5f)
            font.setHeight ((float) standardMenuItemHeight * 0.5f);

        idealHeight = standardMenuItemHeight;
    }
    else
    {
        idealHeight = juce::roundToInt (2.0f * font.getHeight());
    }

    idealWidth = (int) std::ceil (font.getStringWidthFloat (text)) + 2 * idealHeight;
}

//==============================================================================
void LookAndFeelCustom::drawComboBox (juce::Graphics& g, int width, int height, bool,
                                      int, int, int, int, juce::ComboBox& box)
{
    g.setColour (box.findColour (juce::ComboBox::backgroundColourId));
    g.fillRect (0, 0, width, height);

    g.setColour (box.findColour (juce::ComboBox::outlineColourId));
    g.drawRect (0, 0, width, height, 1);

    const auto cy = (float) (height / 2);
    juce::Path arrow;
    arrow.startNewSubPath ((float) width - 27.0f, cy - 2.0f);
    arrow.lineTo ((float) width - 20.0f, cy + 3.0f);
    arrow.lineTo ((float) width - 13.0f, cy - 2.0f);

    g.setColour (box.findColour (juce::ComboBox::arrowColourId).withAlpha ((juce::uint8) (box.isEnabled() ? 255 : 51)));
    g.strokePath (arrow, juce::PathStrokeType (2.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

juce::Font LookAndFeelCustom::getComboBoxFont (juce::ComboBox&)
{
    return juce::Font (12.0f);
}

void LookAndFeelCustom::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    // Keeps the text clear of the arrow zone on the right.
    label.setBounds (7, 1, juce::jmax (0, box.getWidth() - 36), juce::jmax (0, box.getHeight() - 2));
    label.setFont (getComboBoxFont (box));
}

//==============================================================================
void LookAndFeelCustom::drawRotarySlider (juce::Graphics& g, int x, int, int width, int,
                                          float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                                          juce::Slider&)
{
    drawKnob (g, x, width, arcColour, sliderPosProportional, rotaryStartAngle, rotaryEndAngle);
}

void LookAndFeelCustom::drawKnob (juce::Graphics& g, int x, int width, juce::Colour arcColourToUse,
                                  float sliderPos, float rotaryStartAngle, float rotaryEndAngle)
{
    const auto cx = (float) x + 0.5f * (float) width;
    const juce::Rectangle<float> box (cx - knobSize * 0.5f, 0.0f, knobSize, knobSize);

    g.setColour (Palette::barBackground);
    g.fillEllipse (juce::Rectangle<float> (discDiameter, discDiameter).withCentre ({ cx, knobCentreY }));

    juce::Path track;
    track.addPieSegment (box, rotaryStartAngle, rotaryEndAngle, ringInnerProportion);
    g.fillPath (track);

    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    const auto arcStart = centreOrigin ? rotaryStartAngle + 0.5f * (rotaryEndAngle - rotaryStartAngle)
                                       : rotaryStartAngle;

    juce::Path valueArc;
    valueArc.addPieSegment (box, arcStart, angle, ringInnerProportion);
    g.setColour (arcColourToUse);
    g.fillPath (valueArc);

    juce::Path pointer;
    pointer.addRectangle (-0.5f * pointerWidth, -pointerOuterRadius,
                          pointerWidth, pointerOuterRadius - pointerInnerRadius);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated (cx, knobCentreY));
}

juce::Label* LookAndFeelCustom::createSliderTextBox (juce::Slider& slider)
{
    auto* label = juce::LookAndFeel_V4::createSliderTextBox (slider);

    label->setBorderSize ({ 0, 0, 0, 0 });
    label->setColour (juce::Label::outlineColourId, Palette::panelBackground);
    label->setColour (juce::Label::backgroundColourId, Palette::panelBackground);
    label->setColour (juce::Label::textColourId, Palette::buttonOutline);
    label->setFont (getCondensedSemiboldFont().withHeight (12.0f));

    return label;
}

//==============================================================================
void LookAndFeelCustom::drawCallOutBoxBackground (juce::CallOutBox& box, juce::Graphics& g,
                                                  const juce::Path& path, juce::Image& cachedImage)
{
    // Only the framework path's bounds are used: the bubble always points left.
    const auto b = path.getBounds();

    juce::Path bubble;
    bubble.addBubble (b.reduced (bubbleInset).withTrimmedLeft (bubbleArrowRoom),
                      b.withTrimmedLeft (bubbleArrowTipInset),
                      { b.getX() + bubbleArrowTipInset, b.getY() + b.getHeight() / 2.0f },
                      0.0f, bubbleArrowBaseWidth);

    // The blurred shadow is costly, so it is rendered once and kept in the box.
    if (cachedImage.isNull())
    {
        cachedImage = juce::Image (juce::Image::ARGB, box.getWidth(), box.getHeight(), true);
        juce::Graphics shadowGraphics (cachedImage);
        juce::DropShadow (juce::Colour (0x66000000), 10, { 0, 2 }).drawForPath (shadowGraphics, bubble);
    }

    g.setOpacity (1.0f);
    g.drawImageAt (cachedImage, 0, 0);

    g.setColour (Palette::panelBackground);
    g.fillPath (bubble);

    g.setColour (callOutOutlineColour);
    g.strokePath (bubble, juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}
