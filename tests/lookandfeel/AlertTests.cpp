#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
struct AlertBoxTest : public ::testing::Test
{
    /** Draws the box of a 300 x 150 alert with a centred one-line message, and finds the message's bright pixels. */
    juce::Image drawBox (const juce::String& name, juce::MessageBoxIconType type, int numButtons = 1, int textHeight = 60)
    {
        juce::AlertWindow alert ("WARNING", {}, type);
        alert.setLookAndFeel (&lookAndFeel);
        for (int i = 0; i < numButtons; ++i)
            alert.addButton ("Button " + juce::String (i), i);
        alert.setSize (300, 150);

        juce::AttributedString message;
        message.append ("User guide does not exist!", juce::Font (12.0f), Palette::buttonOutline);
        message.setJustification (juce::Justification::centred);
        juce::TextLayout layout;
        layout.createLayout (message, 280.0f);

        auto image = draw (300, 150, "alertbox_" + name, [&] (juce::Graphics& g) { lookAndFeel.drawAlertBox (g, alert, { 0, 0, 200, textHeight }, layout); });
        messageArea = find (image, [] (juce::Colour c) { return c.getBrightness() > 0.5f; }, { 0, 30, 300, 100 }).bounds.toFloat();
        alert.setLookAndFeel (nullptr);
        return image;
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::Rectangle<float> messageArea;
    const juce::Colour warningColour = Palette::panelBackground.overlaidWith (juce::Colour (0x66FF2A00));
    const juce::Colour discColour = Palette::panelBackground.overlaidWith (juce::Colour (0x6600B0B9));
};
} // namespace

TEST_F (AlertBoxTest, FontsAreSemibold15And12AndButtons24High)
{
    EXPECT_EQ (lookAndFeel.getAlertWindowButtonHeight(), 24);

    for (const auto& [font, height] : { std::pair (lookAndFeel.getAlertWindowTitleFont(), 15.0f), std::pair (lookAndFeel.getAlertWindowMessageFont(), 12.0f),
                                        std::pair (lookAndFeel.getAlertWindowFont(), 12.0f) })
    {
        EXPECT_FLOAT_EQ (font.getHeight(), height);
        EXPECT_EQ (font.getStyleFlags(), juce::Font::plain);
        EXPECT_EQ (font.getTypefacePtr()->getName(), getSemiboldFont().getTypefaceName());
    }
}

TEST_F (AlertBoxTest, WithoutIconAPlainBoxWithTheTextAcrossItAndA2PixelOutline)
{
    const auto image = drawBox ("no_icon", juce::MessageBoxIconType::NoIcon);

    // With this colour table the outline has the background colour: the box is one flat colour.
    for (auto p : { juce::Point<int> (0, 0), { 299, 149 }, { 30, 100 }, { 20, 20 } })
        EXPECT_TRUE (pixelIs (image, p.x, p.y, Palette::panelBackground));

    // The text area is (1, 30, 298, 148 - 24 - 20).
    EXPECT_NEAR (messageArea.getCentreX(), 1.0f + 298.0f / 2.0f, 1.5f);
    EXPECT_NEAR (messageArea.getCentreY(), 30.0f + 104.0f / 2.0f, 3.0f);

    // Of the two outline pixels, the background covers the inner.
    lookAndFeel.setColour (juce::AlertWindow::outlineColourId, juce::Colours::red);
    const auto outlined = drawBox ("red_outline", juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (find (outlined, near (juce::Colours::red)).count, 2 * 300 + 2 * 148);
    EXPECT_TRUE (pixelIs (outlined, 1, 75, Palette::panelBackground));
}

TEST_F (AlertBoxTest, WarningShowsARoundedTriangleWithTheMarkCutOutAndShiftsTheTextBy80)
{
    drawBox ("no_icon_again", juce::MessageBoxIconType::NoIcon);
    const auto plainMessage = messageArea;
    const auto image = drawBox ("warning", juce::MessageBoxIconType::WarningIcon);

    // Icon size min(130, 148 + 20): the triangle runs from (52, -13) to (-13, 117) and (117, 117), clipped inside
    // the outer pixel, its corners rounded; the "!" cut out of its middle.
    for (auto p : { juce::Point<int> (30, 100), { 80, 100 }, { 52, 5 }, { 1, 100 }, { 100, 115 } })
        EXPECT_TRUE (pixelIs (image, p.x, p.y, warningColour, 3));
    for (auto p : { juce::Point<int> (110, 20), { 2, 20 }, { 52, 130 }, { 0, 100 } })
        EXPECT_TRUE (pixelIs (image, p.x, p.y, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 116, 116, Palette::panelBackground, 6));
    EXPECT_GE (find (image, near (Palette::panelBackground), { 45, 20, 15, 95 }).count, 40);

    // The text area moves right by 80 without narrowing.
    EXPECT_NEAR (messageArea.getCentreX(), plainMessage.getCentreX() + 80.0f, 1.0f);
    EXPECT_EQ (messageArea.getWidth(), plainMessage.getWidth());
}

TEST_F (AlertBoxTest, InformationAndQuestionShowADiscWithTheirOwnMark)
{
    const auto info = drawBox ("information", juce::MessageBoxIconType::InfoIcon);
    const auto question = drawBox ("question", juce::MessageBoxIconType::QuestionIcon);
    EXPECT_GE (messageArea.getX(), 81.0f);
    EXPECT_FALSE (sameImages (info, question));

    // A disc of 130 centred at (52, 52), the mark cut out of its middle.
    for (const auto* image : { &info, &question })
    {
        EXPECT_TRUE (pixelIs (*image, 10, 52, discColour, 3));
        EXPECT_TRUE (pixelIs (*image, 100, 90, discColour, 3));
        EXPECT_TRUE (pixelIs (*image, 110, 110, Palette::panelBackground));
        EXPECT_GE (find (*image, near (Palette::panelBackground), { 35, 10, 35, 90 }).count, 30);
    }

    // With more than two buttons the icon is at most the text area's height plus 50: 70, centred at (28, 28).
    EXPECT_TRUE (pixelIs (drawBox ("info_two_buttons", juce::MessageBoxIconType::InfoIcon, 2, 20), 28, 75, discColour, 3));
    const auto three = drawBox ("info_three_buttons", juce::MessageBoxIconType::InfoIcon, 3, 20);
    EXPECT_TRUE (pixelIs (three, 28, 75, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (three, 8, 28, discColour, 3));
}
