#include "SteppedParameter.h"

int SteppedParameter::getNumSteps() const
{
    return juce::RangedAudioParameter::getNumSteps();
}

bool SteppedParameter::isDiscrete() const
{
    return true;
}

bool SteppedParameter::isBoolean() const
{
    return getNumSteps() == 2;
}
