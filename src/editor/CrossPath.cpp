#include "editor/CrossPath.h"

std::unique_ptr<juce::DrawablePath> createCrossPath()
{
    return std::make_unique<juce::DrawablePath>();
}
