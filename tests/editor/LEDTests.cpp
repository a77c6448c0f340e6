#include "editor/ControlImages.h"

#include "editor/LED.h"
#include "lookandfeel/Palette.h"

using ControlImages::coloursNear;

namespace
{
void expectVertices (const juce::Path& path, std::initializer_list<juce::Point<float>> expected)
{
    const auto vertices = ControlImages::getVertices (path);
    ASSERT_EQ (vertices.size(), (int) expected.size());

    int i = 0;
    for (auto point : expected)
    {
        EXPECT_NEAR (vertices[i].x, point.x, 0.01f) << "vertex " << i;
        EXPECT_NEAR (vertices[i].y, point.y, 0.01f) << "vertex " << i;
        ++i;
    }

    bool closed = false;
    for (juce::Path::Iterator it (path); it.next();)
        closed = closed || it.elementType == juce::Path::Iterator::closePath;

    EXPECT_TRUE (closed);
}
} // namespace

TEST (LED, OffEllipseInASquareIsACircleOnThePanelBackground)
{
    LED led;
    led.setBounds (0, 0, 16, 16);
    const auto image = ControlImages::paintAndSave (led, "led-ellipse-off-16x16");

    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::barBackground));

    for (auto corner : { juce::Point<int> (0, 0), { 15, 0 }, { 0, 15 }, { 15, 15 }, { 1, 1 }, { 14, 14 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (corner.x, corner.y), Palette::panelBackground))
            << corner.toString();

    // A circle touches all four edges in their middles and is filled just inside the corners.
    for (auto edge : { juce::Point<int> (0, 8), { 15, 7 }, { 8, 0 }, { 7, 15 }, { 3, 3 }, { 12, 12 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (edge.x, edge.y), Palette::barBackground, 3)) << edge.toString();
}

TEST (LED, LightsInTheOnColourAndGoesBackToTheOffColour)
{
    LED led;
    led.setBounds (0, 0, 16, 16);

    led.setOn (true);
    EXPECT_TRUE (coloursNear (ControlImages::paintAndSave (led, "led-ellipse-on-default").getPixelAt (8, 8),
                              Palette::blue));

    led.setOnColour (Palette::orange);
    auto image = ControlImages::paintAndSave (led, "led-ellipse-on-orange");
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::orange));
    EXPECT_TRUE (coloursNear (image.getPixelAt (0, 0), Palette::panelBackground));

    led.offColour = juce::Colour (0xFF495059);
    led.setOn (false);
    EXPECT_TRUE (coloursNear (ControlImages::paint (led).getPixelAt (8, 8), juce::Colour (0xFF495059)));
}

TEST (LED, ChangingStateOrColourRepaints)
{
    LED led;
    led.setBounds (0, 0, 16, 16);

    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOn (true); }), 0);
    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOnColour (Palette::red); }), 0);
    EXPECT_GT (ControlImages::countRepaints (led, [&] { led.setOn (false); }), 0);
}

TEST (LED, EllipseFillsAWideComponent)
{
    LED led;
    led.setBounds (0, 0, 30, 16);
    led.setOn (true);
    const auto image = ControlImages::paintAndSave (led, "led-ellipse-on-30x16");

    for (int x : { 1, 15, 28 })
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, 8), Palette::blue, 4)) << x;

    EXPECT_TRUE (coloursNear (image.getPixelAt (0, 0), Palette::panelBackground));
    EXPECT_TRUE (coloursNear (image.getPixelAt (29, 15), Palette::panelBackground));
}

TEST (LED, HexagonVerticesComeFromTheHeightAlone)
{
    expectVertices (LED::createHexagon ({ 0.0f, 0.0f, 16.0f, 16.0f }),
                    { { 8.0f, 0.0f }, { 14.93f, 4.0f }, { 14.93f, 12.0f }, { 8.0f, 16.0f }, { 1.07f, 12.0f }, { 1.07f, 4.0f } });

    // Wider than tall: same radius, centred, short of both sides.
    expectVertices (LED::createHexagon ({ 0.0f, 0.0f, 30.0f, 16.0f }),
                    { { 15.0f, 0.0f }, { 21.93f, 4.0f }, { 21.93f, 12.0f }, { 15.0f, 16.0f }, { 8.07f, 12.0f }, { 8.07f, 4.0f } });
}

TEST (LED, HexagonIsPaintedWithVerticalFlatSides)
{
    LED led;
    led.isHexagon = true;
    led.setOn (true);
    led.setBounds (0, 0, 16, 16);
    auto image = ControlImages::paintAndSave (led, "led-hexagon-on-16x16");

    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 8), Palette::blue));

    // The flat sides stand at x 1.07 and 14.93, between y 4 and 12.
    for (int y : { 5, 8, 11 })
    {
        EXPECT_TRUE (coloursNear (image.getPixelAt (0, y), Palette::panelBackground)) << y;
        EXPECT_TRUE (coloursNear (image.getPixelAt (2, y), Palette::blue)) << y;
        EXPECT_TRUE (coloursNear (image.getPixelAt (13, y), Palette::blue)) << y;
        EXPECT_TRUE (coloursNear (image.getPixelAt (15, y), Palette::panelBackground)) << y;
    }

    // Pointy top and bottom: the middle column reaches both edges, the corners stay empty.
    EXPECT_TRUE (coloursNear (image.getPixelAt (8, 1), Palette::blue, 4));
    EXPECT_TRUE (coloursNear (image.getPixelAt (7, 14), Palette::blue, 4));
    for (auto corner : { juce::Point<int> (2, 1), { 13, 1 }, { 2, 14 }, { 13, 14 } })
        EXPECT_TRUE (coloursNear (image.getPixelAt (corner.x, corner.y), Palette::panelBackground)) << corner.toString();

    led.setBounds (0, 0, 30, 16);
    image = ControlImages::paintAndSave (led, "led-hexagon-on-30x16");

    // Spans x 8.07 to 21.93: the rest of the row shows the panel background.
    for (int x : { 0, 3, 7, 22, 26, 29 })
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, 8), Palette::panelBackground)) << x;
    for (int x : { 9, 15, 20 })
        EXPECT_TRUE (coloursNear (image.getPixelAt (x, 8), Palette::blue)) << x;
    EXPECT_TRUE (coloursNear (image.getPixelAt (15, 1), Palette::blue, 4));
}
