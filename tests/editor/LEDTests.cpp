#include "editor/ControlImages.h"

#include "editor/LED.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

TEST (LED, FillsAnEllipseOrAHexagonOfTheHeightsRadiusInItsStateColourShowingChangesAtOnce)
{
    using P = juce::Point<int>;
    struct Case { const char* name; bool hexagon, on; int width; juce::Colour colour; std::vector<P> inside, outside; };
    const Case cases[] = {
        // A circle touches all four edges in their middles and is filled just inside the corners.
        { "ellipse-off-16x16", false, false, 16, Palette::barBackground,
          { { 8, 8 }, { 0, 8 }, { 15, 7 }, { 8, 0 }, { 7, 15 }, { 3, 3 }, { 12, 12 } }, { { 0, 0 }, { 15, 0 }, { 1, 1 }, { 14, 14 } } },
        // Flat sides at x 1.07 and 14.93 between y 4 and 12; pointy top and bottom.
        { "hexagon-on-16x16", true, true, 16, Palette::orange, { { 8, 8 }, { 2, 5 }, { 13, 11 }, { 8, 1 }, { 7, 14 } },
          { { 0, 5 }, { 0, 11 }, { 15, 8 }, { 2, 1 }, { 13, 1 }, { 2, 14 }, { 13, 14 } } },
    };

    for (const auto& c : cases)
    {
        LED led;
        led.isHexagon = c.hexagon;
        led.setBounds (0, 0, c.width, 16);
        led.setOnColour (Palette::orange);
        led.setOn (c.on);
        const auto image = ControlImages::paintAndSave (led, juce::String ("led-") + c.name);

        for (auto p : c.inside)
            EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), c.colour, 4)) << c.name << " " << p.toString();
        for (auto p : c.outside)
            EXPECT_TRUE (coloursNear (image.getPixelAt (p.x, p.y), Palette::panelBackground)) << c.name << " " << p.toString();
    }

    // Hexagon vertices clockwise from the top, radius half the height, centred: short of both sides when wider than 0.866 x high.
    const std::pair<juce::Rectangle<float>, std::vector<juce::Point<float>>> hexagons[] = {
        { { 0, 0, 16, 16 }, { { 8, 0 }, { 14.93f, 4 }, { 14.93f, 12 }, { 8, 16 }, { 1.07f, 12 }, { 1.07f, 4 } } },
        { { 0, 0, 30, 16 }, { { 15, 0 }, { 21.93f, 4 }, { 21.93f, 12 }, { 15, 16 }, { 8.07f, 12 }, { 8.07f, 4 } } },
    };

    for (const auto& [area, expected] : hexagons)
    {
        std::vector<juce::Point<float>> vertices;
        const auto hexagon = LED::createHexagon (area);

        for (juce::Path::Iterator it (hexagon); it.next();)
            if (it.elementType == juce::Path::Iterator::startNewSubPath || it.elementType == juce::Path::Iterator::lineTo)
                vertices.push_back ({ it.x1, it.y1 });

        ASSERT_EQ (vertices.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_LT (vertices[i].getDistanceFrom (expected[i]), 0.01f) << area.toString() << " vertex " << i;
    }

    // Lit in blue unless told otherwise; each change asks for a repaint.
    LED led;
    led.setBounds (0, 0, 16, 16);
    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOn (true); }), 0);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (led, "led-default-on").getPixelAt (8, 8), Palette::blue));
    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOnColour (Palette::red); }), 0);
    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOn (false); }), 0);
}
