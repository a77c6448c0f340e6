#include "lookandfeel/TestImages.h"

using namespace testimages;

TEST (TreeView, TriangleOf8By8AtY6PointsRightWhenClosedAndDownWhenOpen)
{
    LookAndFeelCustom lookAndFeel;
    using P = juce::Point<int>;
    struct Case { const char* name; juce::Rectangle<float> area; bool isOpen; juce::Rectangle<int> bounds; std::vector<P> filled, empty; };
    const Case cases[] = {
        // Full height along the left, empty near the right-hand corners.
        { "closed", { 0, 0, 20, 20 }, false, { 4, 6, 8, 8 }, { { 4, 9 }, { 9, 9 } }, { { 11, 6 }, { 11, 13 } } },
        // Full width along the top, empty near the bottom corners.
        { "open", { 0, 0, 20, 20 }, true, { 4, 6, 8, 8 }, { { 8, 6 }, { 7, 10 } }, { { 4, 13 }, { 11, 13 } } },
        // The area's x moves it, its y does not; neither the mouse nor the background colour changes it.
        { "closed_area_moved_hovered", { 24, 17, 16, 20 }, false, { 28, 6, 8, 8 }, { { 28, 9 } }, { { 35, 6 } } },
    };

    for (const auto& c : cases)
    {
        const auto image = draw (40, 40, juce::String ("tree_") + c.name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawTreeviewPlusMinusBox (g, c.area, juce::Colours::red, c.isOpen, c.area.getX() > 0);
        });

        EXPECT_EQ (find (image, differsFrom (backdrop, 2)).bounds, c.bounds) << c.name;
        for (auto p : c.filled)
            EXPECT_TRUE (pixelIs (image, p.x, p.y, Palette::buttonOutline)) << c.name;
        for (auto p : c.empty)
            EXPECT_TRUE (pixelIs (image, p.x, p.y, backdrop)) << c.name;
    }
}

TEST (TreeView, EveryLevelIndentsBy24)
{
    struct Folder final : public juce::TreeViewItem
    {
        bool mightContainSubItems() override { return true; }
        int getItemHeight() const override { return 20; }
        void paintItem (juce::Graphics&, int, int) override {}
    };

    LookAndFeelCustom lookAndFeel;
    juce::TreeView tree;
    tree.setLookAndFeel (&lookAndFeel);
    tree.setSize (200, 80);

    // Presets / Kits (open) / Rock (closed), with the root shown.
    Folder root;
    tree.setRootItem (&root);
    root.setOpen (true);
    root.addSubItem (new Folder());
    root.getSubItem (0)->setOpen (true);
    root.getSubItem (0)->addSubItem (new Folder());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50); // rows are laid out asynchronously

    const auto background = tree.findColour (juce::TreeView::backgroundColourId);
    const auto image = paint (tree, "tree_three_levels", background);

    for (int row = 0; row < 3; ++row)
        EXPECT_EQ (find (image, differsFrom (background, 2), { 0, row * 20, 200, 20 }).bounds,
                   juce::Rectangle<int> (4 + 24 * row, 6 + 20 * row, 8, 8)) << "row " << row;

    tree.setRootItem (nullptr);
    tree.setLookAndFeel (nullptr);
}

TEST (CallOutBox, BubblePointsLeftOverAShadowRenderedOnce)
{
    LookAndFeelCustom lookAndFeel;
    juce::Component parent, content;
    parent.setSize (400, 300);
    content.setSize (150, 80);
    juce::CallOutBox box (content, { 200, 100, 20, 20 }, &parent);
    box.setSize (200, 120);

    juce::Path framePath;
    framePath.addRectangle (0.0f, 0.0f, 200.0f, 120.0f);
    juce::Image cache;
    const auto drawBackground = [&] (const juce::String& name)
    {
        return draw (200, 120, name, [&] (juce::Graphics& g) { lookAndFeel.drawCallOutBoxBackground (box, g, framePath, cache); },
                     juce::Colours::transparentBlack);
    };

    const auto image = drawBackground ("callout_bubble");

    // Body from x 15.7 to 195.5 and y 4.5 to 115.5, outlined; arrow tip at (8.5, 60).
    EXPECT_TRUE (pixelIs (image, 100, 60, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 190, 100, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 12, 60, Palette::panelBackground, 40));
    EXPECT_TRUE (pixelIs (image, 100, 4, juce::Colour (0xFF232525)));
    EXPECT_TRUE (pixelIs (image, 195, 60, juce::Colour (0xFF232525)));

    // Left of the body above and below the arrow and outside it, only shadow: translucent black, shifted down.
    for (auto p : { juce::Point<int> (12, 30), { 12, 90 }, { 100, 1 }, { 198, 60 }, { 100, 118 }, { 5, 60 } })
        EXPECT_LT (image.getPixelAt (p.x, p.y).getAlpha(), 0x66) << p.toString();
    EXPECT_GT (image.getPixelAt (100, 117).getAlpha(), image.getPixelAt (100, 2).getAlpha());
    EXPECT_LE (image.getPixelAt (100, 117).getBrightness(), 0.05f);

    // The shadow is kept in the box's image: a mark made in it shows through at the next paint.
    ASSERT_EQ (cache.getBounds(), box.getLocalBounds());
    cache.clear (cache.getBounds(), juce::Colours::green);
    const auto second = drawBackground ("callout_second_paint_reuses_shadow");
    EXPECT_TRUE (pixelIs (second, 100, 118, juce::Colours::green));
    EXPECT_TRUE (pixelIs (second, 100, 60, Palette::panelBackground));
}
