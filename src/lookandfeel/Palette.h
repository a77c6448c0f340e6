#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** The fixed colours of the interface. */
namespace Palette
{
inline const juce::Colour panelBackground { 0xFF151617 };
inline const juce::Colour buttonOutline { 0xFFCDCDCD };
inline const juce::Colour text { 0xFFD2D2D2 };
inline const juce::Colour dimText { 0xFF5A6370 };
inline const juce::Colour barBackground { 0xFF282C31 };
inline const juce::Colour iconGrey { 0xFF777979 };
inline const juce::Colour divider { 0xFF30353C };
inline const juce::Colour blue { 0xFF5FBDE4 };
inline const juce::Colour green { 0xFF65AE63 };
inline const juce::Colour teal { 0xFF6ABC9B };
inline const juce::Colour yellow { 0xFFE3BD3A };
inline const juce::Colour orange { 0xFFD17E1F };
inline const juce::Colour red { 0xFFCC4C3A };
inline const juce::Colour purple { 0xFFA25AC6 };

/** The accent of each voice, by voice index 0 to 6. */
inline const std::array<juce::Colour, 7> voiceAccents { blue, teal, green, yellow, orange, red, purple };

/** The accent of the voice at index 0 to 6; indices outside wrap around. */
inline juce::Colour getVoiceAccent (int voiceIndex) noexcept
{
    return voiceAccents[(size_t) (((voiceIndex % 7) + 7) % 7)];
}
} // namespace Palette
