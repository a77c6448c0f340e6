#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"

#include "BinaryData.h"

using namespace testimages;

TEST (Palette, VoiceAccentsRunBlueTealGreenYellowOrangeRedPurpleAndWrap)
{
    const juce::uint32 expected[] = { 0xFF5FBDE4, 0xFF6ABC9B, 0xFF65AE63, 0xFFE3BD3A, 0xFFD17E1F, 0xFFCC4C3A, 0xFFA25AC6 };

    for (int voice = 0; voice < 7; ++voice)
    {
        EXPECT_EQ (Palette::getVoiceAccent (voice).getARGB(), expected[voice]) << "voice " << voice;
        EXPECT_EQ (Palette::getVoiceAccent (voice + 7), Palette::getVoiceAccent (voice));
        EXPECT_EQ (Palette::getVoiceAccent (voice - 7), Palette::getVoiceAccent (voice));
    }
}

TEST (Fonts, GettersGiveOneLastingEmbeddedFontOfHeight14)
{
    const auto semibold = juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansSemiBold_ttf,
                                                                   (size_t) TombrelBinary::FiraSansSemiBold_ttfSize);
    const auto condensed = juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansCondensedSemiBold_ttf,
                                                                    (size_t) TombrelBinary::FiraSansCondensedSemiBold_ttfSize);
    ASSERT_NE (semibold->getName(), condensed->getName());

    for (const auto& [getter, typeface] : { std::pair (getSemiboldFont, semibold), std::pair (getCondensedSemiboldFont, condensed) })
    {
        EXPECT_EQ (&getter(), &getter());
        EXPECT_FLOAT_EQ (getter().getHeight(), 14.0f);
        EXPECT_EQ (getter().getTypefaceName(), typeface->getName());
        EXPECT_EQ (getter().getTypefaceStyle(), typeface->getStyle());
        EXPECT_EQ (getter().withHeight (15.0f).getTypefacePtr(), getter().getTypefacePtr());
    }

    EXPECT_LT (getCondensedSemiboldFont().getStringWidthFloat ("Organise presets"),
               getSemiboldFont().getStringWidthFloat ("Organise presets"));
}

TEST (SingleTypeface, EveryFontWithoutTypefaceDrawsInTheSemiboldWhileDefault)
{
    const auto drawSample = [] (const juce::String& name, const juce::Font& font)
    {
        return draw (140, 30, "fonts_" + name, [&font] (juce::Graphics& g) { g.setFont (font); g.drawText ("Kick 808 Hat", 4, 0, 136, 30, juce::Justification::left); });
    };

    LookAndFeelCustom lookAndFeel;
    const auto withGetter = drawSample ("semibold_getter_15", getSemiboldFont().withHeight (15.0f));
    {
        ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
        const auto hookTypeface = lookAndFeel.getTypefaceForFont (juce::Font (12.0f));
        EXPECT_EQ (hookTypeface->getName(), getSemiboldFont().getTypefaceName());

        for (const auto& request : { juce::Font (12.0f), juce::Font (60.0f, juce::Font::bold), juce::Font (13.0f, juce::Font::italic),
                                     juce::Font (juce::Font::getDefaultSerifFontName(), 12.0f, juce::Font::plain),
                                     juce::Font ("DejaVu Sans Mono", 14.0f, juce::Font::bold) })
            EXPECT_EQ (request.getTypefacePtr(), hookTypeface) << request.getTypefaceName() << " / " << request.getTypefaceStyle();

        EXPECT_EQ (LookAndFeelCustom().getTypefaceForFont (juce::Font (20.0f, juce::Font::bold)), hookTypeface);
        EXPECT_TRUE (sameImages (drawSample ("height_only_15_custom_default", juce::Font (15.0f)), withGetter));
        EXPECT_TRUE (sameImages (drawSample ("bold_15_custom_default", juce::Font (15.0f, juce::Font::bold)), withGetter));
    }

    // Without the look-and-feel as default the platform's sans-serif typeface shows instead.
    EXPECT_FALSE (sameImages (drawSample ("height_only_15_framework_default", juce::Font (15.0f)), withGetter));
}
