#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

TEST (HexButton, RestsAsAnUnlitHexagonWithoutPressedLookAndTakesEveryClick)
{
    HexButton pad;
    pad.setBounds (0, 0, 16, 16);
    pad.setVisible (true);

    // Pressing changes nothing: still the unlit hexagon, pointy at top and bottom with flat sides at x 1.07 and 14.93
    // from y 4 to 12, and the panel around it.
    pad.setState (juce::Button::buttonDown);
    const auto image = snapshot (pad, "hexbutton-rest-down-16x16");
    for (auto p : { juce::Point<int> (8, 8), { 2, 5 }, { 13, 11 }, { 8, 1 }, { 7, 14 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), Palette::barBackground, 4)) << p.toString();
    for (auto p : { juce::Point<int> (0, 8), { 0, 0 }, { 15, 0 }, { 0, 15 }, { 15, 15 }, { 0, 5 }, { 0, 11 }, { 15, 8 }, { 2, 1 }, { 13, 1 }, { 2, 14 }, { 13, 14 } })
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
    const auto centre = [&pad] (const juce::String& name) { return snapshot (pad, "hexbutton-" + name).getPixelAt (8, 8); };
    const auto now = [] { return juce::Time::getMillisecondCounterHiRes(); };

    // The animator ticks on this thread, so on a loaded machine a tick may come as late as the longest pause this
    // thread sees while it waits; the limits below allow for that pause, measured.
    auto lastLook = 0.0, longestPause = 0.0;
    const auto waitFor = [&] (const std::function<bool()>& condition)
    {
        lastLook = now();
        longestPause = 0.0;
        return pumpUntil ([&]
        {
            longestPause = std::max (longestPause, now() - lastLook);
            lastLook = now();
            return condition();
        });
    };

    // The animator's clock starts with its first animation.
    ASSERT_TRUE (pumpUntil ([] { return ! juce::Desktop::getInstance().getAnimator().isAnimating(); }));
    auto flashedAt = now();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("flash-start"), Palette::teal));

    // Easing in at 1 - 2 t^2, it falls below 0.75 only after 0.35 s, where a linear fade is at 0.65; the animator's clock
    // may run a 20 ms tick ahead of ours. On the way the voice colour shows at the overlay's opacity over the unlit hexagon.
    ASSERT_TRUE (waitFor ([&] { return pad.litLed.getAlpha() < 0.75f; }));
    EXPECT_GE (now() - flashedAt, 320.0);
    EXPECT_TRUE (coloursNear (centre ("flash-fading"), Palette::barBackground.interpolatedWith (Palette::teal, pad.litLed.getAlpha()), 4));

    // A flash during the fade lights the pad fully again, and the fade ends a second after it, or somewhat less: the
    // animator counts the new fade from its last tick, which came during the last look's pause.
    const auto lastTick = lastLook - longestPause;
    flashedAt = now();
    pad.flash();
    EXPECT_TRUE (coloursNear (centre ("second-flash"), Palette::teal));
    ASSERT_TRUE (waitFor ([&] { return pad.litLed.getAlpha() == 0.0f; }));
    const auto fade = now() - flashedAt;
    EXPECT_GE (fade, 900.0 - (flashedAt - lastTick));
    EXPECT_LE (fade, 1050.0 + 2.0 * longestPause) << "longest pause " << longestPause << " ms";
    EXPECT_TRUE (coloursNear (centre ("flash-end"), Palette::barBackground));
}
