#include "editor/SliderQVT.h"

SliderQVT::SliderQVT() = default;
SliderQVT::~SliderQVT() = default;

void SliderQVT::setLabel (juce::Label* label)
{
    valueLabel = label;
}
