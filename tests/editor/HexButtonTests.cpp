#include "editor/ControlImages.h"

#include "editor/HexButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }

struct PadTest : public ::testing::Test
{
    PadTest()
    {
        pad.setBounds (0, 0, 16, 16);
        pad.setVisible (true);
        pad.litLed.setOnColour (Palette::teal);
    }

    ~PadTest() override { juce::Desktop::getInstance().getAnimator().cancelAnimation (&pad.litLed, false); }

    juce::Colour centre (const juce::String& name) { return ControlImages::paintAndSave (pad, "hexbutton-" + name).getPixelAt (8, 8); }

    /** Pumps the message loop until the overlay is transparent; returns the milliseconds since the given time. */
    double fadeOut (double since)
    {
        while (pad.litLed.getAlpha() > 0.0f && nowMs() - since < 3000.0)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

        return nowMs() - since;
    }

    HexButton pad;
};
} // namespace

TEST_F (PadTest, RestsAsAnUnlitHexagonThatTakesEveryClickWhetherLitOrNot)
{
    const auto image = ControlImages::paintAndSave (pad, "hexbutton-rest-16x16");
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::barBackground));
    for (auto p : { juce::Point<int> (0, 8), { 0, 0 }, { 15, 0 }, { 0, 15 }, { 15, 15 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), Palette::panelBackground)) << "a hexagon: " << p.toString();

    // Pressing changes nothing.
    pad.setState (juce::Button::buttonDown);
    EXPECT_TRUE (coloursNear (centre ("rest-down"), Palette::barBackground));

    for (auto lit : { false, true })
    {
        if (lit)
            pad.flash();

        for (auto p : { juce::Point<int> (8, 8), { 0, 0 }, { 15, 15 }, { 8, 1 }, { 2, 8 } })
            EXPECT_EQ (pad.getComponentAt (p), &pad) << lit << " " << p.toString();
    }

    // Both hexagons follow the pad's size.
    pad.setBounds (0, 0, 30, 16);
    const auto wide = ControlImages::paintAndSave (pad, "hexbutton-flash-30x16");
    EXPECT_TRUE (coloursNear (wide.getPixelAt (15, 8), Palette::teal));
    EXPECT_TRUE (coloursNear (wide.getPixelAt (4, 8), Palette::panelBackground));
    EXPECT_TRUE (coloursNear (wide.getPixelAt (25, 8), Palette::panelBackground));
}

TEST_F (PadTest, FlashLightsThePadAtOnceAndEasesItOutOverOneSecond)
{
    const auto flashedAt = nowMs();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("flash-start"), Palette::teal));

    auto previous = 1.0f;
    auto sawPartialFade = false;

    while (nowMs() - flashedAt < 700.0)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        const auto alpha = pad.litLed.getAlpha();
        const auto t = (float) ((nowMs() - flashedAt) / 1000.0);
        EXPECT_LE (alpha, previous) << "the fade never brightens";
        previous = alpha;

        // Over its first half the opacity is 1 - 2 t^2, well above a linear fade; the animator's clock may
        // run one 20 ms tick ahead of ours.
        if (t < 0.45f)
        {
            EXPECT_GE (alpha, 1.0f - 2.0f * (t + 0.02f) * (t + 0.02f) - 0.01f) << "at " << t << " s";
        }

        // What shows is the voice colour at the overlay's opacity over the unlit hexagon.
        if (alpha > 0.05f && alpha < 0.95f && ! std::exchange (sawPartialFade, true))
        {
            EXPECT_TRUE (coloursNear (centre ("flash-fading"), Palette::barBackground.interpolatedWith (Palette::teal, alpha), 4));
        }
    }

    EXPECT_TRUE (sawPartialFade);
    EXPECT_GT (pad.litLed.getAlpha(), 0.0f) << "still fading 700 ms after the flash";

    const auto fadeMs = fadeOut (flashedAt);
    EXPECT_GE (fadeMs, 900.0);
    EXPECT_LE (fadeMs, 1400.0);
    EXPECT_TRUE (coloursNear (centre ("flash-end"), Palette::barBackground));
}

TEST_F (PadTest, SecondFlashRestartsTheFadeFromFullOpacity)
{
    pad.flash();
    juce::MessageManager::getInstance()->runDispatchLoopUntil (300);
    EXPECT_LT (pad.litLed.getAlpha(), 1.0f);
    EXPECT_GT (pad.litLed.getAlpha(), 0.0f);

    const auto secondAt = nowMs();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("second-flash"), Palette::teal));

    // Past the end of the first fade, the second is still running.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (750);
    EXPECT_GT (pad.litLed.getAlpha(), 0.02f);

    const auto fadeMs = fadeOut (secondAt);
    EXPECT_GE (fadeMs, 900.0);
    EXPECT_LE (fadeMs, 1400.0);
}
