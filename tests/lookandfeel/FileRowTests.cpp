#include "lookandfeel/TestImages.h"

using namespace testimages;

namespace
{
using DCDC = juce::DirectoryContentsDisplayComponent;

struct FileRowTest : public ::testing::Test
{
    FileRowTest() { fileList.setLookAndFeel (&lookAndFeel); }
    ~FileRowTest() override { fileList.setLookAndFeel (nullptr); }

    juce::Image drawRow (const juce::String& name, const juce::String& filename, bool isDirectory,
                         bool isSelected = false, int width = 240, int height = 20,
                         juce::Image* frameworkIcon = nullptr)
    {
        return draw (width, height, name, [&] (juce::Graphics& g)
        {
            lookAndFeel.drawFileBrowserRow (g, width, height, juce::File(), filename, frameworkIcon,
                                            "12 KB", "6 Dec 2024 21:49", isDirectory, isSelected, 3, fileList);
        }, Palette::panelBackground);
    }

    /** The text column: everything right of the icons. */
    static juce::Rectangle<int> textExtent (const juce::Image& image, juce::Colour background = Palette::panelBackground)
    {
        return extent (image, { 20, 0, image.getWidth() - 20, image.getHeight() }, differsFrom (background, 4));
    }

    static juce::Image textColumn (const juce::Image& image)
    {
        return image.getClippedImage ({ 20, 0, image.getWidth() - 20, image.getHeight() });
    }

    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault { lookAndFeel };
    juce::TimeSliceThread thread { "unused" };
    juce::DirectoryContentsList contents { nullptr, thread };
    juce::FileListComponent fileList { contents };
};
} // namespace

TEST_F (FileRowTest, NamesShowWithoutTheirLastExtension)
{
    const auto snareAlt = drawRow ("filerow_Snare.alt.qvtp", "Snare.alt.qvtp", false);

    // Shown exactly as the text "Snare.alt" drawn at height 12 from x 24, vertically centred.
    const auto reference = draw (240, 20, "filerow_reference_Snare.alt", [] (juce::Graphics& g)
    {
        g.setColour (Palette::buttonOutline);
        g.setFont (juce::Font (12.0f));
        g.drawText ("Snare.alt", 24, 1, 216, 20, juce::Justification::centredLeft);
    }, Palette::panelBackground);
    EXPECT_TRUE (sameImages (textColumn (snareAlt), textColumn (reference)));

    EXPECT_TRUE (sameImages (textColumn (snareAlt), textColumn (drawRow ("filerow_Snare.alt.wav", "Snare.alt.wav", false))));
    EXPECT_FALSE (sameImages (textColumn (snareAlt), textColumn (drawRow ("filerow_Snare.qvtp", "Snare.qvtp", false))));

    // A name without a dot shows whole.
    EXPECT_TRUE (sameImages (textColumn (drawRow ("filerow_Snare", "Snare", false)),
                             textColumn (drawRow ("filerow_Snare.qvtp_again", "Snare.qvtp", false))));
    EXPECT_GE (textExtent (drawRow ("filerow_Kick", "Kick", false)).getX(), 24);

    // A name whose only dot is its first character shows nothing.
    EXPECT_TRUE (textExtent (drawRow ("filerow_dot_qvtp", ".qvtp", false)).isEmpty());
}

TEST_F (FileRowTest, FolderNamesLoseTheirExtensionToo)
{
    const auto drumsOld = drawRow ("filerow_folder_Drums.old", "Drums.old", true);
    const auto drums = drawRow ("filerow_folder_Drums", "Drums", true);

    EXPECT_TRUE (sameImages (drumsOld, drums));
    EXPECT_FALSE (textExtent (drums).isEmpty());
}

TEST_F (FileRowTest, FolderIconIsStretchedOverTheLeftColumn)
{
    const auto image = drawRow ("filerow_folder_icon", "Kits", true);
    const auto icon = extent (image, { 0, 0, 20, 20 }, differsFrom (Palette::panelBackground, 4));

    EXPECT_EQ (icon, juce::Rectangle<int> (0, 3, 17, 14));
    // Both shapes keep the light grey of the document, not the row's text colour.
    EXPECT_TRUE (pixelIs (image, 10, 13, juce::Colour (0xFFD2D2D2)));
    EXPECT_TRUE (pixelIs (image, 12, 6, juce::Colour (0xFFD2D2D2)));
    // Right of the back, above the flap, is empty.
    EXPECT_TRUE (pixelIs (image, 16, 4, Palette::panelBackground, 6));
}

TEST_F (FileRowTest, DocumentIconIsAPageWithAFoldedCorner)
{
    const auto image = drawRow ("filerow_document_icon", "Kick.qvtp", false);
    const auto icon = extent (image, { 0, 0, 20, 20 }, differsFrom (Palette::panelBackground, 4));

    EXPECT_EQ (icon, juce::Rectangle<int> (3, 3, 11, 15));
    EXPECT_TRUE (pixelIs (image, 8, 12, Palette::buttonOutline));
    EXPECT_TRUE (pixelIs (image, 5, 4, Palette::buttonOutline));
    // The cut-away corner, and the folded triangle inside it.
    EXPECT_TRUE (pixelIs (image, 13, 3, Palette::panelBackground, 6));
    EXPECT_TRUE (pixelIs (image, 11, 5, Palette::buttonOutline, 6));
    EXPECT_TRUE (pixelIs (image, 10, 3, Palette::panelBackground, 20));
}

TEST_F (FileRowTest, SelectedRowIsFilledOverItsWholeWidth)
{
    const auto image = drawRow ("filerow_selected", "Snare.alt.qvtp", false, true);

    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 1, 19, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 239, 19, Palette::barBackground));
    EXPECT_TRUE (pixelIs (image, 8, 12, Palette::buttonOutline));
    EXPECT_GE (count (image, near (Palette::buttonOutline, 3)), 20);

    const auto unselected = drawRow ("filerow_unselected", "Snare.alt.qvtp", false, false);
    EXPECT_TRUE (pixelIs (unselected, 0, 0, Palette::panelBackground));
    EXPECT_EQ (count (unselected, near (Palette::barBackground, 1)), 0);
}

TEST_F (FileRowTest, ColoursComeFromTheAskingComponent)
{
    fileList.setColour (DCDC::textColourId, juce::Colours::red);
    fileList.setColour (DCDC::highlightColourId, juce::Colours::blue);
    fileList.setColour (DCDC::highlightedTextColourId, juce::Colours::yellow);

    const auto plain = drawRow ("filerow_own_text_colour", "Tom", false);
    const auto selected = drawRow ("filerow_own_highlight_colours", "Tom", false, true);

    EXPECT_GE (count (plain, near (juce::Colours::red, 3)), 3);
    EXPECT_TRUE (pixelIs (selected, 239, 0, juce::Colours::blue));
    EXPECT_GE (count (selected, near (juce::Colours::yellow, 3)), 3);
    EXPECT_EQ (count (selected, near (juce::Colours::red, 40)), 0);

    // The icons keep their own colours.
    EXPECT_TRUE (pixelIs (plain, 8, 12, Palette::buttonOutline));
}

TEST_F (FileRowTest, OnlyIconAndNameAreEverDrawn)
{
    juce::Image frameworkIcon (juce::Image::ARGB, 16, 16, true);
    frameworkIcon.clear (frameworkIcon.getBounds(), juce::Colours::lime);

    const auto wide = drawRow ("filerow_wide_600", "Hi-hat open.qvtp", false, false, 600, 20, &frameworkIcon);

    EXPECT_EQ (count (wide, near (juce::Colours::lime, 60)), 0);
    EXPECT_LT (textExtent (wide).getRight(), 200);

    // A long name is cut short with an ellipsis within the row.
    const auto narrow = drawRow ("filerow_narrow_ellipsis", "A very long preset name indeed.qvtp", false, false, 100);
    EXPECT_LE (textExtent (narrow).getRight(), 100);
    EXPECT_GE (textExtent (narrow).getRight(), 90);
}

TEST_F (FileRowTest, IconShapesSeenEightTimesLarger)
{
    constexpr float scale = 8.0f;

    auto drawIcon = [this] (const juce::String& name, bool isDirectory)
    {
        return draw (160, 160, name, [&] (juce::Graphics& g)
        {
            g.addTransform (juce::AffineTransform::scale (scale));
            lookAndFeel.drawFileBrowserRow (g, 20, 20, juce::File(), {}, nullptr, {}, {}, isDirectory, false, 0, fileList);
        }, Palette::panelBackground);
    };

    // Points given in each icon's own view box, mapped to where the row stretches it.
    auto folderPixel = [] (const juce::Image& image, float x, float y)
    {
        return image.getPixelAt ((int) (scale * x * 17.0f / 34.5f), (int) (scale * (3.0f + y * 14.0f / 28.0f)));
    };

    auto documentPixel = [] (const juce::Image& image, float x, float y)
    {
        return image.getPixelAt ((int) (scale * (3.0f + x * 11.0f / 20.3f)), (int) (scale * (3.0f + y * 15.0f / 28.0f)));
    };

    const auto folder = drawIcon ("filerow_folder_icon_x8", true);
    const auto grey = juce::Colour (0xFFD2D2D2);

    EXPECT_TRUE (isNear (folderPixel (folder, 6.0f, 1.0f), grey));                         // the tab
    EXPECT_TRUE (isNear (folderPixel (folder, 22.0f, 2.0f), Palette::panelBackground));    // lower top right of it
    EXPECT_TRUE (isNear (folderPixel (folder, 30.0f, 7.0f), grey));                        // back, up to x 31
    EXPECT_TRUE (isNear (folderPixel (folder, 32.5f, 7.0f), Palette::panelBackground));
    EXPECT_TRUE (isNear (folderPixel (folder, 20.0f, 10.0f), Palette::panelBackground));   // gap above the flap
    EXPECT_TRUE (isNear (folderPixel (folder, 3.0f, 26.0f), grey));                        // flap, leaning right
    EXPECT_TRUE (isNear (folderPixel (folder, 33.0f, 13.0f), grey));
    EXPECT_TRUE (isNear (folderPixel (folder, 31.0f, 26.0f), Palette::panelBackground));

    const auto document = drawIcon ("filerow_document_icon_x8", false);

    EXPECT_TRUE (isNear (documentPixel (document, 10.0f, 20.0f), Palette::buttonOutline)); // the page
    EXPECT_TRUE (isNear (documentPixel (document, 16.2f, 4.1f), Palette::buttonOutline));  // the folded triangle
    EXPECT_TRUE (isNear (documentPixel (document, 19.0f, 1.0f), Palette::panelBackground)); // the cut corner
    EXPECT_TRUE (isNear (documentPixel (document, 13.5f, 6.5f), Palette::panelBackground));
}
