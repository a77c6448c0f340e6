#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/LookAndFeelPresetName.h"
#include "lookandfeel/LookAndFeelTabButton.h"
#include "lookandfeel/LookAndFeelTextEditorBordered.h"
#include "lookandfeel/LookAndFeelTextOnlyButton.h"

using namespace testimages;

namespace
{
/** Installs a look-and-feel on a component for the length of a scope. */
struct ScopedLookAndFeel
{
    ScopedLookAndFeel (juce::Component& c, juce::LookAndFeel& lookAndFeel) : component (c)
    {
        component.setLookAndFeel (&lookAndFeel);
    }

    ~ScopedLookAndFeel() { component.setLookAndFeel (nullptr); }

    juce::Component& component;
};

/** Text lines: bands of rows holding ink, separated by empty rows. */
int countTextLines (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background)
{
    auto lines = 0;
    auto inLine = false;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
    {
        const auto hasInk = count (image, { area.getX(), y, area.getWidth(), 1 }, differsFrom (background, 30)) > 0;

        if (hasInk && ! inLine)
            ++lines;

        inLine = hasInk;
    }

    return lines;
}
} // namespace

TEST (LookAndFeelPresetName, NoBackgroundAndA12HighPlainFontWhateverTheHeight)
{
    LookAndFeelPresetName lookAndFeel;
    juce::TextButton button ("Factory / 808 Classic");
    ScopedLookAndFeel scoped (button, lookAndFeel);

    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 20).getHeight(), 12.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 60).getHeight(), 12.0f);
    EXPECT_EQ (lookAndFeel.getTextButtonFont (button, 60).getStyleFlags(), juce::Font::plain);

    button.setSize (200, 24);
    const auto image = paint (button, "presetname_idle");

    // Behind the text the backdrop shows, even at the edges where the outline would be.
    EXPECT_TRUE (pixelIs (image, 0, 12, backdrop));
    EXPECT_TRUE (pixelIs (image, 100, 0, backdrop));
    EXPECT_TRUE (pixelIs (image, 199, 23, backdrop));
    EXPECT_TRUE (pixelIs (image, 3, 3, backdrop));

    // Text drawn by the inherited routine: centred, in the off colour.
    const auto text = extent (image, differsFrom (backdrop, 4));
    ASSERT_FALSE (text.isEmpty());
    EXPECT_NEAR (text.getCentreX(), 100, 3);
    EXPECT_TRUE (inkIs (image, image.getBounds(), backdrop, Palette::dimText));

    // No hover or press look.
    button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (sameImages (paint (button, "presetname_hovered"), image));
    button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (sameImages (paint (button, "presetname_pressed"), image));

    // The same 12-high text in a much taller box.
    button.setState (juce::Button::buttonNormal);
    button.setSize (200, 60);
    const auto tall = extent (paint (button, "presetname_tall"), differsFrom (backdrop, 4));
    EXPECT_EQ (tall.getWidth(), text.getWidth());
    EXPECT_EQ (tall.getHeight(), text.getHeight());
}

//==============================================================================
namespace
{
struct TabButtonTest : public ::testing::Test
{
    TabButtonTest()
    {
        lookAndFeel.tabColour = Palette::teal;
        button.setSize (120, 30);
    }

    LookAndFeelTabButton lookAndFeel;
    juce::TextButton button { "Snare" };
    ScopedLookAndFeel scoped { button, lookAndFeel };
};
} // namespace

TEST_F (TabButtonTest, DefaultTabColourIsTheTextColour)
{
    LookAndFeelTabButton fresh;
    EXPECT_EQ (fresh.tabColour, Palette::text);
}

TEST_F (TabButtonTest, OffTabShowsADividerLineAndDimText)
{
    const auto image = paint (button, "tab_off");

    EXPECT_EQ (extent (image, { 0, 29, 120, 1 }, near (Palette::divider, 0)), juce::Rectangle<int> (0, 29, 120, 1));
    EXPECT_EQ (count (image, { 0, 0, 120, 29 }, near (Palette::divider, 1)), 0);
    EXPECT_TRUE (pixelIs (image, 0, 0, backdrop));
    EXPECT_TRUE (pixelIs (image, 0, 28, backdrop));
    EXPECT_TRUE (pixelIs (image, 119, 15, backdrop));

    EXPECT_GE (count (image, near (Palette::dimText, 3)), 3);
    EXPECT_EQ (count (image, near (Palette::teal, 20)), 0);
}

TEST_F (TabButtonTest, OnTabShowsLineAndTextInItsAccent)
{
    button.setToggleState (true, juce::dontSendNotification);
    const auto image = paint (button, "tab_on_teal");

    EXPECT_EQ (extent (image, { 0, 29, 120, 1 }, near (Palette::teal, 0)), juce::Rectangle<int> (0, 29, 120, 1));
    EXPECT_GE (count (image, { 0, 0, 120, 29 }, near (Palette::teal, 3)), 3);
    EXPECT_EQ (count (image, near (Palette::dimText, 3)), 0);
    EXPECT_TRUE (pixelIs (image, 0, 28, backdrop));
}

TEST_F (TabButtonTest, TextIsSemiboldAt15CentredRightOfThePadSpace)
{
    const auto image = paint (button, "tab_text_placement");
    const auto text = extent (image, { 0, 0, 120, 29 }, differsFrom (backdrop, 4));
    const auto expectedWidth = getSemiboldFont().withHeight (15.0f).getStringWidthFloat ("Snare");

    ASSERT_FALSE (text.isEmpty());
    EXPECT_GE (text.getX(), 22);
    EXPECT_NEAR ((float) text.getWidth(), expectedWidth, 3.0f);
    // Centred in (22, 2, 98, 28).
    EXPECT_NEAR ((float) text.getCentreX(), 22.0f + 98.0f / 2.0f, 2.0f);
    EXPECT_NEAR ((float) text.getCentreY(), 2.0f + 28.0f / 2.0f, 3.0f);
}

TEST_F (TabButtonTest, NoHoverPressOrDisabledLook)
{
    const auto idle = paint (button, "tab_idle");
    button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (sameImages (paint (button, "tab_hovered"), idle));
    button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (sameImages (paint (button, "tab_pressed"), idle));
    button.setState (juce::Button::buttonNormal);
    button.setEnabled (false);
    EXPECT_TRUE (sameImages (paint (button, "tab_disabled"), idle));
}

TEST_F (TabButtonTest, NarrowTabsShowOnlyTheirLine)
{
    button.setSize (22, 30);
    const auto narrow = paint (button, "tab_width22");
    EXPECT_EQ (count (narrow, { 0, 0, 22, 29 }, differsFrom (backdrop, 0)), 0);
    EXPECT_EQ (extent (narrow, differsFrom (backdrop, 0)), juce::Rectangle<int> (0, 29, 22, 1));

    // At 23 the text area is a single pixel wide, at x 22.
    button.setSize (23, 30);
    const auto oneWide = paint (button, "tab_width23");
    EXPECT_EQ (count (oneWide, { 0, 0, 21, 29 }, differsFrom (backdrop, 0)), 0);
    EXPECT_EQ (extent (oneWide, { 0, 29, 23, 1 }, near (Palette::divider, 0)), juce::Rectangle<int> (0, 29, 23, 1));
}

TEST_F (TabButtonTest, TextNeverTakesMoreThanTwoLines)
{
    button.setButtonText ("Kick Snare Clap Tom Hat Ride Crash Cowbell Rimshot Conga");
    button.setSize (100, 80);
    const auto image = paint (button, "tab_long_text");

    EXPECT_LE (countTextLines (image, { 22, 0, 78, 79 }, backdrop), 2);
    EXPECT_GE (countTextLines (image, { 22, 0, 78, 79 }, backdrop), 1);
}

//==============================================================================
namespace
{
struct BorderedEditorTest : public ::testing::Test
{
    BorderedEditorTest()
    {
        editor.setText ("C1", juce::dontSendNotification);
        editor.setSize (60, 24);
    }

    /** Paints the editor alone, as its parent would. */
    juce::Image paintEditor (const juce::String& name)
    {
        return paint (editor, name);
    }

    LookAndFeelTextEditorBordered lookAndFeel;
    juce::TextEditor editor;
    ScopedLookAndFeel scoped { editor, lookAndFeel };
};
} // namespace

TEST_F (BorderedEditorTest, OutlineIsOneDividerPixelAroundTheEditor)
{
    const auto image = paintEditor ("texteditor_bordered");

    for (auto p : { juce::Point<int> (0, 0), juce::Point<int> (0, 12), juce::Point<int> (59, 12),
                    juce::Point<int> (30, 0), juce::Point<int> (30, 23), juce::Point<int> (59, 23) })
        EXPECT_TRUE (pixelIs (image, p.x, p.y, Palette::divider)) << p.toString();

    EXPECT_TRUE (pixelIs (image, 1, 12, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 58, 1, Palette::panelBackground));
}

TEST_F (BorderedEditorTest, FocusedOrReadOnlyEditorKeepsTheSameOutline)
{
    const auto unfocused = paintEditor ("texteditor_bordered_unfocused");

    editor.setReadOnly (true);
    EXPECT_TRUE (sameImages (paintEditor ("texteditor_bordered_read_only"), unfocused));
    editor.setReadOnly (false);

    // Keyboard focus needs the editor on screen.
    juce::Component window;
    window.setBounds (0, 0, 100, 50);
    window.addAndMakeVisible (editor);
    window.addToDesktop (0);
    window.setVisible (true);
    editor.grabKeyboardFocus();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);

    if (! editor.hasKeyboardFocus (true))
    {
        window.removeChildComponent (&editor);
        GTEST_SKIP() << "the display gives no keyboard focus";
    }

    editor.setCaretVisible (false);
    const auto focused = paintEditor ("texteditor_bordered_focused");
    window.removeChildComponent (&editor);

    EXPECT_TRUE (pixelIs (focused, 0, 12, Palette::divider));
    EXPECT_TRUE (pixelIs (focused, 1, 12, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (focused, 30, 1, Palette::panelBackground));
}

TEST_F (BorderedEditorTest, DisabledEditorOrOneInAnAlertWindowHasNoOutline)
{
    editor.setEnabled (false);
    const auto disabled = paintEditor ("texteditor_bordered_disabled");
    EXPECT_EQ (count (disabled, near (Palette::divider, 2)), 0);
    editor.setEnabled (true);

    juce::Component parent;
    parent.setSize (60, 24);
    parent.addAndMakeVisible (editor);
    parent.setEnabled (false);
    EXPECT_EQ (count (paintEditor ("texteditor_bordered_disabled_parent"), near (Palette::divider, 2)), 0);
    parent.removeChildComponent (&editor);

    juce::AlertWindow alert ("Note", {}, juce::MessageBoxIconType::NoIcon);
    alert.addAndMakeVisible (editor);
    EXPECT_EQ (count (paintEditor ("texteditor_bordered_in_alert"), near (Palette::divider, 2)), 0);
    alert.removeChildComponent (&editor);
}

//==============================================================================
namespace
{
struct TextOnlyButtonTest : public ::testing::Test
{
    TextOnlyButtonTest() { button.setSize (150, 30); }

    LookAndFeelTextOnlyButton lookAndFeel;
    juce::TextButton button { "Organise..." };
    ScopedLookAndFeel scoped { button, lookAndFeel };
    LookAndFeelCustom defaultLookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { defaultLookAndFeel };
};
} // namespace

TEST_F (TextOnlyButtonTest, InitialFontAndJustification)
{
    EXPECT_FLOAT_EQ (lookAndFeel.font.getHeight(), 15.0f);
    EXPECT_EQ (lookAndFeel.font.getStyleFlags(), juce::Font::plain);
    EXPECT_EQ (lookAndFeel.justification.getFlags(), juce::Justification::left);
}

TEST_F (TextOnlyButtonTest, OnlyTextLeftAlignedAndVerticallyCentred)
{
    const auto image = paint (button, "textonly_off");
    const auto text = extent (image, differsFrom (backdrop, 4));

    EXPECT_TRUE (pixelIs (image, 0, 0, backdrop));
    EXPECT_TRUE (pixelIs (image, 149, 29, backdrop));
    EXPECT_TRUE (pixelIs (image, 75, 0, backdrop));
    ASSERT_FALSE (text.isEmpty());
    EXPECT_LE (text.getX(), 2);
    EXPECT_NEAR (text.getCentreY(), 15, 3);
    EXPECT_GE (count (image, near (Palette::dimText, 3)), 3);

    button.setToggleState (true, juce::dontSendNotification);
    const auto on = paint (button, "textonly_on");
    EXPECT_GE (count (on, near (Palette::text, 3)), 3);
    EXPECT_EQ (count (on, near (Palette::dimText, 3)), 0);

    // No hover or press look.
    button.setState (juce::Button::buttonOver);
    EXPECT_TRUE (sameImages (paint (button, "textonly_on_hovered"), on));
    button.setState (juce::Button::buttonDown);
    EXPECT_TRUE (sameImages (paint (button, "textonly_on_pressed"), on));
}

TEST_F (TextOnlyButtonTest, DisabledTextIsAtHalfAlpha)
{
    button.setEnabled (false);
    const auto image = paint (button, "textonly_disabled");

    EXPECT_GE (count (image, near (backdrop.overlaidWith (Palette::dimText.withMultipliedAlpha (0.5f)), 3)), 3);
    EXPECT_EQ (count (image, near (Palette::dimText, 3)), 0);
}

TEST_F (TextOnlyButtonTest, TextHeightIsAtMostSevenTenthsOfTheButton)
{
    const auto width15 = juce::Font (15.0f).getStringWidthFloat ("Organise...");
    const auto width14 = juce::Font (14.0f).getStringWidthFloat ("Organise...");

    button.setSize (150, 22);
    const auto at22 = extent (paint (button, "textonly_height22"), differsFrom (backdrop, 4));
    button.setSize (150, 40);
    const auto at40 = extent (paint (button, "textonly_height40"), differsFrom (backdrop, 4));
    button.setSize (150, 20);
    const auto at20 = extent (paint (button, "textonly_height20"), differsFrom (backdrop, 4));

    EXPECT_EQ (at22.getWidth(), at40.getWidth());
    EXPECT_NEAR ((float) at22.getWidth(), width15, 3.0f);
    EXPECT_NEAR ((float) at20.getWidth(), width14, 3.0f);
    EXPECT_NEAR ((float) (at22.getWidth() - at20.getWidth()), width15 - width14, 1.5f);
}

//==============================================================================
TEST (Variants, KeepEverythingElseOfTheCustomLook)
{
    LookAndFeelCustom custom;
    LookAndFeelTabButton tab;
    LookAndFeelPresetName presetName;
    LookAndFeelTextEditorBordered bordered;
    LookAndFeelTextOnlyButton textOnly;

    juce::TreeView tree;
    juce::ComboBox combo;
    combo.addItem ("Off", 1);
    combo.setSelectedId (1, juce::dontSendNotification);
    combo.setSize (120, 27);

    combo.setLookAndFeel (&custom);
    const auto reference = paint (combo, "variants_combobox_custom");

    for (auto* variant : std::initializer_list<LookAndFeelCustom*> { &tab, &presetName, &bordered, &textOnly })
    {
        combo.setLookAndFeel (variant);
        EXPECT_TRUE (sameImages (paint (combo, "variants_combobox_variant"), reference));
        EXPECT_EQ (variant->findColour (juce::PopupMenu::highlightedBackgroundColourId), Palette::barBackground);
        EXPECT_EQ (variant->getTreeViewIndentSize (tree), 24);
    }

    combo.setLookAndFeel (nullptr);
}
