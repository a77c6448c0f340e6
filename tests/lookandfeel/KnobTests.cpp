#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
// The knob set's rotary range: 221 to 499 degrees, so that its middle is straight up.
const float startAngle = juce::degreesToRadians (221.0f);
const float endAngle = juce::degreesToRadians (499.0f);

constexpr float trackRadius = 23.25f;   // middle of the ring from 21.5 to 25
constexpr float pointerRadius = 12.0f;  // middle of the bar from 9.5 to 14.5

struct KnobTest : public ::testing::Test
{
    KnobTest() { slider.setLookAndFeel (&lookAndFeel); }
    ~KnobTest() override { slider.setLookAndFeel (nullptr); }

    juce::Image drawKnobAt (const juce::String& name, float sliderPos, int x = 0, int width = 50,
                            int imageWidth = 50, int imageHeight = 50)
    {
        return draw (imageWidth, imageHeight, name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawRotarySlider (g, x, 0, width, imageHeight, sliderPos, startAngle, endAngle, slider);
        });
    }

    /** The pixel at a radius and an angle in degrees, clockwise from 12 o'clock, of a knob centred at cx. */
    static juce::Colour at (const juce::Image& image, float radius, float degrees, float cx = 25.0f)
    {
        const auto angle = juce::degreesToRadians (degrees);
        return image.getPixelAt ((int) (cx + radius * std::sin (angle)), (int) (25.0f - radius * std::cos (angle)));
    }

    LookAndFeelCustom lookAndFeel;
    juce::Slider slider { juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox };
};
} // namespace

TEST_F (KnobTest, MinimumShowsDiscTrackAndPointerAtTheStartAngle)
{
    const auto image = drawKnobAt ("knob_minimum", 0.0f);

    EXPECT_TRUE (pixelIs (image, 25, 25, Palette::barBackground));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 221.0f), Palette::text));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 300.0f), Palette::barBackground));

    // No arc: the whole track is the track colour.
    for (auto degrees : { 225.0f, 300.0f, 360.0f, 420.0f, 495.0f })
        EXPECT_TRUE (isNear (at (image, trackRadius, degrees), Palette::barBackground)) << degrees;

    // The gap at the bottom, between the end and the start of the range, stays empty.
    EXPECT_TRUE (isNear (at (image, trackRadius, 180.0f), backdrop));
    EXPECT_TRUE (isNear (at (image, trackRadius, 150.0f), backdrop));
    EXPECT_TRUE (isNear (at (image, trackRadius, 210.0f), backdrop));

    // Between the disc (radius 16) and the track (21.5) nothing is drawn.
    EXPECT_TRUE (isNear (at (image, 18.75f, 300.0f), backdrop));
}

TEST_F (KnobTest, MaximumFillsTheWholeTrackAndPointsAtTheEndAngle)
{
    const auto image = drawKnobAt ("knob_maximum", 1.0f);

    for (auto degrees : { 225.0f, 300.0f, 360.0f, 420.0f, 495.0f })
        EXPECT_TRUE (isNear (at (image, trackRadius, degrees), Palette::text)) << degrees;

    EXPECT_TRUE (isNear (at (image, pointerRadius, 499.0f), Palette::text));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 221.0f), Palette::barBackground));
    EXPECT_TRUE (isNear (at (image, trackRadius, 180.0f), backdrop));
}

TEST_F (KnobTest, ArcGrowsFromTheStartToTheValue)
{
    // 0.25 of 278 degrees past 221: 290.5 degrees.
    const auto image = drawKnobAt ("knob_quarter", 0.25f);

    EXPECT_TRUE (isNear (at (image, trackRadius, 240.0f), Palette::text));
    EXPECT_TRUE (isNear (at (image, trackRadius, 280.0f), Palette::text));
    EXPECT_TRUE (isNear (at (image, trackRadius, 300.0f), Palette::barBackground));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 290.5f), Palette::text));
}

TEST_F (KnobTest, CentreOriginKnobAtItsMiddleShowsNoArcAndAVerticalPointer)
{
    lookAndFeel.centreOrigin = true;
    const auto image = drawKnobAt ("knob_centre_origin_middle", 0.5f);

    for (auto degrees : { 225.0f, 300.0f, 355.0f, 365.0f, 420.0f, 495.0f })
        EXPECT_TRUE (isNear (at (image, trackRadius, degrees), Palette::barBackground)) << degrees;

    // Straight up, 3.5 wide.
    EXPECT_TRUE (pixelIs (image, 25, 13, Palette::text));
    EXPECT_TRUE (pixelIs (image, 24, 13, Palette::text));
    EXPECT_TRUE (pixelIs (image, 25, 14, Palette::text));
    EXPECT_TRUE (pixelIs (image, 22, 13, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 28, 13, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 25, 17, Palette::barBackground));
}

TEST_F (KnobTest, CentreOriginArcRunsFromTheTopToTheValueOnEitherSide)
{
    lookAndFeel.centreOrigin = true;
    const auto below = drawKnobAt ("knob_centre_origin_below_middle", 0.25f);
    const auto above = drawKnobAt ("knob_centre_origin_above_middle", 0.75f);

    // Below the middle (290.5 degrees) the arc runs counter-clockwise from the top.
    EXPECT_TRUE (isNear (at (below, trackRadius, 350.0f), Palette::text));
    EXPECT_TRUE (isNear (at (below, trackRadius, 300.0f), Palette::text));
    EXPECT_TRUE (isNear (at (below, trackRadius, 280.0f), Palette::barBackground));
    EXPECT_TRUE (isNear (at (below, trackRadius, 370.0f), Palette::barBackground));
    EXPECT_TRUE (isNear (at (below, pointerRadius, 290.5f), Palette::text));

    // Above it (429.5 degrees) clockwise from the top.
    EXPECT_TRUE (isNear (at (above, trackRadius, 370.0f), Palette::text));
    EXPECT_TRUE (isNear (at (above, trackRadius, 420.0f), Palette::text));
    EXPECT_TRUE (isNear (at (above, trackRadius, 440.0f), Palette::barBackground));
    EXPECT_TRUE (isNear (at (above, trackRadius, 350.0f), Palette::barBackground));
}

TEST_F (KnobTest, ArcAndPointerTakeTheArcColourReadAtEveryPaint)
{
    lookAndFeel.arcColour = Palette::teal;
    const auto image = drawKnobAt ("knob_teal_three_quarters", 0.75f);

    EXPECT_TRUE (isNear (at (image, trackRadius, 300.0f), Palette::teal));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 429.5f), Palette::teal));
    EXPECT_TRUE (isNear (at (image, trackRadius, 460.0f), Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 25, 25, Palette::barBackground));
}

TEST_F (KnobTest, KnobIsAlways50By50AtTheTopCentreOfTheArea)
{
    // A slider 120 x 100: the knob is centred at x 60 and leaves everything below y 50 alone.
    const auto image = drawKnobAt ("knob_in_wide_tall_area", 1.0f, 0, 120, 120, 100);

    EXPECT_EQ (extent (image, differsFrom (backdrop)).getY(), 0);
    EXPECT_LE (extent (image, differsFrom (backdrop)).getBottom(), 50);
    EXPECT_GE (extent (image, differsFrom (backdrop)).getX(), 35);
    EXPECT_LE (extent (image, differsFrom (backdrop)).getRight(), 85);
    EXPECT_TRUE (pixelIs (image, 60, 25, Palette::barBackground));
    EXPECT_TRUE (isNear (at (image, trackRadius, 270.0f, 60.0f), Palette::text));

    // The area's x offsets the knob; its y and height are not used.
    const auto offset = draw (120, 100, "knob_offset_area", [this] (juce::Graphics& g)
    {
        lookAndFeel.drawRotarySlider (g, 20, 40, 60, 10, 1.0f, startAngle, endAngle, slider);
    });
    EXPECT_TRUE (pixelIs (offset, 50, 25, Palette::barBackground));
    EXPECT_TRUE (isNear (at (offset, trackRadius, 270.0f, 50.0f), Palette::text));
    EXPECT_LE (extent (offset, differsFrom (backdrop)).getBottom(), 50);
}

TEST_F (KnobTest, ASliderPaintedWholeShowsTheSameKnob)
{
    slider.setRotaryParameters (startAngle, endAngle, true);
    slider.setRange (0.0, 1.0);
    slider.setValue (1.0, juce::dontSendNotification);
    slider.setSize (50, 70);

    const auto image = paint (slider, "knob_slider_component");
    EXPECT_TRUE (isNear (at (image, trackRadius, 300.0f), Palette::text));
    EXPECT_TRUE (isNear (at (image, pointerRadius, 499.0f), Palette::text));
    EXPECT_EQ (count (image, { 0, 51, 50, 19 }, differsFrom (backdrop)), 0);
}

//==============================================================================
TEST (SliderTextBox, HasNoBorderPanelColoursAndTheCondensedFontAt12)
{
    LookAndFeelCustom lookAndFeel;
    juce::Slider slider (juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight);
    slider.setLookAndFeel (&lookAndFeel);

    std::unique_ptr<juce::Label> label (lookAndFeel.createSliderTextBox (slider));
    ASSERT_NE (label, nullptr);

    EXPECT_EQ (label->getBorderSize(), juce::BorderSize<int> (0));
    EXPECT_EQ (label->findColour (juce::Label::outlineColourId), Palette::panelBackground);
    EXPECT_EQ (label->findColour (juce::Label::backgroundColourId), Palette::panelBackground);
    EXPECT_EQ (label->findColour (juce::Label::textColourId), Palette::buttonOutline);
    EXPECT_FLOAT_EQ (label->getFont().getHeight(), 12.0f);
    EXPECT_EQ (label->getFont().getTypefacePtr(), getCondensedSemiboldFont().getTypefacePtr());

    // As the slider shows it: text in the outline grey on the panel colour, drawn from the left edge.
    label->setText ("0.75", juce::dontSendNotification);
    label->setJustificationType (juce::Justification::centredLeft);
    label->setSize (40, 16);
    const auto image = paint (*label, "slider_text_box");
    EXPECT_TRUE (pixelIs (image, 39, 0, Palette::panelBackground));
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 3);
    EXPECT_LE (extent (image, differsFrom (Palette::panelBackground, 6)).getX(), 2);

    label.reset();
    slider.setLookAndFeel (nullptr);
}
