#include "Fonts.h"

#include "BinaryData.h"

const juce::Font& getSemiboldFont()
{
    // Made once, from memory; the font reports the typeface's own name and style.
    static const juce::Font font { juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansSemiBold_ttf,
                                                                           (size_t) TombrelBinary::FiraSansSemiBold_ttfSize) };
    return font;
}

const juce::Font& getCondensedSemiboldFont()
{
    static const juce::Font font { juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansCondensedSemiBold_ttf,
                                                                           (size_t) TombrelBinary::FiraSansCondensedSemiBold_ttfSize) };
    return font;
}
