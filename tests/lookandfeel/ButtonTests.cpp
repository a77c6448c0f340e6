#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
float brightness (juce::Colour c)
{
    return (float) c.getRed() + (float) c.getGreen() + (float) c.getBlue();
}

/** Pixels of the button's inside that differ from its fill: its text. */
juce::Rectangle<int> textExtent (const juce::Image& image, juce::Colour fill)
{
    return extent (image, image.getBounds().reduced (1), differsFrom (fill, 6));
}

struct TextButtonTest : public ::testing::Test
{
    TextButtonTest()
    {
        button.setLookAndFeel (&lookAndFeel);
        button.setSize (120, 30);
    }

    ~TextButtonTest() override { button.setLookAndFeel (nullptr); }

    LookAndFeelCustom lookAndFeel;
    juce::TextButton button { "Save" };
};
} // namespace

TEST_F (TextButtonTest, OffAndOnShareFillAndOutlineAndDifferInTextColour)
{
    const auto off = paint (button, "textbutton_off");
    button.setToggleState (true, juce::dontSendNotification);
    const auto on = paint (button, "textbutton_on");

    for (const auto* image : { &off, &on })
    {
        // The outermost ring of pixels is the outline, everything inside it the fill.
        EXPECT_TRUE (pixelIs (*image, 0, 15, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 119, 15, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 60, 0, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 60, 29, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 0, 0, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 1, 15, Palette::panelBackground));
        EXPECT_TRUE (pixelIs (*image, 5, 5, Palette::panelBackground));
        EXPECT_TRUE (pixelIs (*image, 118, 28, Palette::panelBackground));
    }

    // The text colour, inside the outline.
    const auto inside = off.getBounds().reduced (1);
    EXPECT_GE (count (off, inside, near (Palette::dimText, 3)), 5);
    EXPECT_EQ (count (off, inside, near (Palette::text, 12)), 0);
    EXPECT_GE (count (on, inside, near (Palette::text, 3)), 5);
    EXPECT_EQ (count (on, inside, near (Palette::dimText, 3)), 0);
}

TEST_F (TextButtonTest, PressedIsLighterThanHoveredWhichIsLighterThanIdle)
{
    const auto idle = paint (button, "textbutton_idle");
    button.setState (juce::Button::buttonOver);
    const auto hovered = paint (button, "textbutton_hovered");
    button.setState (juce::Button::buttonDown);
    const auto pressed = paint (button, "textbutton_pressed");

    const auto idleFill = idle.getPixelAt (5, 5);
    const auto hoveredFill = hovered.getPixelAt (5, 5);
    const auto pressedFill = pressed.getPixelAt (5, 5);

    EXPECT_GT (brightness (hoveredFill), brightness (idleFill));
    EXPECT_GT (brightness (pressedFill), brightness (hoveredFill));
    EXPECT_GT (brightness (pressedFill) - brightness (hoveredFill), brightness (hoveredFill) - brightness (idleFill));

    // Hover and press change only the fill: outline and text colour stay.
    for (const auto* image : { &hovered, &pressed })
    {
        EXPECT_TRUE (pixelIs (*image, 0, 15, Palette::buttonOutline));
        EXPECT_TRUE (pixelIs (*image, 60, 29, Palette::buttonOutline));
        EXPECT_GE (count (*image, near (Palette::dimText, 3)), 5);
    }
}

TEST_F (TextButtonTest, DisabledShowsFillAndTextAtHalfAlpha)
{
    button.setEnabled (false);
    const auto image = paint (button, "textbutton_disabled");

    const auto fill = backdrop.overlaidWith (Palette::panelBackground.withAlpha (0.5f));
    EXPECT_TRUE (pixelIs (image, 5, 5, fill, 3));
    EXPECT_TRUE (pixelIs (image, 0, 15, Palette::buttonOutline));
    EXPECT_GE (count (image, near (fill.overlaidWith (Palette::dimText.withAlpha (0.5f)), 3)), 5);
    EXPECT_EQ (count (image, near (Palette::dimText, 3)), 0);

    // A parent being disabled is the same as the button being disabled.
    button.setEnabled (true);
    juce::Component parent;
    parent.setSize (120, 30);
    parent.addAndMakeVisible (button);
    parent.setEnabled (false);
    EXPECT_TRUE (sameImages (paint (parent, "textbutton_disabled_parent"), image));
    parent.removeChildComponent (&button);
}

TEST_F (TextButtonTest, FontIsCondensedAtSevenTenthsOfHeightUpTo15)
{
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 30).getHeight(), 15.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, 40).getHeight(), 15.0f);
    EXPECT_NEAR (lookAndFeel.getTextButtonFont (button, 20).getHeight(), 14.0f, 1.0e-4f);
    EXPECT_NEAR (lookAndFeel.getTextButtonFont (button, 10).getHeight(), 7.0f, 1.0e-4f);
    EXPECT_EQ (lookAndFeel.getTextButtonFont (button, 30).getTypefacePtr(),
               getCondensedSemiboldFont().getTypefacePtr());

    // What shows: the text is as wide as the condensed font makes it at that height.
    const juce::String text ("Snare Drum Settings Folder");
    button.setButtonText (text);
    button.setSize (220, 30);
    const auto tall = textExtent (paint (button, "textbutton_font_height30"), Palette::panelBackground);
    button.setSize (220, 20);
    const auto short_ = textExtent (paint (button, "textbutton_font_height20"), Palette::panelBackground);

    const auto width15 = getCondensedSemiboldFont().withHeight (15.0f).getStringWidthFloat (text);
    const auto width14 = getCondensedSemiboldFont().withHeight (14.0f).getStringWidthFloat (text);

    EXPECT_NEAR ((float) tall.getWidth(), width15, 3.0f);
    EXPECT_NEAR ((float) short_.getWidth(), width14, 3.0f);
    EXPECT_NEAR ((float) (tall.getWidth() - short_.getWidth()), width15 - width14, 1.5f);
}

TEST_F (TextButtonTest, NoTextWhenTheIndentsLeaveNoRoom)
{
    // Height 30: indents of min(9, 2 + 4 / 2) = 4 on each side leave nothing of 8 pixels.
    button.setSize (8, 30);
    const auto narrow = paint (button, "textbutton_too_narrow");
    EXPECT_TRUE (textExtent (narrow, Palette::panelBackground).isEmpty());

    button.setSize (40, 30);
    EXPECT_FALSE (textExtent (paint (button, "textbutton_narrow_with_text"), Palette::panelBackground).isEmpty());
}

//==============================================================================
TEST (TickShape, IsAsHighAsAskedAndCentredInTwiceThatWidth)
{
    LookAndFeelCustom lookAndFeel;

    for (auto height : { 1.0f, 10.0f, 24.0f })
    {
        const auto bounds = lookAndFeel.getTickShape (height).getBounds();
        EXPECT_NEAR (bounds.getHeight(), height, height * 1.0e-3f);
        EXPECT_NEAR (bounds.getY(), 0.0f, height * 1.0e-3f);
        EXPECT_NEAR (bounds.getCentreX(), height, height * 1.0e-3f);
        EXPECT_GE (bounds.getX(), 0.0f);
        EXPECT_LE (bounds.getRight(), 2.0f * height);
        // The polygon is slightly narrower than high.
        EXPECT_NEAR (bounds.getWidth(), height * 46.1f / 47.0f, height * 1.0e-3f);
    }

    const auto image = draw (40, 20, "tick_shape_height20", [&lookAndFeel] (juce::Graphics& g)
    {
        g.setColour (Palette::buttonOutline);
        g.fillPath (lookAndFeel.getTickShape (20.0f));
    });

    // A tick: the bottom point filled, the top-left and the bottom-right corners empty.
    EXPECT_TRUE (pixelIs (image, 17, 18, Palette::buttonOutline, 10));
    EXPECT_TRUE (pixelIs (image, 11, 1, backdrop));
    EXPECT_TRUE (pixelIs (image, 28, 18, backdrop));
    EXPECT_TRUE (pixelIs (image, 28, 2, Palette::buttonOutline, 10));
}
