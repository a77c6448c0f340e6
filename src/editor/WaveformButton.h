#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    A button whose only picture is one of three waveform icons.

    The icons start hidden; the owner shows the one of the current waveform and hides the
    other two. An icon whose embedded document can't be read stays empty, and the button
    then shows nothing for that waveform.
*/
class WaveformButton final : public juce::Button
{
public:
    explicit WaveformButton (juce::Colour iconColourToUse);
    ~WaveformButton() override;

    /** Makes an icon from SVG text, with black replaced by the given colour, sized and placed
        to fill a button of iconWidth x iconHeight. Returns nullptr if the text isn't a readable SVG document.
    */
    static std::unique_ptr<juce::Drawable> createIcon (const juce::String& svgText, juce::Colour colour);

    /** The size of the button the icons are drawn for. */
    static constexpr int iconWidth = 49;
    static constexpr int iconHeight = 32;

    std::unique_ptr<juce::Drawable> triangleIcon;
    std::unique_ptr<juce::Drawable> hybridIcon;
    std::unique_ptr<juce::Drawable> sineIcon;
    juce::Colour iconColour;

private:
    void paintButton (juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WaveformButton)
};
