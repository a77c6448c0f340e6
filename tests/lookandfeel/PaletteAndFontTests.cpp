#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"

#include "BinaryData.h"

using namespace testimages;

TEST (Palette, VoiceAccentsRunBlueTealGreenYellowOrangeRedPurple)
{
    const juce::uint32 expected[] = { 0xFF5FBDE4, 0xFF6ABC9B, 0xFF65AE63, 0xFFE3BD3A, 0xFFD17E1F, 0xFFCC4C3A, 0xFFA25AC6 };

    for (int voice = 0; voice < 7; ++voice)
        EXPECT_EQ (Palette::getVoiceAccent (voice).getARGB(), expected[voice]) << "voice " << voice;
}

TEST (Fonts, GettersGiveTheEmbeddedFontsAtHeight14)
{
    const auto condensed = juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansCondensedSemiBold_ttf,
                                                                    (size_t) TombrelBinary::FiraSansCondensedSemiBold_ttfSize);
    ASSERT_NE (getSemiboldFont().getTypefaceName(), condensed->getName());
    EXPECT_EQ (getCondensedSemiboldFont().getTypefaceName(), condensed->getName());

    EXPECT_FLOAT_EQ (getSemiboldFont().getHeight(), 14.0f);
    EXPECT_FLOAT_EQ (getCondensedSemiboldFont().getHeight(), 14.0f);
}

TEST (Fonts, EveryFontWithoutTypefaceDrawsInTheSemiboldWhileTheCustomLookIsDefault)
{
    const auto sample = [] (const juce::String& name, const juce::Font& font)
    {
        return draw (140, 30, "fonts_" + name, [&font] (juce::Graphics& g) { g.setFont (font); g.drawText ("Kick 808 Hat", 4, 0, 136, 30, juce::Justification::left); });
    };

    LookAndFeelCustom lookAndFeel;
    const auto withGetter = sample ("semibold_getter_15", getSemiboldFont().withHeight (15.0f));
    {
        ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
        EXPECT_TRUE (sameImages (sample ("height_only_15_custom_default", juce::Font (15.0f)), withGetter));
        EXPECT_TRUE (sameImages (sample ("bold_15_custom_default", juce::Font (15.0f, juce::Font::bold)), withGetter));
    }

    // Without it the platform's sans-serif typeface shows instead.
    EXPECT_FALSE (sameImages (sample ("height_only_15_framework_default", juce::Font (15.0f)), withGetter));
}
