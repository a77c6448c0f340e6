#include "editor/WaveformButton.h"

#include "BinaryData.h"

WaveformButton::WaveformButton (juce::Colour iconColourToUse)
    : juce::Button ({}),
      iconColour (iconColourToUse)
{
    const auto makeIcon = [this] (const char* data, int size)
    {
        auto icon = createIcon (juce::String::fromUTF8 (data, size), iconColour);

        if (icon != nullptr)
            addChildComponent (*icon);

        return icon;
    };

    triangleIcon = makeIcon (TombrelBinary::waveformtriangle_svg, TombrelBinary::waveformtriangle_svgSize);
    hybridIcon = makeIcon (TombrelBinary::waveformhybrid_svg, TombrelBinary::waveformhybrid_svgSize);
    sineIcon = makeIcon (TombrelBinary::waveformsine_svg, TombrelBinary::waveformsine_svgSize);
}

WaveformButton::~WaveformButton() = default;

std::unique_ptr<juce::Drawable> WaveformButton::createIcon (const juce::String& svgText, juce::Colour colour)
{
    const auto xml = juce::parseXML (svgText);

    if (xml == nullptr)
        return {};

    auto icon = juce::Drawable::createFromSVG (*xml);

    if (icon == nullptr)
        return {};

    icon->replaceColour (juce::Colours::black, colour);
    icon->setBounds (0, 0, iconWidth, iconHeight);
    return icon;
}

void WaveformButton::paintButton (juce::Graphics&, bool, bool)
{
}
