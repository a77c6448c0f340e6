#include "LookAndFeelTabButton.h"

#include "lookandfeel/Fonts.h"

namespace
{
// Room on the tab's left for the voice's pad.
constexpr int textLeftInset = 22;
constexpr int textTopInset = 2;
constexpr float textHeight = 15.0f;
} // namespace

LookAndFeelTabButton::LookAndFeelTabButton() = default;
LookAndFeelTabButton::~LookAndFeelTabButton() = default;

void LookAndFeelTabButton::drawButtonBackground (juce::Graphics& g, juce::Button& button,
                                                 const juce::Colour&, bool, bool)
{
    g.setColour (button.getToggleState() ? tabColour : Palette::divider);
    g.fillRect (0, button.getHeight() - 1, button.getWidth(), 1);
}

void LookAndFeelTabButton::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    // Disabled tabs look the same as enabled ones.
    g.setFont (getSemiboldFont().withHeight (textHeight));
    g.setColour (button.getToggleState() ? tabColour : button.findColour (juce::TextButton::textColourOffId));

    const auto width = button.getWidth();

    if (width > textLeftInset)
        g.drawFittedText (button.getButtonText(),
                          textLeftInset, textTopInset, width - textLeftInset, button.getHeight() - textTopInset,
                          juce::Justification::centred, 2);
}
