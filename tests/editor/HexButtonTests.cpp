#include "editor/ControlImages.h"

#include "editor/HexButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
double nowMs()
{
    return juce::Time::getMillisecondCounterHiRes();
}

void pump (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

/** Pumps the message loop until the pad's overlay is fully transparent; returns the time taken. */
double pumpUntilFadedOut (HexButton& pad, double timeoutMs)
{
    const auto start = nowMs();

    while (pad.litLed.getAlpha() > 0.0f && nowMs() - start < timeoutMs)
        pump (5);

    return nowMs() - start;
}

struct PadTest : public ::testing::Test
{
    PadTest()
    {
        pad.setBounds (0, 0, 16, 16);
        pad.setVisible (true);
        pad.litLed.setOnColour (Palette::teal);
    }

    ~PadTest() override
    {
        juce::Desktop::getInstance().getAnimator().cancelAnimation (&pad.litLed, false);
    }

    juce::Colour centreColour (const juce::String& imageName)
    {
        return ControlImages::paintAndSave (pad, imageName).getPixelAt (8, 8);
    }

    HexButton pad;
};
} // namespace

TEST_F (PadTest, RestsAsAnUnlitHexagonWithTheLitOverlayOnTop)
{
    ASSERT_EQ (pad.getNumChildComponents(), 2);
    EXPECT_EQ (pad.getChildComponent (0), &pad.baseLed);
    EXPECT_EQ (pad.getChildComponent (1), &pad.litLed);
    EXPECT_EQ (pad.baseLed.getBounds(), pad.getLocalBounds());
    EXPECT_EQ (pad.litLed.getBounds(), pad.getLocalBounds());

    // The overlay is lit in the voice colour but invisible until a flash.
    EXPECT_TRUE (pad.litLed.isOn);
    EXPECT_FALSE (pad.baseLed.isOn);
    EXPECT_EQ (pad.litLed.getAlpha(), 0.0f);

    const auto image = ControlImages::paintAndSave (pad, "hexbutton-rest-16x16");
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::barBackground));
    EXPECT_TRUE (coloursNear (image.getPixelAt (0, 8), Palette::panelBackground)) << "hexagon, not a circle";
    for (auto corner : { juce::Point<int> (0, 0), { 15, 0 }, { 0, 15 }, { 15, 15 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (corner.x, corner.y), Palette::panelBackground)) << corner.toString();

    // Hovering and pressing change nothing.
    pad.setState (juce::Button::buttonOver);
    EXPECT_TRUE (coloursNear (centreColour ("hexbutton-rest-over"), Palette::barBackground));
    pad.setState (juce::Button::buttonDown);
    EXPECT_TRUE (coloursNear (centreColour ("hexbutton-rest-down"), Palette::barBackground));
}

TEST_F (PadTest, BothHexagonsFollowTheSize)
{
    pad.setBounds (0, 0, 30, 16);
    EXPECT_EQ (pad.baseLed.getBounds(), juce::Rectangle<int> (0, 0, 30, 16));
    EXPECT_EQ (pad.litLed.getBounds(), juce::Rectangle<int> (0, 0, 30, 16));

    pad.flash();
    const auto image = ControlImages::paintAndSave (pad, "hexbutton-flash-30x16");
    EXPECT_TRUE (coloursNear (image.getPixelAt (15, 8), Palette::teal));
    EXPECT_TRUE (coloursNear (image.getPixelAt (4, 8), Palette::panelBackground));
    EXPECT_TRUE (coloursNear (image.getPixelAt (25, 8), Palette::panelBackground));
}

TEST_F (PadTest, ClicksAnywhereLandOnThePadItself)
{
    for (auto point : { juce::Point<int> (8, 8), { 0, 0 }, { 15, 15 }, { 8, 1 }, { 2, 8 } })
        EXPECT_EQ (pad.getComponentAt (point), &pad) << "at rest, " << point.toString();

    // Also while the overlay is lit.
    pad.flash();

    for (auto point : { juce::Point<int> (8, 8), { 0, 0 }, { 15, 15 }, { 8, 1 }, { 2, 8 } })
        EXPECT_EQ (pad.getComponentAt (point), &pad) << "lit, " << point.toString();
}

TEST_F (PadTest, FlashLightsThePadAtOnceAndFadesItOverOneSecond)
{
    const auto flashedAt = nowMs();
    pad.flash();

    EXPECT_EQ (pad.litLed.getAlpha(), 1.0f);
    EXPECT_TRUE (coloursNear (centreColour ("hexbutton-flash-start"), Palette::teal));
    EXPECT_TRUE (coloursNear (ControlImages::paint (pad).getPixelAt (0, 0), Palette::panelBackground));

    const auto bounds = pad.litLed.getBounds();
    auto previous = 1.0f;
    bool sawPartialFade = false;

    while (nowMs() - flashedAt < 700.0)
    {
        pump (50);
        const auto alpha = pad.litLed.getAlpha();
        EXPECT_LE (alpha, previous) << "the fade never brightens";
        previous = alpha;

        if (alpha > 0.05f && alpha < 0.95f && ! sawPartialFade)
        {
            sawPartialFade = true;

            // What shows is the voice colour at the overlay's opacity over the unlit hexagon.
            const auto image = ControlImages::paintAndSave (pad, "hexbutton-flash-fading");
            EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8),
                                      Palette::barBackground.interpolatedWith (Palette::teal, pad.litLed.getAlpha()), 4));
        }
    }

    EXPECT_TRUE (sawPartialFade);
    EXPECT_GT (pad.litLed.getAlpha(), 0.0f) << "still fading 700 ms after the flash";
    EXPECT_EQ (pad.litLed.getBounds(), bounds) << "the overlay doesn't move";

    const auto fadeMs = (nowMs() - flashedAt) + pumpUntilFadedOut (pad, 2000.0);
    EXPECT_GE (fadeMs, 900.0);
    EXPECT_LE (fadeMs, 1400.0);

    EXPECT_EQ (pad.litLed.getAlpha(), 0.0f);
    EXPECT_TRUE (pad.litLed.isOn);
    EXPECT_TRUE (coloursNear (centreColour ("hexbutton-flash-end"), Palette::barBackground));
}

TEST_F (PadTest, SecondFlashRestartsTheFadeFromFullOpacity)
{
    pad.flash();
    pump (300);

    const auto fadedAlpha = pad.litLed.getAlpha();
    EXPECT_LT (fadedAlpha, 1.0f);
    EXPECT_GT (fadedAlpha, 0.0f);

    const auto secondAt = nowMs();
    pad.flash();
    EXPECT_EQ (pad.litLed.getAlpha(), 1.0f);
    EXPECT_TRUE (coloursNear (centreColour ("hexbutton-second-flash"), Palette::teal));

    // Past the end of the first fade, the second is still running.
    pump (750);
    EXPECT_GT (pad.litLed.getAlpha(), 0.02f);

    const auto fadeMs = (nowMs() - secondAt) + pumpUntilFadedOut (pad, 2000.0);
    EXPECT_GE (fadeMs, 900.0);
    EXPECT_LE (fadeMs, 1400.0);
}
