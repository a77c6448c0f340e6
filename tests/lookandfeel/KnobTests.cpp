#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

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

struct KnobTest : public ::testing::Test
{
    KnobTest() { slider.setLookAndFeel (&lookAndFeel); }
    ~KnobTest() override { slider.setLookAndFeel (nullptr); }

    LookAndFeelCustom lookAndFeel;
    juce::Slider slider { juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox };
};
} // namespace

TEST_F (KnobTest, DiscTrackArcAndPointerShowTheValue)
{
    const auto arc = Palette::text, track = Palette::barBackground, none = backdrop;
    struct Probe { float radius, degrees; juce::Colour colour; };
    struct Case { const char* name; float pos; bool centreOrigin; juce::Colour arcColour; std::vector<Probe> probes; };

    const Case cases[] = {
        // No arc; the disc (radius 16) and the track (from 21.5) with nothing between; the gap at the bottom empty.
        { "minimum", 0.0f, false, arc, { { 0, 0, track }, { 15, 300, track }, { 17, 300, none }, { 18.75f, 300, none },
                                         { pointerRadius, 221, arc }, { pointerRadius, 300, track }, { trackRadius, 225, track },
                                         { trackRadius, 495, track }, { trackRadius, 150, none }, { trackRadius, 210, none } } },
        { "maximum", 1.0f, false, arc, { { trackRadius, 225, arc }, { trackRadius, 360, arc }, { trackRadius, 495, arc },
                                         { pointerRadius, 499, arc }, { pointerRadius, 221, track }, { trackRadius, 180, none } } },
        // 0.25 of 278 degrees past 221: 290.5.
        { "quarter", 0.25f, false, arc, { { trackRadius, 280, arc }, { trackRadius, 300, track }, { pointerRadius, 290.5f, arc } } },
        { "teal", 0.75f, false, Palette::teal, { { trackRadius, 300, Palette::teal }, { trackRadius, 460, track },
                                                 { pointerRadius, 429.5f, Palette::teal } } },
        // From the middle: no arc, a vertical pointer 3.5 wide from radius 9.5 to 14.5.
        { "centre_origin_middle", 0.5f, true, arc, { { trackRadius, 300, track }, { trackRadius, 355, track }, { trackRadius, 365, track },
                                                     { 9, 360, track }, { 11, 360, arc }, { 14, 360, arc }, { 16, 360, track },
                                                     { 12, 350, track }, { 12, 370, track } } },
        { "centre_origin_below", 0.25f, true, arc, { { trackRadius, 350, arc }, { trackRadius, 300, arc }, { trackRadius, 280, track },
                                                     { trackRadius, 370, track }, { pointerRadius, 290.5f, arc } } },
        { "centre_origin_above", 0.75f, true, arc, { { trackRadius, 370, arc }, { trackRadius, 420, arc }, { trackRadius, 440, track },
                                                     { trackRadius, 350, track }, { pointerRadius, 429.5f, arc } } },
    };

    for (const auto& c : cases)
    {
        lookAndFeel.centreOrigin = c.centreOrigin;
        lookAndFeel.arcColour = c.arcColour;
        const auto image = draw (50, 50, juce::String ("knob_") + c.name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawRotarySlider (g, 0, 0, 50, 50, c.pos, startAngle, endAngle, slider);
        });

        for (const auto& p : c.probes)
            EXPECT_TRUE (isNear (at (image, p.radius, p.degrees), p.colour, 4))
                << c.name << ": radius " << p.radius << " at " << p.degrees << " degrees is " << at (image, p.radius, p.degrees).toDisplayString (true);
    }
}

TEST_F (KnobTest, KnobIs50By50AtTheTopOfTheAreaCentredInItsWidth)
{
    // The area's x and width place the knob; its y and height are not used.
    for (const auto [x, y, width, height] : { std::array<int, 4> { 0, 0, 120, 100 }, { 20, 40, 60, 10 } })
    {
        const auto image = draw (120, 100, "knob_in_area_" + juce::String (x), [&] (juce::Graphics& g)
        {
            lookAndFeel.drawRotarySlider (g, x, y, width, height, 1.0f, startAngle, endAngle, slider);
        });

        const auto cx = (float) x + (float) width / 2.0f;
        const auto knob = find (image, differsFrom (backdrop)).bounds;
        EXPECT_EQ (knob.withHeight (50), juce::Rectangle<int> ((int) cx - 25, 0, 50, 50));
        EXPECT_LE (knob.getBottom(), 50);
        EXPECT_TRUE (isNear (at (image, 0.0f, 0.0f, cx), Palette::barBackground));
        EXPECT_TRUE (isNear (at (image, trackRadius, 270.0f, cx), Palette::text));
    }

    // A slider painted whole shows the same knob.
    slider.setRotaryParameters (startAngle, endAngle, true);
    slider.setValue (slider.getMaximum(), juce::dontSendNotification);
    slider.setSize (50, 70);
    const auto image = paint (slider, "knob_slider_component");
    EXPECT_TRUE (isNear (at (image, pointerRadius, 499.0f), Palette::text));
    EXPECT_EQ (find (image, differsFrom (backdrop), { 0, 50, 50, 20 }).count, 0);
}

TEST (SliderTextBox, ShowsCondensedText12HighInTheOutlineGreyOnThePanelFromTheLeftEdge)
{
    LookAndFeelCustom lookAndFeel;
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight);
    std::unique_ptr<juce::Label> label (lookAndFeel.createSliderTextBox (slider));
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 12.0f);
    EXPECT_EQ (label->getFont().getTypefacePtr(), getCondensedSemiboldFont().getTypefacePtr());

    label->setText ("0.75", juce::dontSendNotification);
    label->setJustificationType (juce::Justification::centredLeft);
    label->setSize (40, 16);
    const auto image = paint (*label, "slider_text_box");
    EXPECT_EQ (find (image, near (Palette::panelBackground), { 0, 0, 40, 2 }).count, 80) << "no visible border";
    EXPECT_GE (find (image, near (Palette::buttonOutline, 3)).count, 3);
    EXPECT_LE (find (image, differsFrom (Palette::panelBackground, 6)).bounds.getX(), 2);
}
