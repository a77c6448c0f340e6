#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/LookAndFeelPresetName.h"
#include "lookandfeel/LookAndFeelTabButton.h"
#include "lookandfeel/LookAndFeelTextOnlyButton.h"

using namespace testimages;

namespace
{
/** A text button drawn while the custom look is the default, as in the open editor. */
struct TextButtonTest : public ::testing::Test
{
    TextButtonTest() { tab.tabColour = Palette::teal; }

    LookAndFeelCustom custom;
    ScopedDefaultLookAndFeel scopedDefault { custom };
    LookAndFeelPresetName presetName;
    LookAndFeelTabButton tab;
    LookAndFeelTextOnlyButton textOnly;
    juce::TextButton button { "Snare" };
};

float brightness (juce::Colour c) { return (float) (c.getRed() + c.getGreen() + c.getBlue()); }
} // namespace

TEST_F (TextButtonTest, EachLookDrawsItsTextInItsFontPlaceAndStateColour)
{
    const auto normal = juce::Button::buttonNormal, down = juce::Button::buttonDown;
    const auto halfFill = backdrop.overlaidWith (Palette::panelBackground.withAlpha (0.5f));
    const auto &condensed = getCondensedSemiboldFont(), &semibold = getSemiboldFont();
    struct Case { juce::LookAndFeel* look; const char* name; int height; bool on, enabled; juce::Button::ButtonState state;
                  const juce::Font& font; float fontHeight; int centreX; juce::Colour colour; };

    // Custom: condensed, 0.7 x the height up to 15, centred; the tab's text right of its pad; text-only from the left edge.
    const Case cases[] = {
        { &custom, "custom_off", 30, false, true, normal, condensed, 15.0f, 60, Palette::dimText },
        { &custom, "custom_on", 30, true, true, normal, condensed, 15.0f, 60, Palette::text },
        { &custom, "custom_disabled", 30, false, false, normal, condensed, 15.0f, 60, halfFill.overlaidWith (Palette::dimText.withAlpha (0.5f)) },
        { &custom, "custom_height20", 20, false, true, normal, condensed, 14.0f, 60, Palette::dimText },
        { &presetName, "presetname_24", 24, false, true, normal, semibold, 12.0f, 60, Palette::dimText },
        { &presetName, "presetname_60", 60, false, true, normal, semibold, 12.0f, 60, Palette::dimText },
        { &tab, "tab_off", 30, false, true, normal, semibold, 15.0f, 71, Palette::dimText },
        { &tab, "tab_on_disabled_pressed", 30, true, false, down, semibold, 15.0f, 71, Palette::teal },
        { &textOnly, "textonly_off", 30, false, true, normal, semibold, 15.0f, -1, Palette::dimText },
        { &textOnly, "textonly_on_pressed", 30, true, true, down, semibold, 15.0f, -1, Palette::text },
        { &textOnly, "textonly_disabled_16", 16, false, false, normal, semibold, 11.2f, -1, backdrop.overlaidWith (Palette::dimText.withAlpha (0.5f)) },
    };

    for (const auto& c : cases)
    {
        button.setLookAndFeel (c.look);
        button.setSize (120, c.height);
        const auto image = paintButton (button, juce::String ("textbutton_") + c.name, c.on, c.enabled, c.state);
        const auto text = ink (image, image.getPixelAt (2, 2), image.getBounds().reduced (1));
        EXPECT_NEAR ((float) text.getWidth(), c.font.withHeight (c.fontHeight).getStringWidthFloat ("Snare"), 2.0f) << c.name;
        EXPECT_NEAR (c.centreX < 0 ? text.getX() : text.getCentreX(), c.centreX < 0 ? 1 : c.centreX, 1) << c.name;
        EXPECT_NEAR (text.getCentreY(), c.height / 2, 2) << c.name;
        EXPECT_TRUE (isNear (mostDrawn (image, image.getPixelAt (2, 2), image.getBounds().reduced (1)), c.colour, 12)) << c.name;
    }
}

TEST_F (TextButtonTest, CustomIsAnOutlinedBoxWhoseFillFollowsTheState)
{
    button.setLookAndFeel (&custom);
    button.setSize (120, 30);
    const std::tuple<const char*, bool, juce::Button::ButtonState, bool> cases[] = {
        { "idle", false, juce::Button::buttonNormal, true }, { "hovered", false, juce::Button::buttonOver, true },
        { "pressed", false, juce::Button::buttonDown, true }, { "disabled", false, juce::Button::buttonNormal, false },
        { "on", true, juce::Button::buttonNormal, true } };
    std::vector<juce::Colour> fills;

    for (const auto& [name, on, state, enabled] : cases)
    {
        // The outermost ring of pixels is the outline, everything inside it the fill and the text.
        const auto image = paintButton (button, juce::String ("textbutton_") + name, on, enabled, state);
        EXPECT_EQ (find (image, near (Palette::buttonOutline)).count - find (image, near (Palette::buttonOutline), { 1, 1, 118, 28 }).count, 2 * 120 + 2 * 28) << name;
        EXPECT_TRUE (pixelIs (image, 1, 15, image.getPixelAt (5, 5))) << name;
        fills.push_back (image.getPixelAt (5, 5));
    }

    // On or off the fill is the panel's; hovering lightens it a little, pressing much more; disabled shows it at half alpha.
    EXPECT_TRUE (isNear (fills[0], Palette::panelBackground) && isNear (fills[4], Palette::panelBackground));
    EXPECT_GT (brightness (fills[1]), brightness (fills[0]));
    EXPECT_GT (brightness (fills[2]) - brightness (fills[1]), brightness (fills[1]) - brightness (fills[0]));
    EXPECT_TRUE (isNear (fills[3], backdrop.overlaidWith (Palette::panelBackground.withAlpha (0.5f)), 3));
}

TEST_F (TextButtonTest, VariantsDrawNoBackgroundAndNoMouseLook)
{
    button.setSize (120, 30);

    for (const auto& [look, name] : { std::pair<juce::LookAndFeel*, juce::String> (&presetName, "presetname"), { &tab, "tab" }, { &textOnly, "textonly" } })
    {
        button.setLookAndFeel (look);
        const auto idle = paintButton (button, name + "_idle", false);
        EXPECT_TRUE (sameImages (paintButton (button, name + "_hovered", false, true, juce::Button::buttonOver), idle)) << name;
        EXPECT_TRUE (sameImages (paintButton (button, name + "_pressed", false, true, juce::Button::buttonDown), idle)) << name;
        EXPECT_TRUE (pixelIs (idle, 0, 0, backdrop) && pixelIs (idle, 119, 15, backdrop)) << name;
    }

    // A tab's only other mark is a line along its bottom, in the accent while on; too narrow for text beside the pad, only the line.
    button.setLookAndFeel (&tab);
    for (const auto on : { false, true })
        EXPECT_EQ (find (paintButton (button, "tab_line", on), near (on ? Palette::teal : Palette::divider), { 0, 29, 120, 1 }).count, 120);
    button.setSize (22, 30);
    EXPECT_EQ (ink (paintButton (button, "tab_width22", false), backdrop), juce::Rectangle<int> (0, 29, 22, 1));
}
