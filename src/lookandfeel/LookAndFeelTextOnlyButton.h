#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

/** Text buttons drawn as their text alone, on one line, in a font and justification of their own. */
class LookAndFeelTextOnlyButton final : public LookAndFeelCustom
{
public:
    LookAndFeelTextOnlyButton();
    ~LookAndFeelTextOnlyButton() override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    /** Font of the button text; drawn no taller than 0.7 of the button's height. */
    juce::Font font;

    /** Placement of the button text within the button. */
    juce::Justification justification;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeelTextOnlyButton)
};
