#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
juce::Rectangle<int> ink (const juce::Image& image, juce::Rectangle<int> area = { 0, 0, 1000, 1000 })
{
    return find (image, differsFrom (Palette::panelBackground), area).bounds;
}

enum ItemFlags { separator = 1, inactive = 2, highlighted = 4, ticked = 8, submenu = 16 };

struct PopupMenuTest : public ::testing::Test
{
    /** Draws one item over the menu's background, as the menu window does. */
    juce::Image drawItem (const juce::String& name, const juce::String& text, int flags, int width = 200, int height = 24,
                          const juce::Drawable* icon = nullptr, const juce::Colour* textColour = nullptr, const juce::String& shortcut = {})
    {
        return draw (width, height, "menu_" + name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawPopupMenuBackground (g, width, height);
            lookAndFeel.drawPopupMenuItem (g, { 0, 0, width, height }, flags & separator, ! (flags & inactive), flags & highlighted,
                                           flags & ticked, flags & submenu, text, shortcut, icon, textColour);
        });
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
};
} // namespace

TEST_F (PopupMenuTest, SeparatorIsOneFaintLineAcrossTheMiddleInsetBy5OnAPlainBackground)
{
    const auto image = drawItem ("separator", {}, separator, 120, 10);
    const auto line = find (image, differsFrom (Palette::panelBackground, 0));

    EXPECT_EQ (line.count, 110) << "nothing but the line";
    EXPECT_EQ (line.bounds, juce::Rectangle<int> (5, 4, 110, 1));
    EXPECT_TRUE (pixelIs (image, 60, 4, Palette::panelBackground.overlaidWith (Palette::buttonOutline.withAlpha ((juce::uint8) 76))));
}

TEST_F (PopupMenuTest, HighlightFillsInsideA1PixelMarginOfActiveItemsOnly)
{
    const auto red = juce::Colours::red;
    const auto halfText = Palette::panelBackground.overlaidWith (Palette::buttonOutline.withMultipliedAlpha (0.5f));
    struct Case { const char* name; int flags; const juce::Colour* textColour; juce::Colour fill, text, absent; };
    const Case cases[] = {
        { "highlighted", highlighted, nullptr, Palette::barBackground, Palette::buttonOutline, red },
        { "inactive_highlighted", inactive | highlighted, nullptr, Palette::panelBackground, halfText, Palette::buttonOutline },
        { "own_colour", 0, &red, Palette::panelBackground, red, Palette::buttonOutline },
        { "own_colour_highlighted", highlighted, &red, Palette::barBackground, Palette::buttonOutline, red },
    };

    for (const auto& c : cases)
    {
        const auto image = drawItem (c.name, "Copy voice settings", c.flags, 200, 24, nullptr, c.textColour);
        EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground)) << c.name;
        EXPECT_TRUE (pixelIs (image, 199, 23, Palette::panelBackground)) << c.name;
        EXPECT_TRUE (pixelIs (image, 1, 1, c.fill)) << c.name;
        EXPECT_TRUE (pixelIs (image, 198, 22, c.fill)) << c.name;
        EXPECT_GE (find (image, near (c.text, 3)).count, 5) << c.name;
        EXPECT_EQ (find (image, near (c.absent, 12)).count, 0) << c.name;
    }
}

TEST_F (PopupMenuTest, TickOrIconSitInTheIconColumnAndTextFollowsIt)
{
    // Item 200 x 24: r = (6, 1, 188, 22); an icon column 17 wide from x 6; the tick in its middle half, x 10.25 to 18.75.
    const auto tick = ink (drawItem ("ticked", {}, ticked));
    EXPECT_GE (tick.getX(), 10);
    EXPECT_LE (tick.getRight(), 19);
    EXPECT_GE (tick.getWidth(), 8);
    EXPECT_NEAR (tick.getCentreY(), 12, 1);

    juce::DrawableRectangle icon;
    icon.setRectangle (juce::Parallelogram<float> (juce::Rectangle<float> (0.0f, 0.0f, 10.0f, 10.0f)));
    icon.setFill (juce::Colours::red);
    const auto withIcon = drawItem ("ticked_with_icon", {}, ticked, 200, 24, &icon);

    // Red blended into the background never raises green; any grey of a tick would.
    const auto grey = [] (juce::Colour c) { return c.getGreen() > Palette::panelBackground.getGreen() + 4; };
    EXPECT_GE (find (withIcon, near (juce::Colours::red, 3)).count, 50);
    EXPECT_EQ (find (withIcon, grey).count, 0);

    // Text after the margin of 6 and the icon column, 17 wide at 24 high and 9 at 14, and half a column more after an icon.
    const auto tall = ink (drawItem ("text_24", "Kick", 0)), low = ink (drawItem ("text_14", "Kick", 0, 200, 14));
    EXPECT_NEAR (tall.getX(), 24, 1);
    EXPECT_NEAR (low.getX(), 16, 1);
    EXPECT_LT (low.getHeight(), tall.getHeight());
    EXPECT_NEAR (find (drawItem ("icon_and_text", "Kick", 0, 200, 24, &icon), grey).bounds.getX(), 32, 1);
}

TEST_F (PopupMenuTest, SubmenuChevronOfOneSizeAndSmallerShortcutOnTheRight)
{
    const auto tall = drawItem ("submenu_24", {}, submenu);
    const auto chevron = ink (tall), lowChevron = ink (drawItem ("submenu_14", {}, submenu, 200, 14));

    EXPECT_EQ (chevron.getWidth(), lowChevron.getWidth());
    EXPECT_EQ (chevron.getHeight(), lowChevron.getHeight());
    EXPECT_GE (chevron.getX(), 180);
    EXPECT_LE (chevron.getRight(), 195);
    EXPECT_NEAR (chevron.getCentreY(), 12, 1);
    EXPECT_NEAR (lowChevron.getCentreY(), 7, 1);
    EXPECT_GT (ink (tall, { 0, 12, 200, 1 }).getRight(), ink (tall, { 0, chevron.getY() + 1, 200, 1 }).getRight()) << "points right";

    const auto shortcut = drawItem ("shortcut", "Copy", 0, 200, 24, nullptr, nullptr, "Ctrl+C");
    EXPECT_LT (ink (drawItem ("no_shortcut", "Copy", 0)).getRight(), 100);
    EXPECT_NEAR (ink (shortcut).getRight(), 189, 2) << "r ends at 200 - 1 - 5 - 3";
    EXPECT_LE (ink (shortcut, { 100, 0, 100, 24 }).getHeight(), ink (shortcut, { 0, 0, 100, 24 }).getHeight());
}

TEST_F (PopupMenuTest, IdealSizesOfItemsAndSeparators)
{
    const juce::String text ("Choke group 3");
    const auto widthAt = [&text] (float height) { return (int) std::ceil (juce::Font (height).getStringWidthFloat (text)); };

    // Items are twice the 12-high font high, or the standard height with the font at most half of it, and as wide
    // as their text plus twice their height. Separators are 50 wide and half the standard height, or 10.
    // A 27-high combo box asks for items as high as its label: 25.
    const std::tuple<juce::String, bool, int, int, int> cases[] = {
        { {}, true, 0, 50, 10 }, { {}, true, 30, 50, 15 }, { {}, true, 25, 50, 12 }, { {}, false, 0, 48, 24 },
        { text, false, 0, widthAt (12.0f) + 48, 24 }, { text, false, 30, widthAt (12.0f) + 60, 30 },
        { text, false, 20, widthAt (10.0f) + 40, 20 }, { text, false, 25, widthAt (12.0f) + 50, 25 },
    };

    for (const auto& [itemText, isSeparator, standard, expectedWidth, expectedHeight] : cases)
    {
        int width = 0, height = 0;
        lookAndFeel.getIdealPopupMenuItemSize (itemText, isSeparator, standard, width, height);
        EXPECT_EQ (juce::Point<int> (width, height), juce::Point<int> (expectedWidth, expectedHeight)) << isSeparator << " " << standard;
    }
}

//==============================================================================
TEST (ComboBox, SquareOutlinedBoxWithAThinArrowFaintWhenDisabledAndTheLabelClearOfIt)
{
    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
    juce::ComboBox combo;
    combo.setLookAndFeel (&lookAndFeel);
    combo.addItem ("Off", 1);
    combo.setSelectedId (1, juce::dontSendNotification);
    combo.setSize (120, 27);

    // How far the brightest pixel of the arrow zone stands out of the fill, in the green channel.
    const auto arrowStrength = [] (const juce::Image& image)
    {
        auto strongest = 0;
        find (image, [&] (juce::Colour c) { strongest = juce::jmax (strongest, c.getGreen() - Palette::panelBackground.getGreen()); return false; },
              { 90, 1, 20, 25 });
        return strongest;
    };

    const auto image = paint (combo, "combobox_enabled");
    combo.setEnabled (false);
    const auto disabled = paint (combo, "combobox_disabled");

    for (const auto* each : { &image, &disabled })
    {
        EXPECT_EQ (find (*each, near (Palette::divider)).bounds, combo.getLocalBounds());
        EXPECT_EQ (find (*each, near (Palette::divider)).count, 2 * 120 + 2 * 25);
        EXPECT_TRUE (pixelIs (*each, 1, 1, Palette::panelBackground));
        EXPECT_TRUE (pixelIs (*each, 118, 25, Palette::panelBackground));
    }

    // The chevron runs from x 93 to 107 and y 11 to 16, stroked 2 wide, in the arrow colour; at alpha 51 when disabled.
    EXPECT_EQ (ink (image, { 90, 1, 20, 25 }), juce::Rectangle<int> (92, 10, 16, 8));
    EXPECT_GT (arrowStrength (image), 120);
    EXPECT_NEAR ((float) arrowStrength (disabled) / (float) arrowStrength (image), 51.0f / 255.0f, 0.03f);

    // The label from x 7 to 36 short of the right edge, in the 12-high font; its text after its own border of 5.
    auto* label = dynamic_cast<juce::Label*> (combo.getChildComponent (0));
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (7, 1, 84, 25));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 12.0f);
    EXPECT_NEAR (ink (image, { 1, 1, 88, 25 }).getX(), 13, 1);
    EXPECT_GE (find (image, near (Palette::buttonOutline, 3)).count, 3);

    combo.setSize (300, 60);
    EXPECT_EQ (label->getBounds(), juce::Rectangle<int> (7, 1, 264, 58));
    combo.setSize (30, 27);
    EXPECT_EQ (label->getWidth(), 0);
    combo.setLookAndFeel (nullptr);
}
