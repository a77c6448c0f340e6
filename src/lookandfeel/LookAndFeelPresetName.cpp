#include "LookAndFeelPresetName.h"

LookAndFeelPresetName::LookAndFeelPresetName() = default;
LookAndFeelPresetName::~LookAndFeelPresetName() = default;

void LookAndFeelPresetName::drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool, bool)
{
    // What lies behind the button shows through.
}

juce::Font LookAndFeelPresetName::getTextButtonFont (juce::TextButton&, int)
{
    return juce::Font (12.0f);
}
