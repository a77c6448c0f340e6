#include "editor/ControlImages.h"

#include "editor/LED.h"
#include "editor/LEDButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

TEST (LEDButton, LightAndCaptionFollowTheToggleStateAloneWithNothingAround)
{
    LEDButton button;
    button.setBounds (0, 0, 14, 14);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (button, "ledbutton-default-off").getPixelAt (7, 7), Palette::barBackground));
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (button, "ledbutton-default-on").getPixelAt (7, 7), Palette::blue));

    // Each change shows at once; both captions with a single repaint.
    EXPECT_GT (ControlImages::countRepaints (button, [&] { button.setOffColour (Palette::purple); }), 0);
    EXPECT_GT (ControlImages::countRepaints (button, [&] { button.setOnColour (Palette::yellow); }), 0);
    EXPECT_EQ (ControlImages::countRepaints (button, [&] { button.setTexts ("A", "B"); }), 1);

    // The caption is centred half a pixel right of and below the middle, 12 high, in the panel colour.
    struct Case { const char* name; bool hexagon, on; int width; juce::Button::ButtonState state; };
    const Case cases[] = { { "off-A", false, false, 14, juce::Button::buttonNormal }, { "on-B", false, true, 14, juce::Button::buttonNormal },
                           { "on-B-over", false, true, 14, juce::Button::buttonOver }, { "on-B-down", false, true, 14, juce::Button::buttonDown },
                           { "hexagon-off-A-30x16", true, false, 30, juce::Button::buttonNormal } };

    for (const auto& c : cases)
    {
        button.isHexagon = c.hexagon;
        button.setSize (c.width, c.hexagon ? 16 : 14);
        button.setToggleState (c.on, juce::dontSendNotification);
        button.setState (c.state);
        const auto image = ControlImages::paintAndSave (button, juce::String ("ledbutton-") + c.name);

        juce::Image reference (juce::Image::ARGB, image.getWidth(), image.getHeight(), true);
        {
            juce::Graphics g (reference);
            const auto bounds = reference.getBounds().toFloat();
            g.setColour (c.on ? Palette::yellow : Palette::purple);
            g.fillPath (c.hexagon ? LED::createHexagon (bounds) : [&] { juce::Path p; p.addEllipse (bounds); return p; }());
            g.setColour (Palette::panelBackground);
            g.setFont (12.0f);
            g.drawText (c.on ? "B" : "A", juce::Rectangle<int> (0, 1, image.getWidth() + 1, image.getHeight() - 1), juce::Justification::centred);
        }

        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                ASSERT_TRUE (coloursNear (image.getPixelAt (x, y), reference.getPixelAt (x, y), 1)) << c.name << " at " << x << ", " << y;

        // The parent shows around the light, and the caption is there.
        EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0) << c.name;
        EXPECT_EQ (image.getPixelAt (c.width - 1, 8).getAlpha() == 0, c.hexagon) << c.name;
        EXPECT_TRUE (coloursNear (image.getPixelAt (c.width / 2 - 5, 7), c.on ? Palette::yellow : Palette::purple, 10)) << c.name;
        auto captionPixels = 0;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                captionPixels += image.getPixelAt (x, y).getAlpha() == 255 && image.getPixelAt (x, y).getBrightness() < 0.25f ? 1 : 0;
        EXPECT_GT (captionPixels, 4) << c.name;
    }
}
