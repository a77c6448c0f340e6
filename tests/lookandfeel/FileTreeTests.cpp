#include "lookandfeel/TestImages.h"

#include "lookandfeel/Fonts.h"

using namespace testimages;

namespace
{
struct FileRowTest : public ::testing::Test
{
    juce::Image drawRow (const juce::String& filename, bool isDirectory, bool isSelected = false, int width = 240, juce::Image* frameworkIcon = nullptr)
    {
        auto image = draw (width, 20, "filerow_" + filename + (isSelected ? "_selected" : "") + "_" + juce::String (width), [&] (juce::Graphics& g)
        {
            lookAndFeel.drawFileBrowserRow (g, width, 20, juce::File(), filename, frameworkIcon, "12 KB", "6 Dec 2024 21:49", isDirectory, isSelected, 3, fileList);
        }, Palette::panelBackground);
        icon = ink (image, Palette::panelBackground, { 0, 0, 20, 20 });
        text = ink (image, Palette::panelBackground, { 20, 0, 9999, 20 });
        return image;
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::TimeSliceThread thread { "unused" };
    juce::DirectoryContentsList contents { nullptr, thread };
    juce::FileListComponent fileList { contents };
    juce::Rectangle<int> icon, text;
};
} // namespace

TEST_F (FileRowTest, RowsShowTheirIconAndTheNameWithoutItsLastExtension)
{
    const std::tuple<const char*, bool, const char*> names[] = {
        { "Snare.alt.qvtp", false, "Snare.alt" }, { "Snare.qvtp", false, "Snare" }, { "Snare", false, "Snare" }, { "Drums.old", true, "Drums" },
    };

    for (const auto& [filename, isDirectory, shown] : names)
    {
        drawRow (filename, isDirectory);
        EXPECT_NEAR (text.getX(), 25, 1) << filename;
        EXPECT_NEAR ((float) text.getWidth(), getSemiboldFont().withHeight (12.0f).getStringWidthFloat (shown), 2.0f) << filename;
    }

    drawRow (".qvtp", false);
    EXPECT_TRUE (text.isEmpty());

    // Only icon and name: no framework icon, size or date; a long name ends in an ellipsis within the row.
    juce::Image frameworkIcon (juce::Image::ARGB, 16, 16, true);
    frameworkIcon.clear (frameworkIcon.getBounds(), juce::Colours::lime);
    EXPECT_EQ (find (drawRow ("Hi-hat open.qvtp", false, false, 600, &frameworkIcon), near (juce::Colours::lime, 60)).count, 0);
    EXPECT_LT (text.getRight(), 200);
    drawRow ("A very long preset name indeed.qvtp", false, false, 100);
    EXPECT_NEAR (text.getRight(), 95, 5);

    // Back and flap keep the document's light grey; right of the back, above the flap, is empty.
    const auto folder = drawRow ("Kits", true);
    EXPECT_EQ (icon, juce::Rectangle<int> (0, 3, 17, 14));
    EXPECT_TRUE (pixelIs (folder, 10, 13, juce::Colour (0xFFD2D2D2)));
    EXPECT_TRUE (pixelIs (folder, 16, 4, Palette::panelBackground, 6));

    // A page with a cut-away corner and the folded triangle inside it.
    const auto document = drawRow ("Kick.qvtp", false);
    EXPECT_EQ (icon, juce::Rectangle<int> (3, 3, 11, 15));
    EXPECT_TRUE (pixelIs (document, 8, 12, Palette::buttonOutline));
    EXPECT_TRUE (pixelIs (document, 13, 3, Palette::panelBackground, 6));

    // A selected row is filled over its whole width, the icon column included.
    const auto selected = drawRow ("Snare.alt.qvtp", false, true);
    EXPECT_EQ (find (selected, near (Palette::barBackground)).bounds, juce::Rectangle<int> (0, 0, 240, 20));
    EXPECT_GE (find (selected, near (Palette::buttonOutline, 3), { 20, 0, 220, 20 }).count, 10);
    EXPECT_EQ (find (drawRow ("Snare.alt.qvtp", false), near (Palette::barBackground, 1)).count, 0);
}

TEST (TreeView, EveryLevelIndentsBy24WithAn8By8TriangleAtY6PointingRightWhenClosedAndDownWhenOpen)
{
    struct Folder final : public juce::TreeViewItem
    {
        bool mightContainSubItems() override { return true; }
        int getItemHeight() const override { return 20; }
        void paintItem (juce::Graphics&, int, int) override {}
    };

    // Presets (open) / Kits (closed), with the root shown.
    LookAndFeelCustom lookAndFeel;
    Folder root;
    juce::TreeView tree;
    tree.setLookAndFeel (&lookAndFeel);
    tree.setSize (200, 80);
    tree.setRootItem (&root);
    root.setOpen (true);
    root.addSubItem (new Folder());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50); // rows are laid out asynchronously

    const auto background = tree.findColour (juce::TreeView::backgroundColourId);
    const auto image = paint (tree, "tree_two_levels", background);

    for (int row = 0; row < 2; ++row)
    {
        using P = juce::Point<int>;
        const auto x = 4 + 24 * row, y = 6 + 20 * row;
        const auto open = row == 0;
        EXPECT_EQ (ink (image, background, { 0, row * 20, 200, 20 }), juce::Rectangle<int> (x, y, 8, 8)) << "row " << row;

        // Open: full width along the top, pointing down. Closed: full height along the left, pointing right.
        for (auto p : open ? std::array<P, 2> { P (x + 4, y), P (x + 3, y + 4) } : std::array<P, 2> { P (x, y + 3), P (x + 5, y + 3) })
            EXPECT_TRUE (pixelIs (image, p.x, p.y, Palette::buttonOutline)) << "row " << row;
        for (auto p : { open ? P (x, y + 7) : P (x + 7, y), P (x + 7, y + 7) })
            EXPECT_TRUE (pixelIs (image, p.x, p.y, background)) << "row " << row;
    }
}
