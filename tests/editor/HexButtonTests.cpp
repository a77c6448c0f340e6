#include "editor/ControlImages.h"

#include "editor/HexButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
double nowMs() { return juce::Time::getMillisecondCounterHiRes(); }
} // namespace

TEST (HexButton, RestsAsAnUnlitHexagonWithoutPressedLookAndTakesEveryClick)
{
    HexButton pad;
    pad.setBounds (0, 0, 16, 16);
    pad.setVisible (true);

    // Pressing changes nothing: still the unlit hexagon, with the panel in the corners and beside the flat sides.
    pad.setState (juce::Button::buttonDown);
    const auto image = ControlImages::paintAndSave (pad, "hexbutton-rest-down-16x16");
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::barBackground));
    for (auto p : { juce::Point<int> (0, 8), { 0, 0 }, { 15, 0 }, { 0, 15 }, { 15, 15 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), Palette::panelBackground)) << p.toString();

    // The lit overlay, transparent or not, lets clicks through to the pad.
    for (auto p : { juce::Point<int> (8, 8), { 0, 0 }, { 15, 15 }, { 8, 1 } })
        EXPECT_EQ (pad.getComponentAt (p), &pad) << p.toString();
}

TEST (HexButton, FlashLightsThePadAtOnceEasesItOutOverOneSecondAndRestartsOnTheNextFlash)
{
    HexButton pad;
    pad.setBounds (0, 0, 16, 16);
    pad.litLed.setOnColour (Palette::teal);
    const auto centre = [&pad] (const juce::String& name) { return ControlImages::paintAndSave (pad, "hexbutton-" + name).getPixelAt (8, 8); };
    auto flashedAt = nowMs();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("flash-start"), Palette::teal));
    auto sawPartialFade = false;

    while (nowMs() - flashedAt < 700.0)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
        const auto alpha = pad.litLed.getAlpha();
        const auto t = (float) ((nowMs() - flashedAt) / 1000.0);

        // Easing in, the opacity stays well above a linear fade, at 1 - 2 t^2 over the first half; the animator's
        // clock may run one 20 ms tick ahead of ours.
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

    // A flash during the fade lights the pad fully again, and the fade ends a second after it.
    EXPECT_TRUE (sawPartialFade);
    EXPECT_GT (pad.litLed.getAlpha(), 0.0f);
    flashedAt = nowMs();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("second-flash"), Palette::teal));

    while (pad.litLed.getAlpha() > 0.0f && nowMs() - flashedAt < 3000.0)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

    EXPECT_GE (nowMs() - flashedAt, 900.0);
    EXPECT_LE (nowMs() - flashedAt, 1400.0);
    EXPECT_TRUE (coloursNear (centre ("flash-end"), Palette::barBackground));
    juce::Desktop::getInstance().getAnimator().cancelAnimation (&pad.litLed, false);
}
