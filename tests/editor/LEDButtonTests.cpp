#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

TEST (LEDButton, LightAndCaptionFollowTheToggleStateAloneWithNothingAround)
{
    // Captions in the editor's default look, which draws every plain font in its semibold typeface.
    LookAndFeelCustom lookAndFeel;
    const testimages::ScopedDefaultLookAndFeel editorLook (lookAndFeel);
    LEDButton button;
    button.setBounds (0, 0, 14, 14);
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (coloursNear (snapshot (button, "ledbutton-default-on").getPixelAt (7, 7), Palette::blue));

    // The footer's light takes the shown voice's colour while on screen.
    struct Flag final : public juce::CachedComponentImage
    {
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { return repainted = true; }
        bool invalidate (const juce::Rectangle<int>&) override { return repainted = true; }
        void releaseResources() override {}
        bool repainted = false;
    };

    auto* flag = new Flag();
    button.setVisible (true);
    button.setCachedComponentImage (flag);
    flag->repainted = false; // attaching it repaints once
    button.setOnColour (Palette::yellow);
    EXPECT_TRUE (flag->repainted);
    button.setCachedComponentImage (nullptr);
    button.setOffColour (Palette::purple);
    button.setTexts ("I", "W");

    // The state's caption in the panel colour, centred half a pixel right of and below the middle; the parent around the light.
    for (const auto& [name, on, state] : { std::tuple ("off", false, juce::Button::buttonNormal), { "on", true, juce::Button::buttonNormal },
                                           { "off-over", false, juce::Button::buttonOver }, { "off-down", false, juce::Button::buttonDown } })
    {
        button.setToggleState (on, juce::dontSendNotification);
        button.setState (state);
        const auto image = snapshot (button, juce::String ("ledbutton-") + name);
        const auto caption = inkOf (image, Palette::panelBackground, image.getBounds()).toFloat();

        EXPECT_EQ (caption.getWidth() > 3.0f, on) << name << ": W when on, I when off";
        EXPECT_NEAR (caption.getCentreX(), 7.5f, 0.5f) << name;
        EXPECT_NEAR (caption.getCentreY(), 7.5f, 0.5f) << name;
        EXPECT_TRUE (coloursNear (image.getPixelAt (2, 7), on ? Palette::yellow : Palette::purple, 10)) << name;
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0) << name;
    }
}
