#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/LookAndFeelCustom.h"
#include "lookandfeel/Palette.h"

#include "BinaryData.h"

using namespace testimages;

TEST (Palette, ColoursHaveTheirFixedValues)
{
    const std::pair<juce::Colour, juce::uint32> expected[] = {
        { Palette::panelBackground, 0xFF151617 }, { Palette::buttonOutline, 0xFFCDCDCD },
        { Palette::text, 0xFFD2D2D2 },            { Palette::dimText, 0xFF5A6370 },
        { Palette::barBackground, 0xFF282C31 },   { Palette::iconGrey, 0xFF777979 },
        { Palette::divider, 0xFF30353C },         { Palette::blue, 0xFF5FBDE4 },
        { Palette::green, 0xFF65AE63 },           { Palette::teal, 0xFF6ABC9B },
        { Palette::yellow, 0xFFE3BD3A },          { Palette::orange, 0xFFD17E1F },
        { Palette::red, 0xFFCC4C3A },             { Palette::purple, 0xFFA25AC6 },
    };

    for (const auto& [colour, argb] : expected)
        EXPECT_EQ (colour.getARGB(), argb);
}

TEST (Palette, VoiceAccentsRunBlueTealGreenYellowOrangeRedPurple)
{
    const juce::uint32 expected[] = { 0xFF5FBDE4, 0xFF6ABC9B, 0xFF65AE63, 0xFFE3BD3A,
                                      0xFFD17E1F, 0xFFCC4C3A, 0xFFA25AC6 };

    for (int voice = 0; voice < 7; ++voice)
    {
        EXPECT_EQ (Palette::voiceAccents[(size_t) voice].getARGB(), expected[voice]) << "voice index " << voice;
        EXPECT_EQ (Palette::getVoiceAccent (voice), Palette::voiceAccents[(size_t) voice]);
    }

    // Voice 2 is teal, voice 3 green: the two are easily swapped.
    EXPECT_EQ (Palette::getVoiceAccent (1), Palette::teal);
    EXPECT_EQ (Palette::getVoiceAccent (2), Palette::green);
}

//==============================================================================
TEST (Fonts, GettersReturnOneLastingObjectOfHeight14)
{
    EXPECT_EQ (&getSemiboldFont(), &getSemiboldFont());
    EXPECT_EQ (&getCondensedSemiboldFont(), &getCondensedSemiboldFont());
    EXPECT_FLOAT_EQ (getSemiboldFont().getHeight(), 14.0f);
    EXPECT_FLOAT_EQ (getCondensedSemiboldFont().getHeight(), 14.0f);

    // Drawing with a taller copy leaves the shared font as it was.
    draw (80, 24, "fonts_copy_at_15", [] (juce::Graphics& g)
    {
        g.setColour (Palette::text);
        g.setFont (getSemiboldFont().withHeight (15.0f));
        g.drawText ("Snare", 0, 0, 80, 24, juce::Justification::centred);
    });

    EXPECT_FLOAT_EQ (getSemiboldFont().getHeight(), 14.0f);
    EXPECT_EQ (getSemiboldFont().withHeight (15.0f).getTypefacePtr(), getSemiboldFont().getTypefacePtr());
}

TEST (Fonts, GettersCarryTheEmbeddedSemiboldAndCondensedCuts)
{
    const auto semiboldData = juce::Typeface::createSystemTypefaceFor (TombrelBinary::FiraSansSemiBold_ttf,
                                                                       (size_t) TombrelBinary::FiraSansSemiBold_ttfSize);
    const auto condensedData = juce::Typeface::createSystemTypefaceFor (
        TombrelBinary::FiraSansCondensedSemiBold_ttf, (size_t) TombrelBinary::FiraSansCondensedSemiBold_ttfSize);

    ASSERT_NE (semiboldData, nullptr);
    ASSERT_NE (condensedData, nullptr);
    ASSERT_NE (semiboldData->getName(), condensedData->getName());

    EXPECT_EQ (getSemiboldFont().getTypefaceName(), semiboldData->getName());
    EXPECT_EQ (getSemiboldFont().getTypefaceStyle(), semiboldData->getStyle());
    EXPECT_EQ (getCondensedSemiboldFont().getTypefaceName(), condensedData->getName());
    EXPECT_EQ (getCondensedSemiboldFont().getTypefaceStyle(), condensedData->getStyle());

    EXPECT_NE (getSemiboldFont().getTypefacePtr(), getCondensedSemiboldFont().getTypefacePtr());

    // The condensed cut really is narrower.
    EXPECT_LT (getCondensedSemiboldFont().getStringWidthFloat ("Organise presets"),
               getSemiboldFont().getStringWidthFloat ("Organise presets"));
}

//==============================================================================
namespace
{
juce::Image drawSample (const juce::String& name, const juce::Font& font)
{
    return draw (140, 30, name, [&font] (juce::Graphics& g)
    {
        g.setColour (Palette::text);
        g.setFont (font);
        g.drawText ("Kick 808 Hat", 4, 0, 136, 30, juce::Justification::centredLeft);
    });
}
} // namespace

TEST (SingleTypeface, EveryFontWithoutTypefaceResolvesToSemiboldWhileDefault)
{
    LookAndFeelCustom lookAndFeel;
    const auto semiboldName = getSemiboldFont().getTypefaceName();

    {
        ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
        const auto hookTypeface = lookAndFeel.getTypefaceForFont (juce::Font (12.0f));
        ASSERT_NE (hookTypeface, nullptr);
        EXPECT_EQ (hookTypeface->getName(), semiboldName);

        const juce::Font requests[] = {
            juce::Font (12.0f),                              // menus and combo boxes
            juce::Font (15.0f),                              // alert titles
            juce::Font (60.0f, juce::Font::bold),            // the alert icon's glyph
            juce::Font (13.0f, juce::Font::italic),
            juce::Font (juce::Font::getDefaultSerifFontName(), 12.0f, juce::Font::plain),
            juce::Font ("DejaVu Sans Mono", 14.0f, juce::Font::bold),
        };

        for (const auto& request : requests)
        {
            EXPECT_EQ (request.getTypefacePtr(), hookTypeface)
                << request.getTypefaceName() << " / " << request.getTypefaceStyle();
        }

        // Another instance answers with the same typeface object.
        LookAndFeelCustom other;
        EXPECT_EQ (other.getTypefaceForFont (juce::Font (20.0f, juce::Font::bold)), hookTypeface);
    }
}

TEST (SingleTypeface, HeightOnlyTextLooksLikeTheSemiboldGetterAndNotThePlatformFont)
{
    LookAndFeelCustom lookAndFeel;
    const auto withGetter = drawSample ("fonts_semibold_getter_15", getSemiboldFont().withHeight (15.0f));

    juce::Image asDefault, boldAsDefault;
    {
        ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
        asDefault = drawSample ("fonts_height_only_15_custom_default", juce::Font (15.0f));
        boldAsDefault = drawSample ("fonts_bold_15_custom_default", juce::Font (15.0f, juce::Font::bold));
    }

    // Without the look-and-feel as default the platform's sans-serif typeface shows instead.
    juce::Typeface::clearTypefaceCache();
    const auto platform = drawSample ("fonts_height_only_15_framework_default", juce::Font (15.0f));

    EXPECT_TRUE (sameImages (asDefault, withGetter));
    EXPECT_TRUE (sameImages (boldAsDefault, withGetter)) << "a bold request must get the same semibold typeface";
    EXPECT_FALSE (sameImages (platform, withGetter));
}
