#include "editor/LEDButton.h"

#include "editor/LED.h"
#include "lookandfeel/Palette.h"

LEDButton::LEDButton()
    : juce::Button ({}),
      offColour (Palette::barBackground),
      onColour (Palette::blue)
{
}

LEDButton::~LEDButton() = default;

void LEDButton::setOffColour (juce::Colour newOffColour)
{
    offColour = newOffColour;
    repaint();
}

void LEDButton::setOnColour (juce::Colour newOnColour)
{
    onColour = newOnColour;
    repaint();
}

void LEDButton::setTexts (const juce::String& newOffText, const juce::String& newOnText)
{
    offText = newOffText;
    onText = newOnText;
    repaint();
}

void LEDButton::resized()
{
}

void LEDButton::paintButton (juce::Graphics& g, bool, bool)
{
    const auto on = getToggleState();
    const auto bounds = getLocalBounds().toFloat();

    g.setColour (on ? onColour : offColour);

    if (isHexagon)
        g.fillPath (LED::createHexagon (bounds));
    else
        g.fillEllipse (bounds);

    g.setColour (Palette::panelBackground);
    g.setFont (textHeight);

    // One pixel down and one wider, which puts the caption half a pixel right of and below the centre.
    g.drawText (on ? onText : offText, juce::Rectangle<int> (0, 1, getWidth() + 1, getHeight() - 1),
                juce::Justification::centred, true);
}
