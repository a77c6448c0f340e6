#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** Helpers for painting look-and-feel routines into images and checking what they show. */
namespace testimages
{
/** A colour that no routine under test draws, so that untouched pixels are easy to tell. */
inline const juce::Colour backdrop { 0xFF204060 };

inline juce::Image makeImage (int width, int height, juce::Colour fill = backdrop)
{
    juce::Image image (juce::Image::ARGB, width, height, true);

    if (! fill.isTransparent())
    {
        juce::Graphics g (image);
        g.fillAll (fill);
    }

    return image;
}

/** Writes the image as PNG into the test image folder, so that a reviewer can look at it. */
inline void save (const juce::Image& image, const juce::String& name)
{
    const juce::File folder (TOMBREL_TEST_IMAGE_DIR);
    ASSERT_TRUE (folder.createDirectory().wasOk());

    const auto file = folder.getChildFile (name + ".png");
    file.deleteFile();

    juce::FileOutputStream stream (file);
    ASSERT_TRUE (stream.openedOk());
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, stream));
}

/** Paints a component and its children, as the screen would show them, over a backdrop. */
inline juce::Image paint (juce::Component& component, const juce::String& name, juce::Colour fill = backdrop)
{
    auto image = makeImage (component.getWidth(), component.getHeight(), fill);

    {
        juce::Graphics g (image);
        component.paintEntireComponent (g, true);
    }

    save (image, name);
    return image;
}

/** Runs a drawing routine on a fresh image and saves the result. */
inline juce::Image draw (int width, int height, const juce::String& name,
                         const std::function<void (juce::Graphics&)>& routine, juce::Colour fill = backdrop)
{
    auto image = makeImage (width, height, fill);

    {
        juce::Graphics g (image);
        routine (g);
    }

    save (image, name);
    return image;
}

inline bool isNear (juce::Colour a, juce::Colour b, int tolerance = 2)
{
    return std::abs ((int) a.getRed() - (int) b.getRed()) <= tolerance
        && std::abs ((int) a.getGreen() - (int) b.getGreen()) <= tolerance
        && std::abs ((int) a.getBlue() - (int) b.getBlue()) <= tolerance
        && std::abs ((int) a.getAlpha() - (int) b.getAlpha()) <= tolerance;
}

inline ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected,
                                           int tolerance = 2)
{
    const auto actual = image.getPixelAt (x, y);

    if (isNear (actual, expected, tolerance))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x"
                                         << actual.toDisplayString (true).toStdString() << ", expected 0x"
                                         << expected.toDisplayString (true).toStdString();
}

using PixelTest = std::function<bool (juce::Colour)>;

inline PixelTest near (juce::Colour colour, int tolerance = 2)
{
    return [colour, tolerance] (juce::Colour c) { return isNear (c, colour, tolerance); };
}

inline PixelTest differsFrom (juce::Colour colour, int tolerance = 2)
{
    return [colour, tolerance] (juce::Colour c) { return ! isNear (c, colour, tolerance); };
}

inline int count (const juce::Image& image, juce::Rectangle<int> area, const PixelTest& test)
{
    area = area.getIntersection (image.getBounds());
    auto n = 0;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (test (image.getPixelAt (x, y)))
                ++n;

    return n;
}

inline int count (const juce::Image& image, const PixelTest& test)
{
    return count (image, image.getBounds(), test);
}

/** The smallest rectangle holding every pixel of the area that passes the test; empty if none does. */
inline juce::Rectangle<int> extent (const juce::Image& image, juce::Rectangle<int> area, const PixelTest& test)
{
    area = area.getIntersection (image.getBounds());
    auto left = area.getRight(), top = area.getBottom(), right = area.getX() - 1, bottom = area.getY() - 1;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (test (image.getPixelAt (x, y)))
            {
                left = juce::jmin (left, x);
                right = juce::jmax (right, x);
                top = juce::jmin (top, y);
                bottom = juce::jmax (bottom, y);
            }

    if (right < left)
        return {};

    return juce::Rectangle<int>::leftTopRightBottom (left, top, right + 1, bottom + 1);
}

inline juce::Rectangle<int> extent (const juce::Image& image, const PixelTest& test)
{
    return extent (image, image.getBounds(), test);
}

/** Checks that the most strongly inked pixel of an area is the expected colour laid over the background
    at some coverage: for small text, whose strokes may not cover any pixel completely. */
inline ::testing::AssertionResult inkIs (const juce::Image& image, juce::Rectangle<int> area,
                                         juce::Colour background, juce::Colour expected)
{
    auto distance = [] (juce::Colour a, juce::Colour b)
    {
        return std::abs ((float) a.getRed() - (float) b.getRed())
             + std::abs ((float) a.getGreen() - (float) b.getGreen())
             + std::abs ((float) a.getBlue() - (float) b.getBlue());
    };

    area = area.getIntersection (image.getBounds());
    auto strongest = background;

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (distance (image.getPixelAt (x, y), background) > distance (strongest, background))
                strongest = image.getPixelAt (x, y);

    const auto coverage = distance (strongest, background) / juce::jmax (1.0f, distance (expected, background));
    const auto blended = background.interpolatedWith (expected, juce::jmin (1.0f, coverage));

    if (coverage >= 0.6f && coverage <= 1.02f && isNear (strongest, blended, 8))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "strongest ink 0x" << strongest.toDisplayString (true).toStdString()
                                         << " is not 0x" << expected.toDisplayString (true).toStdString()
                                         << " over 0x" << background.toDisplayString (true).toStdString();
}

inline bool sameImages (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;

    for (auto y = 0; y < a.getHeight(); ++y)
        for (auto x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

/** Makes a look-and-feel the default for the length of a test, as the editor does while it is open. */
struct ScopedDefaultLookAndFeel
{
    explicit ScopedDefaultLookAndFeel (juce::LookAndFeel& lookAndFeel)
    {
        juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
        // Typefaces resolved under an earlier default must not be reused.
        juce::Typeface::clearTypefaceCache();
    }

    ~ScopedDefaultLookAndFeel()
    {
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        juce::Typeface::clearTypefaceCache();
    }

    JUCE_DECLARE_NON_COPYABLE (ScopedDefaultLookAndFeel)
};
} // namespace testimages
