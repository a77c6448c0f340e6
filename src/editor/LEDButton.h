#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A toggle button drawn as a light with a short caption inside it.

    The light and the caption follow the button's toggle state; hovering and pressing
    change nothing. Outside the light the button draws nothing, so its parent shows there.
*/
class LEDButton final : public juce::Button
{
public:
    LEDButton();
    ~LEDButton() override;

    /** Changes the light's colour while off and repaints. */
    void setOffColour (juce::Colour newOffColour);

    /** Changes the light's colour while on and repaints. */
    void setOnColour (juce::Colour newOnColour);

    /** Changes both captions and repaints once. */
    void setTexts (const juce::String& newOffText, const juce::String& newOnText);

    void resized() override;

    /** The shape of the light, as for LED. */
    bool isHexagon = false;

    /** Height of the caption font. */
    static constexpr float textHeight = 12.0f;

private:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    juce::String offText;
    juce::String onText;
    juce::Colour offColour;
    juce::Colour onColour;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LEDButton)
};
