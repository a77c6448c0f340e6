#include "editor/ControlImages.h"

#include "BinaryData.h"
#include "editor/LEDButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
const juce::Colour slate { 0xFF495059 };

/** Pixels of the caption: those painted much closer to the panel background than to the light. */
struct CaptionPixels
{
    CaptionPixels (const juce::Image& image, juce::Colour light)
    {
        for (int y = 0; y < image.getHeight(); ++y)
        {
            for (int x = 0; x < image.getWidth(); ++x)
            {
                const auto pixel = image.getPixelAt (x, y);

                if (pixel.getAlpha() < 255)
                    continue;

                const auto distance = [pixel] (juce::Colour c)
                {
                    return std::abs (pixel.getRed() - c.getRed()) + std::abs (pixel.getGreen() - c.getGreen())
                           + std::abs (pixel.getBlue() - c.getBlue());
                };

                // Weight by how far the pixel has moved from the light towards the caption colour.
                const auto span = (float) distance (light) + (float) distance (Palette::panelBackground);
                const auto weight = span > 0.0f ? (float) distance (light) / span : 0.0f;

                if (weight > 0.5f)
                    ++count;

                if (weight > 0.1f)
                {
                    centre += juce::Point<float> ((float) x + 0.5f, (float) y + 0.5f) * weight;
                    totalWeight += weight;
                    area = area.getUnion ({ x, y, 1, 1 });
                }
            }
        }

        if (totalWeight > 0.0f)
            centre /= totalWeight;
    }

    int count = 0;
    float totalWeight = 0.0f;
    juce::Point<float> centre;
    juce::Rectangle<int> area;
};

/** Captions draw in the semibold typeface, as they do in the plug-in, whatever fonts the system has. */
struct LEDButtonTest : public ::testing::Test
{
    LEDButtonTest()
    {
        juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (
            juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansSemiBold_ttf,
                                                    (size_t) TombrelBinary::FiraSansSemiBold_ttfSize));
        button.setBounds (0, 0, 14, 14);
    }

    ~LEDButtonTest() override
    {
        juce::LookAndFeel::getDefaultLookAndFeel().setDefaultSansSerifTypeface (nullptr);
    }

    LEDButton button;
};
} // namespace

TEST_F (LEDButtonTest, OffWithoutCaptionsIsAPlainLightWithNothingAround)
{
    auto image = ControlImages::paintAndSave (button, "ledbutton-off-default");
    EXPECT_TRUE (coloursNear (image.getPixelAt (7, 7), Palette::barBackground));

    button.setOffColour (slate);
    image = ControlImages::paintAndSave (button, "ledbutton-off-slate");
    EXPECT_TRUE (coloursNear (image.getPixelAt (7, 7), slate));
    EXPECT_EQ (CaptionPixels (image, slate).count, 0);

    // The parent shows in the corners.
    for (auto corner : { juce::Point<int> (0, 0), { 13, 0 }, { 0, 13 }, { 13, 13 } })
        EXPECT_EQ (image.getPixelAt (corner.x, corner.y).getAlpha(), 0) << corner.toString();

    // The circle reaches the middle of each edge.
    for (auto edge : { juce::Point<int> (0, 7), { 13, 6 }, { 7, 0 }, { 6, 13 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (edge.x, edge.y), slate, 20)) << edge.toString();
}

TEST_F (LEDButtonTest, OnLightsInTheOnColourWithItsOwnCaption)
{
    button.setOffColour (slate);
    button.setTexts ({}, "B");

    auto image = ControlImages::paintAndSave (button, "ledbutton-off-caption-only-when-on");
    EXPECT_EQ (CaptionPixels (image, slate).count, 0);

    button.setToggleState (true, juce::dontSendNotification);
    image = ControlImages::paintAndSave (button, "ledbutton-on-B");
    EXPECT_TRUE (coloursNear (image.getPixelAt (1, 7), Palette::blue, 10)) << "the light around the caption";
    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0);

    const CaptionPixels caption (image, Palette::blue);
    EXPECT_GT (caption.count, 4);

    // Centred in (0, 1, 15, 13): half a pixel right of and below the middle of the button.
    EXPECT_NEAR (caption.centre.x, 7.5f, 1.0f);
    EXPECT_NEAR (caption.centre.y, 7.5f, 1.5f);

    // A 12-pixel font: capitals about 8 pixels tall, not filling the button.
    EXPECT_GE (caption.area.getHeight(), 7);
    EXPECT_LE (caption.area.getHeight(), 10);
}

TEST_F (LEDButtonTest, EachStateShowsItsOwnCaption)
{
    button.setTexts ("A", "B");
    button.setOnColour (Palette::yellow);
    button.setOffColour (Palette::purple);

    const auto offImage = ControlImages::paintAndSave (button, "ledbutton-off-A");
    button.setToggleState (true, juce::dontSendNotification);
    const auto onImage = ControlImages::paintAndSave (button, "ledbutton-on-B-yellow");

    const CaptionPixels offCaption (offImage, Palette::purple), onCaption (onImage, Palette::yellow);
    EXPECT_GT (offCaption.count, 4);
    EXPECT_GT (onCaption.count, 4);

    // "A" and "B" differ: the letter B is filled on its left side where A is empty.
    int differing = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
            differing += (offImage.getPixelAt (x, y).getBrightness() < 0.2f) != (onImage.getPixelAt (x, y).getBrightness() < 0.2f) ? 1 : 0;

    EXPECT_GT (differing, 3);
}

TEST_F (LEDButtonTest, HoverAndPressChangeNothing)
{
    button.setTexts ("A", "B");
    const auto normal = ControlImages::paint (button);

    for (auto state : { juce::Button::buttonOver, juce::Button::buttonDown })
    {
        button.setState (state);
        const auto image = ControlImages::paintAndSave (button, state == juce::Button::buttonOver ? "ledbutton-over" : "ledbutton-down");

        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 14; ++x)
                ASSERT_EQ (image.getPixelAt (x, y), normal.getPixelAt (x, y)) << x << ", " << y;
    }
}

TEST_F (LEDButtonTest, ChangingAColourOrTheCaptionsRepaintsAtOnce)
{
    button.setToggleState (true, juce::dontSendNotification);

    EXPECT_GT (ControlImages::countRepaints (button, [this] { button.setOnColour (Palette::red); }), 0);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (button, "ledbutton-on-red").getPixelAt (7, 7), Palette::red));

    EXPECT_GT (ControlImages::countRepaints (button, [this] { button.setOffColour (slate); }), 0);
    EXPECT_EQ (ControlImages::countRepaints (button, [this] { button.setTexts ("Off", "On"); }), 1);
}

TEST_F (LEDButtonTest, HexagonLightLeavesTheSidesEmpty)
{
    button.isHexagon = true;
    button.setBounds (0, 0, 30, 16);
    button.setToggleState (true, juce::dontSendNotification);
    const auto image = ControlImages::paintAndSave (button, "ledbutton-hexagon-on-30x16");

    EXPECT_TRUE (coloursNear (image.getPixelAt (10, 8), Palette::blue));
    for (int x : { 0, 7, 22, 29 })
        EXPECT_EQ (image.getPixelAt (x, 8).getAlpha(), 0) << x;
}
