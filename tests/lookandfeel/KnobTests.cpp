#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
// The knobs' rotary range: 221 to 499 degrees, so that its middle is straight up.
const float startAngle = juce::degreesToRadians (221.0f);
const float endAngle = juce::degreesToRadians (499.0f);

constexpr float trackRadius = 23.25f;  // middle of the ring from 21.5 to 25
constexpr float pointerRadius = 12.0f; // middle of the bar from 9.5 to 14.5

/** The pixel at a radius and an angle in degrees, clockwise from 12 o'clock, of a knob centred at (cx, 25). */
juce::Colour at (const juce::Image& image, float radius, float degrees, float cx = 25.0f)
{
    const auto angle = juce::degreesToRadians (degrees);
    return image.getPixelAt ((int) (cx + radius * std::sin (angle)), (int) (25.0f - radius * std::cos (angle)));
}
} // namespace

TEST (Knob, DiscTrackArcAndPointerShowTheValueAtTheTopOfTheSlider)
{
    LookAndFeelCustom lookAndFeel;
    juce::Slider slider (juce::Slider::RotaryVerticalDrag, juce::Slider::NoTextBox);
    slider.setLookAndFeel (&lookAndFeel);
    slider.setRotaryParameters (startAngle, endAngle, true);
    slider.setRange (0.0, 1.0);
    slider.setSize (50, 50);
    const auto arc = Palette::text, teal = Palette::teal, track = Palette::barBackground, none = backdrop;
    struct Probe { float radius, degrees; juce::Colour colour; };
    struct Case { const char* name; float pos; bool centreOrigin; juce::Colour arcColour; std::vector<Probe> probes; };

    const Case cases[] = {
        // No arc; the disc (radius 16) and the track (from 21.5) with nothing between; the gap at the bottom empty.
        { "minimum", 0.0f, false, arc, { { 0, 0, track }, { 15, 300, track }, { 17, 300, none }, { 18.75f, 300, none }, { pointerRadius, 221, arc },
                                         { pointerRadius, 300, track }, { trackRadius, 225, track }, { trackRadius, 495, track }, { trackRadius, 180, none } } },
        { "maximum", 1.0f, false, arc, { { trackRadius, 225, arc }, { trackRadius, 495, arc }, { pointerRadius, 499, arc }, { pointerRadius, 221, track } } },
        // 0.25 of 278 degrees past 221: 290.5, in the look-and-feel's arc colour.
        { "quarter_teal", 0.25f, false, teal, { { trackRadius, 280, teal }, { trackRadius, 300, track }, { pointerRadius, 290.5f, teal } } },
        // From the middle: no arc, a vertical pointer 3.5 wide from radius 9.5 to 14.5.
        { "centre_origin_middle", 0.5f, true, arc, { { trackRadius, 355, track }, { trackRadius, 365, track }, { 9, 360, track }, { 11, 360, arc },
                                                     { 14, 360, arc }, { 16, 360, track }, { 12, 350, track }, { 12, 370, track } } },
        { "centre_origin_below", 0.25f, true, arc, { { trackRadius, 350, arc }, { trackRadius, 300, arc }, { trackRadius, 280, track },
                                                     { trackRadius, 370, track }, { pointerRadius, 290.5f, arc } } },
        { "centre_origin_above", 0.75f, true, arc, { { trackRadius, 370, arc }, { trackRadius, 420, arc }, { trackRadius, 440, track },
                                                     { trackRadius, 350, track }, { pointerRadius, 429.5f, arc } } },
    };

    for (const auto& c : cases)
    {
        lookAndFeel.centreOrigin = c.centreOrigin;
        lookAndFeel.arcColour = c.arcColour;
        slider.setValue (c.pos, juce::dontSendNotification);
        const auto image = paint (slider, juce::String ("knob_") + c.name);

        for (const auto& p : c.probes)
            EXPECT_TRUE (isNear (at (image, p.radius, p.degrees), p.colour, 4))
                << c.name << ": radius " << p.radius << " at " << p.degrees << " degrees is " << at (image, p.radius, p.degrees).toDisplayString (true);
    }

    // A wider and taller slider keeps a 50 x 50 knob centred at its top.
    slider.setSize (120, 70);
    const auto knob = ink (paint (slider, "knob_wide_tall_slider"), backdrop);
    EXPECT_EQ (knob.withHeight (50), juce::Rectangle<int> (35, 0, 50, 50));
    EXPECT_LE (knob.getBottom(), 50) << "nothing below the knob";
}
