#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

/**
    Text buttons drawn as tabs: a 1-pixel line along the bottom and the text, inset on the left
    to leave room for the voice's pad. Line and text take tabColour while the tab is on.
*/
class LookAndFeelTabButton final : public LookAndFeelCustom
{
public:
    LookAndFeelTabButton();
    ~LookAndFeelTabButton() override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    /** The accent of the tab's voice; set before the look-and-feel is installed on the tab. */
    juce::Colour tabColour { Palette::text };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeelTabButton)
};
