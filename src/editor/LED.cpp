#include "editor/LED.h"

#include "lookandfeel/Palette.h"

#include <cmath>

LED::LED()
    : offColour (Palette::barBackground),
      onColour (Palette::blue)
{
}

LED::~LED() = default;

void LED::setOn (bool shouldBeOn)
{
    isOn = shouldBeOn;
    repaint();
}

void LED::setOnColour (juce::Colour newOnColour)
{
    onColour = newOnColour;
    repaint();
}

juce::Path LED::createHexagon (juce::Rectangle<float> area)
{
    const auto radius = area.getHeight() / 2.0f;
    const auto centreX = area.getCentreX();
    const auto top = area.getY();
    const auto halfWidth = radius * std::sqrt (3.0f) / 2.0f; // cos 30 degrees

    // Clockwise from the top vertex, at -90, -30, 30, 90, 150 and 210 degrees.
    juce::Path hexagon;
    hexagon.startNewSubPath (centreX, top);
    hexagon.lineTo (centreX + halfWidth, top + radius / 2.0f);
    hexagon.lineTo (centreX + halfWidth, top + radius * 1.5f);
    hexagon.lineTo (centreX, top + radius * 2.0f);
    hexagon.lineTo (centreX - halfWidth, top + radius * 1.5f);
    hexagon.lineTo (centreX - halfWidth, top + radius / 2.0f);
    hexagon.closeSubPath();
    return hexagon;
}

void LED::paint (juce::Graphics& g)
{
    g.fillAll (Palette::panelBackground);
    g.setColour (isOn ? onColour : offColour);

    const auto bounds = getLocalBounds().toFloat();

    if (isHexagon)
        g.fillPath (createHexagon (bounds));
    else
        g.fillEllipse (bounds);
}

void LED::resized()
{
}
