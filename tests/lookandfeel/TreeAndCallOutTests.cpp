#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
juce::Image drawOpenCloseBox (LookAndFeelCustom& lookAndFeel, const juce::String& name,
                              juce::Rectangle<float> area, bool isOpen)
{
    return draw (40, 40, name, [&] (juce::Graphics& g)
    {
        lookAndFeel.drawTreeviewPlusMinusBox (g, area, juce::Colours::white, isOpen, true);
    });
}

struct FolderItem final : public juce::TreeViewItem
{
    explicit FolderItem (bool hasChildren) : canOpen (hasChildren) {}

    bool mightContainSubItems() override { return canOpen; }
    int getItemHeight() const override { return 20; }
    void paintItem (juce::Graphics&, int, int) override {}

    bool canOpen;
};
} // namespace

TEST (TreeOpenCloseBox, ClosedPointsRightAndOpenPointsDownIn8By8AtY6)
{
    LookAndFeelCustom lookAndFeel;
    const auto colour = Palette::buttonOutline;

    const auto closed = drawOpenCloseBox (lookAndFeel, "tree_closed", { 0.0f, 0.0f, 20.0f, 20.0f }, false);
    const auto open = drawOpenCloseBox (lookAndFeel, "tree_open", { 0.0f, 0.0f, 20.0f, 20.0f }, true);

    EXPECT_EQ (extent (closed, differsFrom (backdrop)), juce::Rectangle<int> (4, 6, 8, 8));
    EXPECT_EQ (extent (open, differsFrom (backdrop)), juce::Rectangle<int> (4, 6, 8, 8));

    // Right-pointing: full height along the left, empty near the right-hand corners.
    EXPECT_TRUE (pixelIs (closed, 4, 9, colour));
    EXPECT_TRUE (pixelIs (closed, 5, 7, colour, 60));
    EXPECT_TRUE (pixelIs (closed, 11, 6, backdrop));
    EXPECT_TRUE (pixelIs (closed, 11, 13, backdrop));
    EXPECT_TRUE (pixelIs (closed, 9, 9, colour));

    // Down-pointing: full width along the top, empty near the bottom corners.
    EXPECT_TRUE (pixelIs (open, 8, 6, colour));
    EXPECT_TRUE (pixelIs (open, 11, 6, colour, 60));
    EXPECT_TRUE (pixelIs (open, 4, 13, backdrop));
    EXPECT_TRUE (pixelIs (open, 11, 13, backdrop));
    EXPECT_TRUE (pixelIs (open, 7, 10, colour));

    // The mouse and the background colour change nothing.
    EXPECT_TRUE (sameImages (closed, draw (40, 40, "tree_closed_not_hovered", [&] (juce::Graphics& g)
    {
        lookAndFeel.drawTreeviewPlusMinusBox (g, { 0.0f, 0.0f, 20.0f, 20.0f }, juce::Colours::red, false, false);
    })));
}

TEST (TreeOpenCloseBox, StaysAtY6AndFollowsTheAreaHorizontally)
{
    LookAndFeelCustom lookAndFeel;
    const auto moved = drawOpenCloseBox (lookAndFeel, "tree_closed_area_moved", { 24.0f, 17.0f, 16.0f, 20.0f }, false);
    EXPECT_EQ (extent (moved, differsFrom (backdrop)), juce::Rectangle<int> (28, 6, 8, 8));
}

TEST (TreeIndent, EveryLevelIndentsBy24)
{
    LookAndFeelCustom lookAndFeel;
    juce::TreeView tree;
    tree.setLookAndFeel (&lookAndFeel);
    EXPECT_EQ (lookAndFeel.getTreeViewIndentSize (tree), 24);
    EXPECT_EQ (tree.getIndentSize(), 24);

    // Presets / Kits (open) / Rock (closed), with the root shown.
    FolderItem root (true);
    tree.setRootItem (&root);
    tree.setSize (200, 80);
    root.setOpen (true);
    auto* kits = new FolderItem (true);
    root.addSubItem (kits);
    kits->setOpen (true);
    kits->addSubItem (new FolderItem (true));

    // The tree lays out its rows asynchronously.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);

    const auto image = paint (tree, "tree_three_levels", tree.findColour (juce::TreeView::backgroundColourId));
    const auto background = tree.findColour (juce::TreeView::backgroundColourId);

    for (int row = 0; row < 3; ++row)
    {
        const auto triangle = extent (image, { 0, row * 20, 200, 20 }, differsFrom (background));
        EXPECT_EQ (triangle, juce::Rectangle<int> (4 + 24 * row, 6 + 20 * row, 8, 8)) << "row " << row;
    }

    tree.setRootItem (nullptr);
    tree.setLookAndFeel (nullptr);
}

//==============================================================================
namespace
{
struct CallOutTest : public ::testing::Test
{
    CallOutTest()
    {
        parent.setSize (400, 300);
        content.setSize (150, 80);
        box = std::make_unique<juce::CallOutBox> (content, juce::Rectangle<int> (200, 100, 20, 20), &parent);
        box->setLookAndFeel (&lookAndFeel);
        box->setSize (200, 120);
        framePath.addRectangle (0.0f, 0.0f, 200.0f, 120.0f);
    }

    ~CallOutTest() override
    {
        box->setLookAndFeel (nullptr);
        box.reset();
    }

    juce::Image drawBackground (const juce::String& name, juce::Image& cache)
    {
        return draw (200, 120, name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawCallOutBoxBackground (*box, g, framePath, cache);
        }, juce::Colours::transparentBlack);
    }

    LookAndFeelCustom lookAndFeel;
    juce::Component parent, content;
    std::unique_ptr<juce::CallOutBox> box;
    juce::Path framePath;
};
} // namespace

TEST_F (CallOutTest, BubblePointsLeftFromTheMiddleOfItsLeftSide)
{
    juce::Image cache;
    const auto image = drawBackground ("callout_bubble", cache);

    // Body from x 15.7 to 195.5 and y 4.5 to 115.5; arrow tip at (8.5, 60).
    EXPECT_TRUE (pixelIs (image, 100, 60, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 190, 100, Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 12, 60, Palette::panelBackground, 40));
    EXPECT_TRUE (pixelIs (image, 100, 4, juce::Colour (0xFF232525)));
    EXPECT_TRUE (pixelIs (image, 195, 60, juce::Colour (0xFF232525)));

    // Nothing of the bubble left of its body above and below the arrow, and no arrow elsewhere.
    for (auto p : { juce::Point<int> (12, 30), juce::Point<int> (12, 90), juce::Point<int> (100, 1),
                    juce::Point<int> (198, 60), juce::Point<int> (100, 118), juce::Point<int> (5, 60) })
        EXPECT_LT (image.getPixelAt (p.x, p.y).getAlpha(), 0x66) << p.toString();

    // The shadow: translucent black, shifted down.
    const auto below = image.getPixelAt (100, 117);
    const auto above = image.getPixelAt (100, 2);
    EXPECT_GT (below.getAlpha(), 0);
    EXPECT_LT (below.getAlpha(), 0x66);
    EXPECT_GT (below.getAlpha(), above.getAlpha());
    EXPECT_LE (below.getBrightness(), 0.05f);
}

TEST_F (CallOutTest, ShadowIsComputedOnceAndKeptInTheBoxImage)
{
    juce::Image cache;
    drawBackground ("callout_first_paint", cache);

    ASSERT_TRUE (cache.isValid());
    EXPECT_EQ (cache.getBounds(), box->getLocalBounds());
    EXPECT_GT (cache.getPixelAt (100, 117).getAlpha(), 0);

    // Mark the kept image: a second paint shows the mark, so it did not render the shadow again.
    const auto* pixels = juce::Image::BitmapData (cache, juce::Image::BitmapData::readOnly).data;
    cache.clear (cache.getBounds(), juce::Colours::green);
    const auto second = drawBackground ("callout_second_paint_reuses_shadow", cache);

    EXPECT_EQ (juce::Image::BitmapData (cache, juce::Image::BitmapData::readOnly).data, pixels);
    EXPECT_TRUE (pixelIs (second, 100, 118, juce::Colours::green));
    EXPECT_TRUE (pixelIs (second, 100, 60, Palette::panelBackground));
}

TEST_F (CallOutTest, ARealCallOutBoxPaintsThroughTheLookAndFeel)
{
    parent.setLookAndFeel (&lookAndFeel);
    const auto image = paint (parent, "callout_in_parent", Palette::barBackground);
    parent.setLookAndFeel (nullptr);

    const auto b = box->getBounds();
    EXPECT_TRUE (pixelIs (image, b.getCentreX(), b.getCentreY(), Palette::panelBackground));
    EXPECT_TRUE (pixelIs (image, 2, 2, Palette::barBackground));
}
