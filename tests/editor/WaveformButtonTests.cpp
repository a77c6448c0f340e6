#include "editor/ControlImages.h"

#include "editor/WaveformButton.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
/** Coverage of a painted icon: alpha summed over rows or columns, in pixels. */
struct Coverage
{
    explicit Coverage (const juce::Image& im) : image (im) {}

    float alpha (int x, int y) const { return image.getPixelAt (x, y).getFloatAlpha(); }

    float total() const
    {
        float sum = 0.0f;
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                sum += alpha (x, y);
        return sum;
    }

    /** Mean y, weighted by alpha, of the painted pixels in a column. */
    float columnCentre (int x) const
    {
        float sum = 0.0f, weighted = 0.0f;
        for (int y = 0; y < image.getHeight(); ++y)
        {
            sum += alpha (x, y);
            weighted += alpha (x, y) * ((float) y + 0.5f);
        }
        return sum > 0.0f ? weighted / sum : -1.0f;
    }

    /** Mean x, weighted by alpha, of the painted pixels in a row. */
    float rowCentre (int y) const
    {
        float sum = 0.0f, weighted = 0.0f;
        for (int x = 0; x < image.getWidth(); ++x)
        {
            sum += alpha (x, y);
            weighted += alpha (x, y) * ((float) x + 0.5f);
        }
        return sum > 0.0f ? weighted / sum : -1.0f;
    }

    juce::Image image;
};

struct WaveformButtonTest : public ::testing::Test
{
    WaveformButtonTest()
    {
        button.setBounds (0, 0, WaveformButton::iconWidth, WaveformButton::iconHeight);
        button.setVisible (true);
    }

    juce::Image show (juce::Drawable* icon, const juce::String& imageName)
    {
        for (auto* each : icons())
            if (each != nullptr)
                each->setVisible (each == icon);

        return ControlImages::paintAndSave (button, imageName);
    }

    std::array<juce::Drawable*, 3> icons()
    {
        return { button.triangleIcon.get(), button.hybridIcon.get(), button.sineIcon.get() };
    }

    WaveformButton button { Palette::teal };
};

/** Every painted pixel carries the icon colour: black was replaced everywhere. */
void expectPaintedIn (const juce::Image& image, juce::Colour colour)
{
    int solid = 0;

    for (int y = 0; y < image.getHeight(); ++y)
    {
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto pixel = image.getPixelAt (x, y);

            if (pixel.getAlpha() > 96)
            {
                ASSERT_TRUE (coloursNear (pixel.withAlpha ((juce::uint8) 255), colour, 8)) << x << ", " << y;
            }

            solid += pixel.getAlpha() > 160 ? 1 : 0;
        }
    }

    EXPECT_GT (solid, 20) << "a solid line, not only soft edges";
}
} // namespace

TEST_F (WaveformButtonTest, BuildsThreeHiddenIconsThatLeaveClicksToTheButton)
{
    for (auto* icon : icons())
    {
        ASSERT_NE (icon, nullptr);
        EXPECT_FALSE (icon->isVisible());
        EXPECT_EQ (icon->getParentComponent(), &button);
        EXPECT_EQ (icon->getBounds(), juce::Rectangle<int> (0, 0, 49, 32));
    }

    EXPECT_EQ (button.iconColour, Palette::teal);

    // With no icon shown the button draws nothing at all.
    const Coverage nothing (ControlImages::paintAndSave (button, "waveformbutton-no-icon"));
    EXPECT_EQ (nothing.total(), 0.0f);

    show (button.sineIcon.get(), "waveformbutton-sine-for-click");
    for (auto point : { juce::Point<int> (0, 15), { 12, 1 }, { 24, 16 }, { 35, 30 }, { 48, 0 } })
        EXPECT_EQ (button.getComponentAt (point), &button) << point.toString();
}

TEST_F (WaveformButtonTest, EachIconIsOnePeriodInTheIconColour)
{
    const std::array<juce::String, 3> names { "triangle", "hybrid", "sine" };

    for (size_t i = 0; i < names.size(); ++i)
    {
        SCOPED_TRACE (names[i].toStdString());
        const auto image = show (icons()[i], "waveformbutton-" + names[i]);
        const Coverage coverage (image);

        // A line about one unit wide along a path of about 80 units.
        EXPECT_GT (coverage.total(), 55.0f);
        EXPECT_LT (coverage.total(), 110.0f);

        expectPaintedIn (image, Palette::teal);

        // From mid-height at the left edge, up to the top at x 12.26, down to the bottom at x 35.77,
        // back to mid-height at the right edge.
        EXPECT_NEAR (coverage.columnCentre (0), 15.58f, 1.0f);
        EXPECT_NEAR (coverage.columnCentre (47), 15.58f, 1.5f);
        EXPECT_NEAR (coverage.rowCentre (0), 12.26f, 1.0f);
        EXPECT_NEAR (coverage.rowCentre (30), 35.77f, 1.0f);
        EXPECT_NEAR (coverage.columnCentre (24), 15.58f, 1.0f);

        // Nothing below the trough's row or above the peak's elsewhere.
        for (int x : { 0, 24, 47 })
        {
            EXPECT_EQ (coverage.alpha (x, 0), 0.0f) << x;
            EXPECT_EQ (coverage.alpha (x, 31), 0.0f) << x;
        }
    }
}

TEST_F (WaveformButtonTest, HybridLiesBetweenTriangleAndSine)
{
    const Coverage triangle (show (button.triangleIcon.get(), "waveformbutton-triangle"));
    const Coverage hybrid (show (button.hybridIcon.get(), "waveformbutton-hybrid"));
    const Coverage sine (show (button.sineIcon.get(), "waveformbutton-sine"));

    // On the rising flank the sine is highest (smallest y), the straight triangle lowest.
    for (int x : { 6, 8 })
    {
        EXPECT_LT (sine.columnCentre (x) + 0.5f, hybrid.columnCentre (x)) << x;
        EXPECT_LT (hybrid.columnCentre (x) + 0.5f, triangle.columnCentre (x)) << x;
    }

    // The same on the way down to the trough, mirrored.
    for (int x : { 40, 42 })
    {
        EXPECT_GT (sine.columnCentre (x), hybrid.columnCentre (x) + 0.5f) << x;
        EXPECT_GT (hybrid.columnCentre (x), triangle.columnCentre (x) + 0.5f) << x;
    }
}

TEST (WaveformButton, IconsTakeTheColourGivenAtConstruction)
{
    WaveformButton button (Palette::red);
    button.setBounds (0, 0, WaveformButton::iconWidth, WaveformButton::iconHeight);

    ASSERT_NE (button.triangleIcon, nullptr);
    button.triangleIcon->setVisible (true);
    expectPaintedIn (ControlImages::paintAndSave (button, "waveformbutton-triangle-red"), Palette::red);
}

TEST (WaveformButton, UnreadableIconTextGivesNoIcon)
{
    EXPECT_EQ (WaveformButton::createIcon ({}, Palette::teal), nullptr);
    EXPECT_EQ (WaveformButton::createIcon ("<svg viewBox=\"0 0 10 10\"><path d=\"M0 0 L10 10 Z\"", Palette::teal), nullptr);
    EXPECT_EQ (WaveformButton::createIcon ("<html><body/></html>", Palette::teal), nullptr);

    const auto icon = WaveformButton::createIcon (
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\" viewBox=\"0 0 10 10\">"
        "<path fill=\"#000000\" d=\"M0 0 L10 0 L10 10 L0 10 Z\"/></svg>",
        Palette::teal);
    ASSERT_NE (icon, nullptr);
    EXPECT_EQ (icon->getBounds(), juce::Rectangle<int> (0, 0, 49, 32));

    const auto image = ControlImages::paint (*icon);
    EXPECT_TRUE (coloursNear (image.getPixelAt (5, 5), Palette::teal));
    EXPECT_EQ (image.getPixelAt (20, 20).getAlpha(), 0);
}
