#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
struct AlertBoxTest : public ::testing::Test
{
    /** Draws the box of an alert of the given type and size, with a left-aligned one-line message. */
    juce::Image drawBox (const juce::String& name, juce::MessageBoxIconType type, int numButtons = 1,
                         juce::Rectangle<int> textArea = { 0, 0, 200, 60 })
    {
        juce::AlertWindow alert ("WARNING", {}, type);
        alert.setLookAndFeel (&lookAndFeel);

        for (int i = 0; i < numButtons; ++i)
            alert.addButton ("Button " + juce::String (i + 1), i);

        alert.setSize (300, 150);

        juce::AttributedString message;
        message.append ("User guide does not exist!", juce::Font (12.0f), Palette::buttonOutline);
        message.setJustification (juce::Justification::topLeft);

        juce::TextLayout layout;
        layout.createLayout (message, 280.0f);

        auto image = draw (300, 150, name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawAlertBox (g, alert, textArea, layout);
        });

        alert.setLookAndFeel (nullptr);
        return image;
    }

    /** Where the message text lies: pixels in the text colour's range below the title area. */
    static juce::Rectangle<int> messageExtent (const juce::Image& image)
    {
        return extent (image, { 0, 30, 300, 100 }, [] (juce::Colour c) { return c.getBrightness() > 0.5f; });
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
};
} // namespace

TEST_F (AlertBoxTest, FontsAndButtonHeight)
{
    EXPECT_EQ (lookAndFeel.getAlertWindowButtonHeight(), 24);
    EXPECT_FLOAT_EQ (lookAndFeel.getAlertWindowTitleFont().getHeight(), 15.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getAlertWindowMessageFont().getHeight(), 12.0f);
    EXPECT_FLOAT_EQ (lookAndFeel.getAlertWindowFont().getHeight(), 12.0f);

    for (const auto& font : { lookAndFeel.getAlertWindowTitleFont(), lookAndFeel.getAlertWindowMessageFont(),
                              lookAndFeel.getAlertWindowFont() })
    {
        EXPECT_EQ (font.getStyleFlags(), juce::Font::plain);
        EXPECT_EQ (font.getTypefacePtr()->getName(), getSemiboldFont().getTypefaceName());
    }
}

TEST_F (AlertBoxTest, WithoutIconTextStartsAtTheLeftEdgeOnAPlainBox)
{
    const auto image = drawBox ("alertbox_no_icon", juce::MessageBoxIconType::NoIcon);

    // With this colour table the outline has the background colour: the box is one flat colour.
    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 299, 149, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 30, 100, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 20, 20, Palette::panelBackground));

    const auto text = messageExtent (image);
    ASSERT_FALSE (text.isEmpty());
    EXPECT_GE (text.getX(), 1);
    EXPECT_LE (text.getX(), 4);
    EXPECT_GE (text.getY(), 30);
    EXPECT_LE (text.getY(), 36);
}

TEST_F (AlertBoxTest, OutlineIsTwoPixelsOfWhichTheBackgroundCoversTheInner)
{
    lookAndFeel.setColour (juce::AlertWindow::outlineColourId, juce::Colours::red);
    const auto image = drawBox ("alertbox_red_outline", juce::MessageBoxIconType::NoIcon);

    EXPECT_TRUE (pixelIs (image, 0, 75, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 150, 0, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 299, 75, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 150, 149, juce::Colours::red));
    EXPECT_TRUE (pixelIs (image, 1, 75, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 150, 1, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 298, 148, Palette::panelBackground));
}

TEST_F (AlertBoxTest, WarningShowsARoundedTriangleWithTheMarkCutOutAndMovesTheText)
{
    const auto image = drawBox ("alertbox_warning", juce::MessageBoxIconType::WarningIcon);
    const auto iconColour = Palette::panelBackground.overlaidWith (juce::Colour (0x66FF2A00));

    // Icon size min(130, 148 + 20): the triangle runs from (52, -13) to (-13, 117) and (117, 117).
    EXPECT_TRUE (pixelIs (image, 30, 100, iconColour, 3));
    EXPECT_TRUE (pixelIs (image, 80, 100, iconColour, 3));
    EXPECT_TRUE (pixelIs (image, 52, 5, iconColour, 3));
    EXPECT_TRUE (pixelIs (image, 110, 20, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 2, 20, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 52, 130, Palette::panelBackground));

    // Corners are rounded: the tip of the bottom-right corner is not filled.
    EXPECT_TRUE (pixelIs (image, 116, 116, Palette::panelBackground, 6));
    EXPECT_TRUE (pixelIs (image, 100, 115, iconColour, 3));

    // The "!" is cut out of the middle column, so the background shows through there.
    EXPECT_GE (count (image, { 45, 20, 15, 95 }, near (Palette::panelBackground)), 40);

    const auto text = messageExtent (image);
    ASSERT_FALSE (text.isEmpty());
    EXPECT_GE (text.getX(), 81);
    EXPECT_LE (text.getX(), 84);
}

TEST_F (AlertBoxTest, InformationAndQuestionShowADiscWithTheirOwnMark)
{
    const auto info = drawBox ("alertbox_information", juce::MessageBoxIconType::InfoIcon);
    const auto question = drawBox ("alertbox_question", juce::MessageBoxIconType::QuestionIcon);
    const auto discColour = Palette::panelBackground.overlaidWith (juce::Colour (0x6600B0B9));

    for (const auto* image : { &info, &question })
    {
        // A disc of 130 centred at (52, 52).
        EXPECT_TRUE (pixelIs (*image, 10, 52, discColour, 3));
        EXPECT_TRUE (pixelIs (*image, 100, 90, discColour, 3));
        EXPECT_TRUE (pixelIs (*image, 110, 110, Palette::panelBackground));
        EXPECT_GE (messageExtent (*image).getX(), 81);

        // The mark is cut out of the middle of the disc.
        EXPECT_GE (count (*image, { 35, 10, 35, 90 }, near (Palette::panelBackground)), 30);
    }

    // Only the mark differs.
    EXPECT_FALSE (sameImages (info, question));
}

TEST_F (AlertBoxTest, ThreeButtonsLimitTheIconToTheTextAreaPlus50)
{
    const auto two = drawBox ("alertbox_info_two_buttons", juce::MessageBoxIconType::InfoIcon, 2, { 0, 0, 200, 20 });
    const auto three = drawBox ("alertbox_info_three_buttons", juce::MessageBoxIconType::InfoIcon, 3, { 0, 0, 200, 20 });
    const auto discColour = Palette::panelBackground.overlaidWith (juce::Colour (0x6600B0B9));

    // Two buttons: the full disc of 130. Three: min(130, 20 + 50) = 70, centred at (28, 28).
    EXPECT_TRUE (pixelIs (two, 28, 75, discColour, 3));
    EXPECT_TRUE (pixelIs (three, 28, 75, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (three, 8, 28, discColour, 3));
    EXPECT_TRUE (pixelIs (three, 40, 55, discColour, 3));
    EXPECT_TRUE (pixelIs (three, 28, 66, Palette::panelBackground));
}

TEST_F (AlertBoxTest, ARealAlertWindowPaintsThroughTheLookAndFeel)
{
    juce::AlertWindow alert ("WARNING", "User guide does not exist!", juce::MessageBoxIconType::NoIcon);
    alert.setLookAndFeel (&lookAndFeel);
    alert.addButton ("OK", 1);

    const auto image = paint (alert, "alertwindow_user_guide");
    alert.setLookAndFeel (nullptr);

    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground));
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 20);
}
