#include "editor/CrossPath.h"

std::unique_ptr<juce::DrawablePath> createCrossPath()
{
    juce::Path cross;
    cross.startNewSubPath (0.0f, 0.0f);
    cross.lineTo (15.0f, 15.0f);
    cross.closeSubPath();
    cross.startNewSubPath (15.0f, 0.0f);
    cross.lineTo (0.0f, 15.0f);
    cross.closeSubPath();

    auto drawable = std::make_unique<juce::DrawablePath>();
    drawable->setPath (cross);
    drawable->setFill (juce::Colours::transparentBlack);
    drawable->setStrokeThickness (2.0f);
    drawable->setStrokeFill (juce::Colours::black);
    return drawable;
}
