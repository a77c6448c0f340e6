#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A passive light: a filled ellipse or a pointy-top hexagon in one of two colours,
    on the panel background.
*/
class LED final : public juce::Component
{
public:
    LED();
    ~LED() override;

    /** Switches the light on or off and repaints it. */
    void setOn (bool shouldBeOn);

    /** Changes the colour used while the light is on and repaints it. */
    void setOnColour (juce::Colour newOnColour);

    /** The pointy-top hexagon inscribed in the height of the given area and centred in it.

        Its radius is half the height, so its flat sides are vertical and, in an area wider
        than 0.866 x its height, it doesn't reach the left and right edges.
    */
    static juce::Path createHexagon (juce::Rectangle<float> area);

    void paint (juce::Graphics& g) override;
    void resized() override;

    juce::Colour offColour;
    juce::Colour onColour;
    bool isOn = false;

    /** The shape: true for the hexagon, false for an ellipse filling the bounds. Set it before the first paint. */
    bool isHexagon = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LED)
};
