#include "editor/ControlImages.h"

#include "editor/LEDButton.h"
#include "lookandfeel/LookAndFeelCustom.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

TEST (LEDButton, LightAndCaptionFollowTheToggleStateAloneWithNothingAround)
{
    // Captions in the editor's default look, which draws every plain font in its semibold typeface.
    LookAndFeelCustom lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    juce::Typeface::clearTypefaceCache();
    LEDButton button;
    button.setBounds (0, 0, 14, 14);
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (button, "ledbutton-default-on").getPixelAt (7, 7), Palette::blue));

    // Each change shows at once; both captions with a single repaint.
    EXPECT_GT (ControlImages::countRepaints (button, [&] { button.setOffColour (Palette::purple); }), 0);
    EXPECT_GT (ControlImages::countRepaints (button, [&] { button.setOnColour (Palette::yellow); }), 0);
    EXPECT_EQ (ControlImages::countRepaints (button, [&] { button.setTexts ("I", "W"); }), 1);

    // The state's caption in the panel colour, centred half a pixel right of and below the middle; the parent around the light.
    struct Case { const char* name; bool hexagon, on; int width; juce::Button::ButtonState state; };
    const Case cases[] = { { "off", false, false, 14, juce::Button::buttonNormal }, { "on", false, true, 14, juce::Button::buttonNormal },
                           { "off-over", false, false, 14, juce::Button::buttonOver }, { "off-down", false, false, 14, juce::Button::buttonDown },
                           { "hexagon-off-30x16", true, false, 30, juce::Button::buttonNormal } };

    for (const auto& c : cases)
    {
        button.isHexagon = c.hexagon;
        button.setSize (c.width, c.hexagon ? 16 : 14);
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setState (c.state);
        const auto image = ControlImages::paintAndSave (button, juce::String ("ledbutton-") + c.name);

        juce::Rectangle<float> caption;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getAlpha() == 255 && image.getPixelAt (x, y).getBrightness() < 0.25f)
                    caption = caption.isEmpty() ? juce::Rectangle<float> ((float) x, (float) y, 1, 1) : caption.getUnion ({ (float) x, (float) y, 1, 1 });

        EXPECT_EQ (caption.getWidth() > 3.0f, c.on) << c.name << ": W when on, I when off";
        EXPECT_NEAR (caption.getCentreX(), (float) c.width / 2.0f + 0.5f, 0.5f) << c.name;
        EXPECT_NEAR (caption.getCentreY(), (float) image.getHeight() / 2.0f + 0.5f, 0.5f) << c.name;
        EXPECT_TRUE (coloursNear (image.getPixelAt (c.width / 2 - 5, 7), c.on ? Palette::yellow : Palette::purple, 10)) << c.name;
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0) << c.name;
        EXPECT_EQ (image.getPixelAt (c.width - 1, 8).getAlpha() == 0, c.hexagon) << c.name;
    }

    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    juce::Typeface::clearTypefaceCache();
}
