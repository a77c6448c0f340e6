#include "Fonts.h"

#include "BinaryData.h"

namespace
{
juce::Typeface::Ptr createTypeface (const char* data, int size)
{
    return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
}

/** The embedded typefaces, made once on first use. They go with the framework's other shared
    objects when it shuts down, after the last editor, rather than with the program's statics:
    typefaces outliving the framework show up in its leak detector. */
class EmbeddedFonts final : public juce::DeletedAtShutdown
{
public:
    ~EmbeddedFonts() override { clearSingletonInstance(); }

    // Each font reports its typeface's own name and style, at the framework's default height.
    const juce::Font semibold { createTypeface (TombrelBinary::FiraSansSemiBold_ttf, TombrelBinary::FiraSansSemiBold_ttfSize) };
    const juce::Font condensedSemibold { createTypeface (TombrelBinary::FiraSansCondensedSemiBold_ttf,
                                                         TombrelBinary::FiraSansCondensedSemiBold_ttfSize) };
    const juce::Typeface::Ptr defaultSemibold = createTypeface (TombrelBinary::FiraSansSemiBold_ttf,
                                                                TombrelBinary::FiraSansSemiBold_ttfSize);

    JUCE_DECLARE_SINGLETON (EmbeddedFonts, false)
};

JUCE_IMPLEMENT_SINGLETON (EmbeddedFonts)
} // namespace

const juce::Font& getSemiboldFont()
{
    return EmbeddedFonts::getInstance()->semibold;
}

const juce::Font& getCondensedSemiboldFont()
{
    return EmbeddedFonts::getInstance()->condensedSemibold;
}

juce::Typeface::Ptr getDefaultSemiboldTypeface()
{
    return EmbeddedFonts::getInstance()->defaultSemibold;
}
