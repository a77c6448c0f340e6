#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/**
    A switch or a choice: a float parameter whose range steps through whole values, each with a
    text of its own. It stores and maps its value as any juce::AudioParameterFloat does; it only
    tells hosts that it has that many steps, so that they step it and list its texts rather than
    show a continuous knob. With two values it is a toggle.
*/
class SteppedParameter final : public juce::AudioParameterFloat
{
public:
    using juce::AudioParameterFloat::AudioParameterFloat;

    /** The number of values of the range; the plain float parameter reports the default count. */
    int getNumSteps() const override;
    bool isDiscrete() const override;
    bool isBoolean() const override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SteppedParameter)
};
