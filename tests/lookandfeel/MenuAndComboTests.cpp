#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
struct PopupMenuTest : public ::testing::Test
{
    struct Item
    {
        explicit Item (juce::String itemText = {}) : text (std::move (itemText)) {}

        Item& separator()                          { isSeparator = true; return *this; }
        Item& inactive()                           { isActive = false; return *this; }
        Item& highlighted()                        { isHighlighted = true; return *this; }
        Item& ticked()                             { isTicked = true; return *this; }
        Item& submenu()                            { hasSubMenu = true; return *this; }
        Item& withShortcut (juce::String s)        { shortcut = std::move (s); return *this; }
        Item& withIcon (const juce::Drawable& d)   { icon = &d; return *this; }
        Item& withTextColour (const juce::Colour& c) { textColour = &c; return *this; }

        juce::String text;
        bool isSeparator = false, isActive = true, isHighlighted = false, isTicked = false, hasSubMenu = false;
        juce::String shortcut;
        const juce::Drawable* icon = nullptr;
        const juce::Colour* textColour = nullptr;
    };

    /** Draws one item over the menu's background, as the menu window does. */
    juce::Image drawItem (const juce::String& name, const Item& item, int width = 200, int height = 24)
    {
        return draw (width, height, name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawPopupMenuBackground (g, width, height);
            lookAndFeel.drawPopupMenuItem (g, { 0, 0, width, height }, item.isSeparator, item.isActive,
                                           item.isHighlighted, item.isTicked, item.hasSubMenu, item.text,
                                           item.shortcut, item.icon, item.textColour);
        });
    }

    static juce::Rectangle<int> inkExtent (const juce::Image& image, juce::Colour background = Palette::panelBackground)
    {
        return extent (image, differsFrom (background, 4));
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
};
} // namespace

TEST_F (PopupMenuTest, BackgroundIsPlainPanelColourWithoutOutline)
{
    const auto image = draw (150, 90, "menu_background", [this] (juce::Graphics& g)
    {
        lookAndFeel.drawPopupMenuBackground (g, 150, 90);
    });

    EXPECT_EQ (count (image, differsFrom (Palette::panelBackground, 0)), 0);
}

TEST_F (PopupMenuTest, SeparatorIsOneFaintLineAcrossTheMiddleInsetBy5)
{
    const auto image = drawItem ("menu_separator", Item().separator(), 120, 10);
    const auto line = inkExtent (image);

    EXPECT_EQ (line.getX(), 5);
    EXPECT_EQ (line.getRight(), 115);
    EXPECT_EQ (line.getHeight(), 1);
    EXPECT_GE (line.getY(), 4);
    EXPECT_LE (line.getY(), 5);
    EXPECT_TRUE (pixelIs (image, 60, line.getY(),
                          Palette::panelBackground.overlaidWith (Palette::buttonOutline.withAlpha ((juce::uint8) 76))));
}

TEST_F (PopupMenuTest, HighlightedActiveItemFillsInsideA1PixelMargin)
{
    const auto image = drawItem ("menu_item_highlighted", Item ("Copy voice settings").highlighted());

    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 199, 23, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 1, 1, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 198, 22, Palette::barBackground));
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 5);
}

TEST_F (PopupMenuTest, InactiveItemIsNeverHighlightedAndDrawsAtHalfAlpha)
{
    const auto image = drawItem ("menu_item_inactive_under_mouse", Item ("Paste voice settings").inactive().highlighted());
    const auto halfText = Palette::panelBackground.overlaidWith (Palette::buttonOutline.withMultipliedAlpha (0.5f));

    EXPECT_EQ (count (image, near (Palette::barBackground, 1)), 0);
    EXPECT_EQ (count (image, near (Palette::buttonOutline, 12)), 0);
    EXPECT_GE (count (image, near (halfText, 3)), 5);
}

TEST_F (PopupMenuTest, TextColourArgumentAppliesUnlessHighlighted)
{
    const auto red = juce::Colours::red;
    const auto plain = drawItem ("menu_item_own_text_colour", Item ("Red").withTextColour (red));
    const auto highlighted = drawItem ("menu_item_own_text_colour_highlighted",
                                       Item ("Red").highlighted().withTextColour (red));

    EXPECT_GE (count (plain, near (red, 3)), 5);
    EXPECT_EQ (count (highlighted, near (red, 40)), 0);
    EXPECT_GE (count (highlighted, near (Palette::buttonOutline, 3)), 5);
}

TEST_F (PopupMenuTest, TickIsCentredInHalfTheIconColumn)
{
    const auto image = drawItem ("menu_item_ticked", Item().ticked());
    const auto tick = inkExtent (image);

    // Item 200 x 24: r = (6, 1, 188, 22); icon column 17 wide from x 6; the tick's strip is x 10.25 to 18.75.
    ASSERT_FALSE (tick.isEmpty());
    EXPECT_GE (tick.getX(), 10);
    EXPECT_LE (tick.getRight(), 19);
    EXPECT_GE (tick.getWidth(), 8);
    EXPECT_NEAR (tick.getCentreY(), 12, 1);
    EXPECT_LE (tick.getHeight(), 10);
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 3);
}

TEST_F (PopupMenuTest, IconReplacesTheTick)
{
    juce::DrawableRectangle icon;
    icon.setRectangle (juce::Parallelogram<float> (juce::Rectangle<float> (0.0f, 0.0f, 10.0f, 10.0f)));
    icon.setFill (juce::Colours::red);

    const auto image = drawItem ("menu_item_ticked_with_icon", Item().ticked().withIcon (icon));

    EXPECT_GE (count (image, near (juce::Colours::red, 3)), 50);
    // Red blended into the background never raises green; any grey of a tick would.
    EXPECT_EQ (count (image, [] (juce::Colour c) { return c.getGreen() > Palette::panelBackground.getGreen() + 4; }), 0);
}

TEST_F (PopupMenuTest, SubmenuChevronHasOneSizeWhateverTheItemHeight)
{
    const auto tall = drawItem ("menu_item_submenu_24", Item().submenu());
    const auto short_ = drawItem ("menu_item_submenu_14", Item().submenu(), 200, 14);

    const auto tallChevron = inkExtent (tall);
    const auto shortChevron = inkExtent (short_);

    ASSERT_FALSE (tallChevron.isEmpty());
    EXPECT_EQ (tallChevron.getWidth(), shortChevron.getWidth());
    EXPECT_EQ (tallChevron.getHeight(), shortChevron.getHeight());

    // At the right of the item, pointing right: its middle row reaches further right than its ends.
    EXPECT_LE (tallChevron.getRight(), 200 - 1 - 5 + 1);
    EXPECT_GE (tallChevron.getX(), 180);
    EXPECT_NEAR (tallChevron.getCentreY(), 12, 1);
    EXPECT_NEAR (shortChevron.getCentreY(), 7, 1);

    const auto middleRow = extent (tall, { 0, 12, 200, 1 }, differsFrom (Palette::panelBackground, 4));
    const auto topRow = extent (tall, { 0, tallChevron.getY() + 1, 200, 1 }, differsFrom (Palette::panelBackground, 4));
    EXPECT_GT (middleRow.getRight(), topRow.getRight());
}

TEST_F (PopupMenuTest, ShortItemsShrinkTheFontAndTheIconColumn)
{
    const auto tall = drawItem ("menu_item_text_24", Item ("Kick"));
    const auto short_ = drawItem ("menu_item_text_14", Item ("Kick"), 200, 14);

    const auto tallText = inkExtent (tall);
    const auto shortText = inkExtent (short_);

    // Text starts after the margin (1 + 5) and the icon column: 17 wide at 24 high, 9 wide at 14 high.
    EXPECT_GE (tallText.getX(), 23);
    EXPECT_LE (tallText.getX(), 25);
    EXPECT_GE (shortText.getX(), 15);
    EXPECT_LE (shortText.getX(), 17);
    EXPECT_LT (shortText.getHeight(), tallText.getHeight());
    EXPECT_LT (shortText.getWidth(), tallText.getWidth());
}

TEST_F (PopupMenuTest, ShortcutTextIsRightAlignedAndSmaller)
{
    const auto without = drawItem ("menu_item_no_shortcut", Item ("Copy"));
    const auto with = drawItem ("menu_item_shortcut", Item ("Copy").withShortcut ("Ctrl+C"));

    EXPECT_LT (inkExtent (without).getRight(), 100);
    // r ends at 200 - 1 - 5 - 3.
    EXPECT_GE (inkExtent (with).getRight(), 185);
    EXPECT_LE (inkExtent (with).getRight(), 191);

    const auto shortcut = extent (with, { 100, 0, 100, 24 }, differsFrom (Palette::panelBackground, 4));
    const auto text = extent (with, { 0, 0, 100, 24 }, differsFrom (Palette::panelBackground, 4));
    EXPECT_LT (shortcut.getHeight(), text.getHeight() + 1);
}

TEST_F (PopupMenuTest, IdealSizes)
{
    EXPECT_FLOAT_EQ (lookAndFeel.getPopupMenuFont().getHeight(), 12.0f);
    EXPECT_EQ (lookAndFeel.getPopupMenuFont().getStyleFlags(), juce::Font::plain);

    int width = 0, height = 0;

    lookAndFeel.getIdealPopupMenuItemSize ({}, true, 0, width, height);
    EXPECT_EQ (width, 50);
    EXPECT_EQ (height, 10);
    lookAndFeel.getIdealPopupMenuItemSize ({}, true, 30, width, height);
    EXPECT_EQ (height, 15);

    // Without a standard height: twice the 12-high font, and the text's width plus twice the height.
    lookAndFeel.getIdealPopupMenuItemSize ({}, false, 0, width, height);
    EXPECT_EQ (height, 24);
    EXPECT_EQ (width, 48);

    const juce::String text ("Choke group 3");
    const auto textWidth12 = (int) std::ceil (juce::Font (12.0f).getStringWidthFloat (text));
    lookAndFeel.getIdealPopupMenuItemSize (text, false, 0, width, height);
    EXPECT_EQ (width, textWidth12 + 48);

    // A standard height of 30 keeps the 12-high font; one of 20 shrinks it to 10.
    lookAndFeel.getIdealPopupMenuItemSize (text, false, 30, width, height);
    EXPECT_EQ (height, 30);
    EXPECT_EQ (width, textWidth12 + 60);

    lookAndFeel.getIdealPopupMenuItemSize (text, false, 20, width, height);
    EXPECT_EQ (height, 20);
    EXPECT_EQ (width, (int) std::ceil (juce::Font (10.0f).getStringWidthFloat (text)) + 40);
    EXPECT_LT (width, textWidth12 + 40);
}

//==============================================================================
namespace
{
struct ComboBoxTest : public ::testing::Test
{
    ComboBoxTest()
    {
        combo.setLookAndFeel (&lookAndFeel);
        combo.addItem ("Off", 1);
        combo.addItem ("On", 2);
        combo.setSelectedId (1, juce::dontSendNotification);
        combo.setSize (120, 27);
    }

    ~ComboBoxTest() override { combo.setLookAndFeel (nullptr); }

    juce::Label* label() const
    {
        for (auto* child : combo.getChildren())
            if (auto* l = dynamic_cast<juce::Label*> (child))
                return l;

        return nullptr;
    }

    /** How far the brightest pixel of the arrow zone stands out of the fill, in the green channel. */
    static int arrowStrength (const juce::Image& image)
    {
        auto strongest = 0;

        for (int y = 1; y < image.getHeight() - 1; ++y)
            for (int x = image.getWidth() - 30; x < image.getWidth() - 10; ++x)
                strongest = juce::jmax (strongest, (int) image.getPixelAt (x, y).getGreen()
                                                   - (int) Palette::panelBackground.getGreen());

        return strongest;
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::ComboBox combo;
};
} // namespace

TEST_F (ComboBoxTest, SquareBoxWithOutlineAndAThinDownwardArrow)
{
    const auto image = paint (combo, "combobox_enabled");

    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::divider));
    EXPECT_TRUE (pixelIs (image, 0, 13, Palette::divider));
    EXPECT_TRUE (pixelIs (image, 119, 26, Palette::divider));
    EXPECT_TRUE (pixelIs (image, 60, 0, Palette::divider));
    EXPECT_TRUE (pixelIs (image, 1, 1, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 118, 25, Palette::panelBackground));

    // The chevron spans x 93 to 107 around y 11 to 16, in the arrow colour at full alpha.
    const auto arrow = extent (image, { 90, 1, 20, 25 }, differsFrom (Palette::panelBackground, 4));
    EXPECT_NEAR (arrow.getX(), 93, 1);
    EXPECT_NEAR (arrow.getRight(), 107, 1);
    EXPECT_NEAR (arrow.getY(), 10, 1);
    EXPECT_NEAR (arrow.getBottom(), 18, 1);
    EXPECT_GT (arrowStrength (image), 120);

    // The text in the box's text colour, from the label's left edge at 7 plus the label's own border of 5.
    const auto text = extent (image, { 1, 1, 88, 25 }, differsFrom (Palette::panelBackground, 4));
    EXPECT_GE (text.getX(), 12);
    EXPECT_LE (text.getX(), 14);
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 3);
}

TEST_F (ComboBoxTest, DisabledBoxOrParentDrawsTheArrowAtAlpha51Only)
{
    const auto enabled = paint (combo, "combobox_enabled_reference");
    combo.setEnabled (false);
    const auto disabled = paint (combo, "combobox_disabled");
    combo.setEnabled (true);

    juce::Component parent;
    parent.setSize (120, 27);
    parent.addAndMakeVisible (combo);
    parent.setEnabled (false);
    const auto inDisabledParent = paint (parent, "combobox_in_disabled_parent");
    parent.removeChildComponent (&combo);

    for (const auto* image : { &disabled, &inDisabledParent })
    {
        EXPECT_NEAR ((float) arrowStrength (*image) / (float) arrowStrength (enabled), 51.0f / 255.0f, 0.03f);
        EXPECT_TRUE (pixelIs (*image, 0, 13, Palette::divider));
        EXPECT_TRUE (pixelIs (*image, 1, 1, Palette::panelBackground));
    }
}

TEST_F (ComboBoxTest, LabelSitsBetweenTheLeftInsetAndTheArrowZone)
{
    auto* text = label();
    ASSERT_NE (text, nullptr);
    EXPECT_EQ (text->getBounds(), juce::Rectangle<int> (7, 1, 84, 25));
    EXPECT_FLOAT_EQ (text->getFont().getHeight(), 12.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getComboBoxFont (combo).getHeight(), 12.0f);

    combo.setSize (300, 60);
    EXPECT_EQ (text->getBounds(), juce::Rectangle<int> (7, 1, 264, 58));
    EXPECT_FLOAT_EQ (text->getFont().getHeight(), 12.0f);

    combo.setSize (30, 27);
    EXPECT_EQ (text->getWidth(), 0);
}

TEST_F (ComboBoxTest, DropDownOfA27HighBoxHas25HighItemsAnd12HighSeparators)
{
    auto* text = label();
    ASSERT_NE (text, nullptr);

    // The drop-down asks for items as high as the label.
    int width = 0, height = 0;
    lookAndFeel.getIdealPopupMenuItemSize ("Off", false, text->getHeight(), width, height);
    EXPECT_EQ (height, 25);
    lookAndFeel.getIdealPopupMenuItemSize ({}, true, text->getHeight(), width, height);
    EXPECT_EQ (height, 12);
}
