#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
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

float brightness (juce::Colour c) { return (float) (c.getRed() + c.getGreen() + c.getBlue()); }
} // namespace

TEST_F (TextButtonTest, OutlineStaysWhileTheFillFollowsTheState)
{
    struct Case { const char* name; juce::Button::ButtonState state; bool enabled; };
    const Case cases[] = { { "idle", juce::Button::buttonNormal, true }, { "hovered", juce::Button::buttonOver, true },
                           { "pressed", juce::Button::buttonDown, true }, { "disabled", juce::Button::buttonNormal, false } };
    std::vector<juce::Colour> fills;

    for (const auto& c : cases)
    {
        button.setEnabled (c.enabled);
        button.setState (c.state);
        const auto image = paint (button, juce::String ("textbutton_") + c.name);

        // The outermost ring of pixels is the outline, everything inside it the fill.
        const auto outline = find (image, near (Palette::buttonOutline));
        EXPECT_EQ (outline.count, 2 * 120 + 2 * 28) << c.name;
        EXPECT_EQ (outline.bounds, button.getLocalBounds()) << c.name;
        EXPECT_TRUE (pixelIs (image, 1, 15, image.getPixelAt (5, 5))) << c.name;
        fills.push_back (image.getPixelAt (5, 5));
    }

    // Hovering lightens the fill a little, pressing much more; disabled shows it at half alpha.
    EXPECT_TRUE (isNear (fills[0], Palette::panelBackground));
    EXPECT_GT (brightness (fills[1]), brightness (fills[0]));
    EXPECT_GT (brightness (fills[2]) - brightness (fills[1]), brightness (fills[1]) - brightness (fills[0]));
    EXPECT_TRUE (isNear (fills[3], backdrop.overlaidWith (Palette::panelBackground.withAlpha (0.5f)), 3));

    // A saturated button colour shows at nine tenths of its saturation.
    button.setEnabled (true);
    button.setState (juce::Button::buttonNormal);
    button.setColour (juce::TextButton::buttonColourId, Palette::orange);
    EXPECT_TRUE (pixelIs (paint (button, "textbutton_orange"), 5, 5, Palette::orange.withMultipliedSaturation (0.9f)));
}

TEST_F (TextButtonTest, TextIsTheCondensedFontFittedBetweenItsIndentsInTheStateColour)
{
    // Font height 0.7 x the height, at most 15. Indents: min(4, 0.3 x height) above and below, the text one
    // pixel lower; at the sides min(0.6 x font height, 2 + half the shorter side / 2, or / 4 on a connected edge).
    const auto both = juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight;
    struct Case { const char* name; int height, edges; bool on, enabled; juce::Rectangle<int> area; float font; juce::Colour colour; };
    const Case cases[] = {
        { "off", 30, 0, false, true, { 9, 5, 102, 22 }, 15.0f, Palette::dimText },
        { "on", 30, 0, true, true, { 9, 5, 102, 22 }, 15.0f, Palette::text },
        { "disabled", 30, 0, false, false, { 9, 5, 102, 22 }, 15.0f, Palette::dimText.withMultipliedAlpha (0.5f) },
        { "connected_left", 30, juce::Button::ConnectedOnLeft, false, true, { 5, 5, 106, 22 }, 15.0f, Palette::dimText },
        { "connected_both", 30, both, false, true, { 5, 5, 110, 22 }, 15.0f, Palette::dimText },
        { "height20", 20, 0, false, true, { 7, 5, 106, 12 }, 14.0f, Palette::dimText },
        { "height40", 40, 0, true, true, { 9, 5, 102, 32 }, 15.0f, Palette::text },
    };

    for (const auto& c : cases)
    {
        button.setSize (120, c.height);
        button.setConnectedEdges (c.edges);
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setEnabled (c.enabled);
        EXPECT_FLOAT_EQ (lookAndFeel.getTextButtonFont (button, c.height).getHeight(), c.font) << c.name;

        // Inside the outline, the text over the fill.
        const auto image = paint (button, juce::String ("textbutton_text_") + c.name);
        const auto reference = draw (120, c.height, juce::String ("textbutton_text_") + c.name + "_reference", [&] (juce::Graphics& g)
        {
            g.setFont (getCondensedSemiboldFont().withHeight (c.font));
            g.setColour (c.colour);
            g.drawFittedText ("Save", c.area, juce::Justification::centred, 2);
        }, image.getPixelAt (5, 5));
        const auto inside = image.getBounds().reduced (1);
        EXPECT_TRUE (sameImages (image.getClippedImage (inside), reference.getClippedImage (inside))) << c.name;
    }
}
