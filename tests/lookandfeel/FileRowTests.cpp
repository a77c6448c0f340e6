#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
using DCDC = juce::DirectoryContentsDisplayComponent;

struct FileRowTest : public ::testing::Test
{
    FileRowTest() { fileList.setLookAndFeel (&lookAndFeel); }
    ~FileRowTest() override { fileList.setLookAndFeel (nullptr); }

    juce::Image drawRow (const juce::String& name, const juce::String& filename, bool isDirectory, bool isSelected = false,
                         int width = 240, juce::Image* frameworkIcon = nullptr)
    {
        return draw (width, 20, "filerow_" + name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawFileBrowserRow (g, width, 20, juce::File(), filename, frameworkIcon, "12 KB",
                                            "6 Dec 2024 21:49", isDirectory, isSelected, 3, fileList);
        }, Palette::panelBackground);
    }

    static juce::Rectangle<int> icon (const juce::Image& image) { return find (image, differsFrom (Palette::panelBackground), { 0, 0, 20, 20 }).bounds; }
    static juce::Rectangle<int> text (const juce::Image& image) { return find (image, differsFrom (Palette::panelBackground), { 20, 0, 999, 20 }).bounds; }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::TimeSliceThread thread { "unused" };
    juce::DirectoryContentsList contents { nullptr, thread };
    juce::FileListComponent fileList { contents };
};
} // namespace

TEST_F (FileRowTest, NamesShowWithoutTheirLastExtensionFrom24At12High)
{
    const std::tuple<const char*, bool, const char*> names[] = {
        { "Snare.alt.qvtp", false, "Snare.alt" }, { "Snare.qvtp", false, "Snare" }, { "Snare", false, "Snare" },
        { ".qvtp", false, "" }, { "Drums.old", true, "Drums" }, { "Drums", true, "Drums" },
    };

    for (const auto& [filename, isDirectory, shown] : names)
    {
        const auto row = drawRow (filename, filename, isDirectory).getClippedImage ({ 20, 0, 220, 20 });
        const auto reference = draw (240, 20, juce::String ("filerow_reference_") + shown, [&] (juce::Graphics& g)
        {
            g.setColour (Palette::buttonOutline);
            g.setFont (juce::Font (12.0f));
            g.drawText (shown, 24, 1, 216, 20, juce::Justification::centredLeft);
        }, Palette::panelBackground).getClippedImage ({ 20, 0, 220, 20 });

        EXPECT_TRUE (sameImages (row, reference)) << filename;
    }
}

TEST_F (FileRowTest, IconsAreStretchedIntoTheLeftColumn)
{
    const auto folder = drawRow ("folder_icon", "Kits", true);
    EXPECT_EQ (icon (folder), juce::Rectangle<int> (0, 3, 17, 14));
    // Back and flap keep the document's light grey; right of the back, above the flap, is empty.
    EXPECT_TRUE (pixelIs (folder, 10, 13, juce::Colour (0xFFD2D2D2)));
    EXPECT_TRUE (pixelIs (folder, 12, 6, juce::Colour (0xFFD2D2D2)));
    EXPECT_TRUE (pixelIs (folder, 16, 4, Palette::panelBackground, 6));

    // A page with a cut-away corner and the folded triangle inside it.
    const auto document = drawRow ("document_icon", "Kick.qvtp", false);
    EXPECT_EQ (icon (document), juce::Rectangle<int> (3, 3, 11, 15));
    EXPECT_TRUE (pixelIs (document, 8, 12, Palette::buttonOutline));
    EXPECT_TRUE (pixelIs (document, 5, 4, Palette::buttonOutline));
    EXPECT_TRUE (pixelIs (document, 13, 3, Palette::panelBackground, 6));
    EXPECT_TRUE (pixelIs (document, 11, 5, Palette::buttonOutline, 6));
}

TEST_F (FileRowTest, SelectedRowIsFilledOverItsWholeWidthInTheAskingComponentsColours)
{
    const auto selected = drawRow ("selected", "Snare.alt.qvtp", false, true);
    EXPECT_EQ (find (selected, near (Palette::barBackground)).bounds, juce::Rectangle<int> (0, 0, 240, 20));
    EXPECT_TRUE (pixelIs (selected, 8, 12, Palette::buttonOutline));
    EXPECT_GE (find (selected, near (Palette::buttonOutline, 3), { 20, 0, 220, 20 }).count, 10);
    EXPECT_EQ (find (drawRow ("unselected", "Snare.alt.qvtp", false), near (Palette::barBackground, 1)).count, 0);

    // The file list's own colours win; icons keep theirs.
    fileList.setColour (DCDC::textColourId, juce::Colours::red);
    fileList.setColour (DCDC::highlightColourId, juce::Colours::blue);
    fileList.setColour (DCDC::highlightedTextColourId, juce::Colours::yellow);
    const auto plain = drawRow ("own_text_colour", "Tom", false), ownSelected = drawRow ("own_highlight_colours", "Tom", false, true);
    EXPECT_GE (find (plain, near (juce::Colours::red, 3)).count, 3);
    EXPECT_TRUE (pixelIs (plain, 8, 12, Palette::buttonOutline));
    EXPECT_TRUE (pixelIs (ownSelected, 239, 0, juce::Colours::blue));
    EXPECT_GE (find (ownSelected, near (juce::Colours::yellow, 3)).count, 3);
    EXPECT_EQ (find (ownSelected, near (juce::Colours::red, 40)).count, 0);

    // Only icon and name: no framework icon, size or date; a long name ends in an ellipsis within the row.
    juce::Image frameworkIcon (juce::Image::ARGB, 16, 16, true);
    frameworkIcon.clear (frameworkIcon.getBounds(), juce::Colours::lime);
    const auto wide = drawRow ("wide_600", "Hi-hat open.qvtp", false, false, 600, &frameworkIcon);
    EXPECT_EQ (find (wide, near (juce::Colours::lime, 60)).count, 0);
    EXPECT_LT (text (wide).getRight(), 200);
    EXPECT_NEAR (text (drawRow ("narrow_ellipsis", "A very long preset name indeed.qvtp", false, false, 100)).getRight(), 95, 5);
}
