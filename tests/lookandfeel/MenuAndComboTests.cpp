#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
enum ItemFlags { separator = 1, inactive = 2, highlighted = 4, ticked = 8, submenu = 16 };

struct PopupMenuTest : public ::testing::Test
{
    /** Draws one 200-wide item over the menu's background, as the menu window does, and finds where it drew. */
    juce::Image drawItem (const juce::String& name, const juce::String& text, int flags, int height = 24)
    {
        auto image = draw (200, height, "menu_" + name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawPopupMenuBackground (g, 200, height);
            lookAndFeel.drawPopupMenuItem (g, { 0, 0, 200, height }, flags & separator, ! (flags & inactive), flags & highlighted,
                                           flags & ticked, flags & submenu, text, {}, nullptr, nullptr);
        });
        drawn = ink (image, Palette::panelBackground);
        return image;
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::Rectangle<int> drawn;
};
} // namespace

TEST_F (PopupMenuTest, SeparatorHighlightTickTextAndChevronKeepTheirLook)
{
    const auto line = drawItem ("separator", {}, separator, 10);
    EXPECT_EQ (find (line, differsFrom (Palette::panelBackground, 0)).count, 190) << "nothing but the line";
    EXPECT_EQ (drawn, juce::Rectangle<int> (5, 4, 190, 1));
    EXPECT_TRUE (pixelIs (line, 60, 4, Palette::panelBackground.overlaidWith (Palette::buttonOutline.withAlpha ((juce::uint8) 76))));

    // An inactive item is never highlighted: its text stays at half alpha under the mouse.
    const auto halfText = Palette::panelBackground.overlaidWith (Palette::buttonOutline.withMultipliedAlpha (0.5f));
    const std::tuple<const char*, int, juce::Colour, juce::Colour> cases[] = { { "highlighted", highlighted, Palette::barBackground, Palette::buttonOutline },
                                                                            { "inactive_highlighted", inactive | highlighted, Palette::panelBackground, halfText } };

    for (const auto& [name, flags, fill, text] : cases)
    {
        const auto image = drawItem (name, "Copy voice settings", flags);
        EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground)) << name;
        EXPECT_TRUE (pixelIs (image, 1, 1, fill)) << name;
        EXPECT_TRUE (isNear (mostDrawn (image, fill, { 1, 1, 198, 22 }), text, 12)) << name;
    }

    // Item 200 x 24: r = (6, 1, 188, 22); an icon column 17 wide from x 6; the tick in its middle half, x 10.25 to 18.75.
    drawItem ("ticked", {}, ticked);
    EXPECT_TRUE (juce::Rectangle<int> (10, 0, 9, 24).contains (drawn)) << drawn.toString();
    EXPECT_GE (drawn.getWidth(), 8);
    EXPECT_NEAR (drawn.getCentreY(), 12, 1);

    // Text after the margin of 6 and the icon column, 17 wide.
    drawItem ("text", "Kick", 0);
    EXPECT_NEAR (drawn.getX(), 24, 1);

    // The submenu chevron at the right, pointing right: its middle row reaches further than its top.
    const auto chevron = drawItem ("submenu", {}, submenu);
    EXPECT_TRUE (juce::Rectangle<int> (180, 0, 15, 24).contains (drawn)) << drawn.toString();
    EXPECT_NEAR (drawn.getCentreY(), 12, 1);
    EXPECT_GT (ink (chevron, Palette::panelBackground, { 0, 12, 200, 1 }).getRight(), ink (chevron, Palette::panelBackground, { 0, drawn.getY() + 1, 200, 1 }).getRight());

}

TEST_F (PopupMenuTest, IdealSizesOfItemsAndSeparators)
{
    const juce::String text ("Choke group 3");
    const auto textWidth = (int) std::ceil (lookAndFeel.getPopupMenuFont().getStringWidthFloat (text));

    // Items are twice the 12-high font high, or the standard height, and as wide as their text plus twice their
    // height. Separators are 50 wide and half the standard height, or 10. A 27-high combo box asks for items as
    // high as its label: 25.
    const std::tuple<juce::String, bool, int, int, int> cases[] = { { {}, true, 0, 50, 10 }, { {}, true, 25, 50, 12 }, { {}, false, 0, 48, 24 },
                                                                     { text, false, 0, textWidth + 48, 24 }, { text, false, 25, textWidth + 50, 25 } };

    for (const auto& [itemText, isSeparator, standard, expectedWidth, expectedHeight] : cases)
    {
        int width = 0, height = 0;
        lookAndFeel.getIdealPopupMenuItemSize (itemText, isSeparator, standard, width, height);
        EXPECT_EQ (juce::Point<int> (width, height), juce::Point<int> (expectedWidth, expectedHeight)) << isSeparator << " " << standard;
    }
}

TEST (ComboBox, SquareOutlinedBoxWithAThinArrowFaintWhenDisabledAndTheLabelClearOfIt)
{
    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
    juce::ComboBox combo;
    combo.addItem ("Off", 1);
    combo.setSelectedId (1, juce::dontSendNotification);
    combo.setSize (120, 27);

    const auto image = paint (combo, "combobox_enabled");
    combo.setEnabled (false);
    const auto disabled = paint (combo, "combobox_disabled");

    for (const auto* each : { &image, &disabled })
        EXPECT_EQ (find (*each, near (Palette::divider)).count, 2 * 120 + 2 * 25) << "the outer ring, enabled or not";

    // The chevron runs from x 93 to 107 and y 11 to 16, stroked 2 wide, in the arrow colour over the fill; at alpha 51 when disabled.
    const auto faintArrow = Palette::panelBackground.overlaidWith (Palette::buttonOutline.withAlpha ((juce::uint8) 51));
    EXPECT_EQ (ink (image, Palette::panelBackground, { 90, 1, 20, 25 }), juce::Rectangle<int> (92, 10, 16, 8));
    EXPECT_TRUE (isNear (mostDrawn (image, Palette::panelBackground, { 90, 1, 20, 25 }), Palette::buttonOutline, 12));
    EXPECT_TRUE (isNear (mostDrawn (disabled, Palette::panelBackground, { 90, 1, 20, 25 }), faintArrow, 12));

    // The label from x 7 to 36 short of the right edge, in the 12-high font.
    const auto& label = dynamic_cast<juce::Label&> (*combo.getChildComponent (0));
    EXPECT_EQ (label.getBounds(), juce::Rectangle<int> (7, 1, 84, 25));
    EXPECT_FLOAT_EQ (label.getFont().getHeight(), 12.0f);
    EXPECT_GE (find (image, near (Palette::buttonOutline, 3)).count, 3);

    // A box's own colours win over the look-and-feel's, as the footer's outline in the bar colour.
    combo.setColour (juce::ComboBox::outlineColourId, Palette::barBackground);
    EXPECT_EQ (find (paint (combo, "combobox_own_outline"), near (Palette::barBackground)).count, 2 * 120 + 2 * 25);
}
