#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

namespace
{
/** Mean position, weighted by alpha, of the painted pixels along a column (x given) or a row (y given). */
float centreOfInk (const juce::Image& image, int x, int y)
{
    float sum = 0.0f, weighted = 0.0f;

    for (int i = 0; i < (x >= 0 ? image.getHeight() : image.getWidth()); ++i)
    {
        const auto alpha = (x >= 0 ? image.getPixelAt (x, i) : image.getPixelAt (i, y)).getFloatAlpha();
        sum += alpha;
        weighted += alpha * ((float) i + 0.5f);
    }

    return sum > 0.0f ? weighted / sum : -1.0f;
}
} // namespace

TEST (WaveformButton, ThreeHiddenIconsEachOnePeriodInTheIconColourWithClicksLeftToTheButton)
{
    WaveformButton button (Palette::red);
    button.setBounds (0, 0, 49, 32);
    button.setVisible (true);
    EXPECT_EQ (snapshot (button, "waveformbutton-no-icon").getPixelAt (12, 1).getAlpha(), 0) << "all hidden at first";

    const std::array<juce::Drawable*, 3> icons { button.triangleIcon.get(), button.hybridIcon.get(), button.sineIcon.get() };
    std::vector<juce::Image> images;

    for (size_t i = 0; i < icons.size(); ++i)
    {
        ASSERT_NE (icons[i], nullptr);
        for (auto* each : icons)
            each->setVisible (each == icons[i]);

        // A line about one unit wide along a path of about 80 units, black replaced by the icon colour everywhere.
        const auto image = snapshot (button, "waveformbutton-" + juce::String ((int) i));
        auto coverage = 0.0f;
        const auto offColour = testimages::find (image, [&] (juce::Colour c)
        {
            coverage += c.getFloatAlpha();
            return c.getAlpha() > 96 && ! testimages::isNear (c.withAlpha (1.0f), Palette::red, 8);
        });
        EXPECT_TRUE (offColour.count == 0 && coverage > 55.0f && coverage < 110.0f) << i << ": " << offColour.count << " off colour, coverage " << coverage;

        // From mid-height at the left edge, up to the top at x 12.26, down to the bottom at x 35.77, back to mid-height.
        for (auto [x, y, expected] : { std::tuple (0, 0, 15.58f), { 24, 0, 15.58f }, { 47, 0, 15.58f }, { -1, 0, 12.26f }, { -1, 30, 35.77f } })
            EXPECT_NEAR (centreOfInk (image, x, y), expected, 1.5f) << i << ": column " << x << ", row " << y;
        EXPECT_EQ (button.getComponentAt (12, 1), &button) << i;
        images.push_back (image);
    }

    // The hybrid lies between triangle and sine: on the rising flank the sine is highest, the triangle lowest, and mirrored on the way down.
    for (int x : { 6, 8, 40, 42 })
    {
        const auto sign = x < 24 ? 1.0f : -1.0f;
        EXPECT_LT (sign * (centreOfInk (images[2], x, 0) + sign * 0.5f), sign * centreOfInk (images[1], x, 0)) << x;
        EXPECT_LT (sign * (centreOfInk (images[1], x, 0) + sign * 0.5f), sign * centreOfInk (images[0], x, 0)) << x;
    }
}
