#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/LookAndFeelPresetName.h"
#include "lookandfeel/LookAndFeelTabButton.h"
#include "lookandfeel/LookAndFeelTextEditorBordered.h"
#include "lookandfeel/LookAndFeelTextOnlyButton.h"

using namespace testimages;

namespace
{
/** Paints a button in a state or toggle setting and compares it with the text alone, drawn as given. */
struct ButtonCase
{
    const char* name;
    int width, height;
    bool on, enabled;
    juce::Button::ButtonState state;
    std::function<void (juce::Graphics&)> expected;
};

void expectLooks (juce::TextButton& button, juce::LookAndFeel& lookAndFeel, const juce::String& prefix, const std::vector<ButtonCase>& cases)
{
    button.setLookAndFeel (&lookAndFeel);

    for (const auto& c : cases)
    {
        button.setSize (c.width, c.height);
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setEnabled (c.enabled);
        button.setState (c.state);
        const auto image = paint (button, prefix + c.name);
        EXPECT_TRUE (sameImages (image, draw (c.width, c.height, prefix + c.name + "_reference", c.expected))) << prefix << c.name;
    }

    button.setLookAndFeel (nullptr);
}

/** Text lines: bands of rows holding ink, separated by empty rows. */
int countTextLines (const juce::Image& image, juce::Rectangle<int> area)
{
    auto lines = 0;

    for (auto y = area.getY(), previous = 0; y < area.getBottom(); ++y)
    {
        const auto ink = find (image, differsFrom (backdrop, 30), { area.getX(), y, area.getWidth(), 1 }).count > 0 ? 1 : 0;
        lines += ink > previous ? 1 : 0;
        previous = ink;
    }

    return lines;
}

std::function<void (juce::Graphics&)> text (const juce::Font& font, juce::Colour colour, juce::Rectangle<int> area,
                                            juce::Justification justification = juce::Justification::centred, int lines = 2)
{
    return [=] (juce::Graphics& g)
    {
        g.setFont (font);
        g.setColour (colour);
        g.drawFittedText ("Snare", area, justification, lines);
    };
}
} // namespace

TEST (LookAndFeelPresetName, PlainCentredText12HighWithoutBackgroundOrStateLook)
{
    LookAndFeelPresetName lookAndFeel;
    juce::TextButton button ("Snare");
    EXPECT_EQ (lookAndFeel.getTextButtonFont (button, 60).getStyleFlags(), juce::Font::plain);

    // In the inherited indents: 7 from the sides, 4 from top and bottom, one pixel lower.
    const auto at24 = text (juce::Font (12.0f), Palette::dimText, { 7, 5, 186, 16 });
    expectLooks (button, lookAndFeel, "presetname_", { { "idle", 200, 24, false, true, juce::Button::buttonNormal, at24 },
                                                       { "hovered", 200, 24, false, true, juce::Button::buttonOver, at24 },
                                                       { "pressed", 200, 24, false, true, juce::Button::buttonDown, at24 },
                                                       { "height60", 200, 60, false, true, juce::Button::buttonNormal,
                                                         text (juce::Font (12.0f), Palette::dimText, { 7, 5, 186, 52 }) } });
}

TEST (LookAndFeelTabButton, BottomLineAndSemiboldText15RightOfThePadInTheAccentWhileOn)
{
    LookAndFeelTabButton lookAndFeel;
    EXPECT_EQ (lookAndFeel.tabColour, Palette::text);
    lookAndFeel.tabColour = Palette::teal;

    // Text centred in (22, 2, width - 22, 28), the line along the bottom row and nothing else, in any state.
    const auto tab = [] (juce::Colour textColour, juce::Colour lineColour, int width)
    {
        return [=] (juce::Graphics& g)
        {
            if (width > 22)
                text (getSemiboldFont().withHeight (15.0f), textColour, { 22, 2, width - 22, 28 }) (g);
            g.setColour (lineColour);
            g.fillRect (0, 29, width, 1);
        };
    };

    const auto off = tab (Palette::dimText, Palette::divider, 120), on = tab (Palette::teal, Palette::teal, 120);
    juce::TextButton button ("Snare");
    expectLooks (button, lookAndFeel, "tab_", { { "off", 120, 30, false, true, juce::Button::buttonNormal, off },
                                                { "on", 120, 30, true, true, juce::Button::buttonNormal, on },
                                                { "on_hovered", 120, 30, true, true, juce::Button::buttonOver, on },
                                                { "on_pressed", 120, 30, true, true, juce::Button::buttonDown, on },
                                                { "off_disabled", 120, 30, false, false, juce::Button::buttonNormal, off },
                                                { "width22", 22, 30, false, true, juce::Button::buttonNormal, tab ({}, Palette::divider, 22) },
                                                { "width23", 23, 30, false, true, juce::Button::buttonNormal, tab (Palette::dimText, Palette::divider, 23) } });

    button.setLookAndFeel (&lookAndFeel);
    button.setButtonText ("Kick Snare Clap Tom Hat Ride Crash Cowbell Rimshot Conga");
    button.setSize (100, 80);
    EXPECT_EQ (countTextLines (paint (button, "tab_long_text"), { 22, 0, 78, 79 }), 2);
    button.setLookAndFeel (nullptr);
}

TEST (LookAndFeelTextOnlyButton, OnlyTheTextOnOneLineInItsFontAtMost70PercentOfTheHeight)
{
    LookAndFeelCustom defaultLookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault (defaultLookAndFeel);
    LookAndFeelTextOnlyButton lookAndFeel;
    juce::TextButton button ("Snare");

    // By default 15 high, on the left and vertically centred.
    const auto left = [] (float height, juce::Colour colour, int buttonHeight)
    {
        return text (juce::Font (height), colour, { 0, 0, 150, buttonHeight }, juce::Justification::left, 1);
    };
    expectLooks (button, lookAndFeel, "textonly_", { { "off", 150, 30, false, true, juce::Button::buttonNormal, left (15.0f, Palette::dimText, 30) },
                                                     { "on_pressed", 150, 30, true, true, juce::Button::buttonDown, left (15.0f, Palette::text, 30) },
                                                     { "disabled", 150, 30, false, false, juce::Button::buttonNormal,
                                                       left (15.0f, Palette::dimText.withMultipliedAlpha (0.5f), 30) },
                                                     { "height20", 150, 20, false, true, juce::Button::buttonNormal, left (14.0f, Palette::dimText, 20) } });

    button.setLookAndFeel (&lookAndFeel);
    button.setButtonText ("Organise presets and folders");
    button.setSize (70, 60);
    EXPECT_EQ (countTextLines (paint (button, "textonly_long_text"), { 0, 0, 70, 60 }), 1);
    button.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (LookAndFeelTextEditorBordered, OneDividerPixelAroundEnabledEditorsOutsideAlerts)
{
    LookAndFeelTextEditorBordered lookAndFeel;
    juce::TextEditor editor;
    editor.setLookAndFeel (&lookAndFeel);
    editor.setText ("C1", juce::dontSendNotification);
    editor.setSize (60, 24);

    const auto image = paint (editor, "texteditor_bordered");
    EXPECT_EQ (find (image, near (Palette::divider, 0)).count, 2 * 60 + 2 * 22);
    EXPECT_EQ (find (image, near (Palette::divider, 0)).bounds, editor.getLocalBounds());
    EXPECT_TRUE (pixelIs (image, 1, 12, Palette::panelBackground));

    // No outline when disabled or inside an alert window.
    editor.setEnabled (false);
    EXPECT_EQ (find (paint (editor, "texteditor_bordered_disabled"), near (Palette::divider)).count, 0);
    editor.setEnabled (true);

    juce::AlertWindow alert ("Note", {}, juce::MessageBoxIconType::NoIcon);
    alert.addAndMakeVisible (editor);
    EXPECT_EQ (find (paint (editor, "texteditor_bordered_in_alert"), near (Palette::divider)).count, 0);
    alert.removeChildComponent (&editor);
    editor.setLookAndFeel (nullptr);
}

TEST (Variants, KeepEverythingElseOfTheCustomLook)
{
    LookAndFeelCustom custom;
    LookAndFeelTabButton tab;
    LookAndFeelPresetName presetName;
    LookAndFeelTextEditorBordered bordered;
    LookAndFeelTextOnlyButton textOnly;

    juce::ComboBox combo;
    combo.setSize (120, 27);
    combo.setLookAndFeel (&custom);
    const auto reference = paint (combo, "variants_combobox_custom");

    for (auto* variant : std::initializer_list<LookAndFeelCustom*> { &tab, &presetName, &bordered, &textOnly })
    {
        combo.setLookAndFeel (variant);
        EXPECT_TRUE (sameImages (paint (combo, "variants_combobox_variant"), reference));
        EXPECT_EQ (variant->findColour (juce::PopupMenu::highlightedBackgroundColourId), Palette::barBackground);
    }

    combo.setLookAndFeel (nullptr);
}
