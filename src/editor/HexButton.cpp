#include "editor/HexButton.h"

HexButton::HexButton()
    : juce::Button ({})
{
    baseLed.isHexagon = true;
    litLed.isHexagon = true;

    litLed.setAlpha (0.0f);
    litLed.setOn (true);

    baseLed.setInterceptsMouseClicks (false, false);
    litLed.setInterceptsMouseClicks (false, false);

    addAndMakeVisible (baseLed);
    addAndMakeVisible (litLed);
}

HexButton::~HexButton() = default;

void HexButton::flash()
{
    if (litLed.getAlpha() != 1.0f)
        litLed.setAlpha (1.0f);

    // Animating a component that is already animating replaces its running animation,
    // which then starts from the alpha just set.
    juce::Desktop::getInstance().getAnimator().animateComponent (&litLed, litLed.getBounds(), 0.0f,
                                                                  fadeMilliseconds, false, 0.0, 0.0);
}

void HexButton::resized()
{
    baseLed.setBounds (getLocalBounds());
    litLed.setBounds (getLocalBounds());
}

void HexButton::paintButton (juce::Graphics&, bool, bool)
{
}
