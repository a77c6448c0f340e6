#include "LookAndFeelTextOnlyButton.h"

LookAndFeelTextOnlyButton::LookAndFeelTextOnlyButton()
    : font (15.0f),
      justification (juce::Justification::left)
{
}

LookAndFeelTextOnlyButton::~LookAndFeelTextOnlyButton() = default;

void LookAndFeelTextOnlyButton::drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour&, bool, bool)
{
    // Only the text is drawn.
}

void LookAndFeelTextOnlyButton::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    const auto width = button.getWidth();
    const auto height = button.getHeight();

    g.setFont (font.withHeight (juce::jmin (font.getHeight(), 0.7f * (float) height)));
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId)
                       .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));

    g.drawFittedText (button.getButtonText(), 0, 0, width, height, justification, 1);
}
