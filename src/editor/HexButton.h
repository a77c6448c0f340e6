#pragma once

#include "editor/LED.h"

/**
    The pad on a voice tab: an unlit hexagon with a lit hexagon over it.

    The lit overlay is always on and transparent at rest; flash() makes it opaque and fades
    it out again. The overlay's colour is set through litLed.setOnColour(). Clicks anywhere
    on the pad reach the button itself, so a mouse listener on it sees all of them.
*/
class HexButton final : public juce::Button
{
public:
    HexButton();
    ~HexButton() override;

    /** Lights the overlay at full opacity and fades it to transparent over one second.
        A flash during a running fade starts the fade again from full opacity.
    */
    void flash();

    void resized() override;

    /** How long a flash takes to fade out. */
    static constexpr int fadeMilliseconds = 1000;

    LED baseLed;
    LED litLed;

private:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HexButton)
};
