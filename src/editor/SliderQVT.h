#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    A voice knob. Its value label shows the knob's value text and takes typed values, which
    are brought into the parameter's own units (percent, pan, kHz) before the parameter reads them.
*/
class SliderQVT final : public juce::Slider
{
public:
    SliderQVT();
    ~SliderQVT() override;

    /** Links the value label: shows the current value text in it and installs the typed-value handler.
        Call once, after the knob's attachment exists. */
    void setLabel (juce::Label* label);

    /** Not owned; the panel owns it. */
    juce::Label* valueLabel = nullptr;
    /** A typed number is a percentage. */
    bool percentMode = false;
    /** A typed number is a pan percentage, to the left when the text ends in "l". */
    bool panMode = false;
    /** Position in the panel's knob list, and of this knob's value label in the label list. */
    int knobIndex = 0;

private:
    void applyTypedText();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SliderQVT)
};
