#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

/** Text buttons without any background, their text in a plain font of height 12. */
class LookAndFeelPresetName final : public LookAndFeelCustom
{
public:
    LookAndFeelPresetName();
    ~LookAndFeelPresetName() override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeelPresetName)
};
