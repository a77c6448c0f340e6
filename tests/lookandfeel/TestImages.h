#pragma once

#include "ReviewImages.h"
#include "lookandfeel/LookAndFeelCustom.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

/** Painting look-and-feel routines into images, keeping them for review and reading their pixels. */
namespace testimages
{
/** A colour that nothing under test draws, so that untouched pixels are easy to tell. */
inline const juce::Colour backdrop { 0xFF204060 };

/** Runs a drawing routine on an image filled with the given colour and writes the result as PNG for review. */
inline juce::Image draw (int width, int height, const juce::String& name,
                         const std::function<void (juce::Graphics&)>& routine, juce::Colour fill = backdrop)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (fill);
    routine (g);
    saveImageForReview (image, name);
    return image;
}

/** Paints a component and its children, as the screen would show them, over a fill. */
inline juce::Image paint (juce::Component& c, const juce::String& name, juce::Colour fill = backdrop)
{
    return draw (c.getWidth(), c.getHeight(), name, [&c] (juce::Graphics& g) { c.paintEntireComponent (g, true); }, fill);
}

/** Paints a button in a toggle state, enabled or not, in a mouse state. */
inline juce::Image paintButton (juce::Button& button, const juce::String& name, bool on, bool enabled = true,
                                juce::Button::ButtonState state = juce::Button::buttonNormal)
{
    button.setToggleState (on, juce::dontSendNotification);
    button.setEnabled (enabled);
    button.setState (state);
    return paint (button, name);
}

inline bool isNear (juce::Colour a, juce::Colour b, int tolerance = 2)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
        && std::abs (a.getBlue() - b.getBlue()) <= tolerance && std::abs (a.getAlpha() - b.getAlpha()) <= tolerance;
}

inline ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected, int tolerance = 2)
{
    const auto actual = image.getPixelAt (x, y);
    return (isNear (actual, expected, tolerance) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << "(" << x << ", " << y << ") is " << actual.toDisplayString (true) << ", not " << expected.toDisplayString (true);
}

using PixelTest = std::function<bool (juce::Colour)>;
inline PixelTest near (juce::Colour c, int tolerance = 2) { return [=] (juce::Colour p) { return isNear (p, c, tolerance); }; }
inline PixelTest differsFrom (juce::Colour c, int tolerance = 4) { return [=] (juce::Colour p) { return ! isNear (p, c, tolerance); }; }

/** The pixels of an area that pass a test: how many, and the smallest rectangle holding them. */
struct Found { int count = 0; juce::Rectangle<int> bounds; };

inline Found find (const juce::Image& image, const PixelTest& test, juce::Rectangle<int> area = { 0, 0, 1 << 16, 1 << 16 })
{
    Found found;
    area = area.getIntersection (image.getBounds());

    for (auto y = area.getY(); y < area.getBottom(); ++y)
        for (auto x = area.getX(); x < area.getRight(); ++x)
            if (test (image.getPixelAt (x, y)))
                found.bounds = found.count++ == 0 ? juce::Rectangle<int> (x, y, 1, 1) : found.bounds.getUnion ({ x, y, 1, 1 });

    return found;
}

/** Where anything but the ground colour was drawn. */
inline juce::Rectangle<int> ink (const juce::Image& image, juce::Colour ground, juce::Rectangle<int> area = { 0, 0, 1 << 16, 1 << 16 })
{
    return find (image, differsFrom (ground), area).bounds;
}

/** The colour drawn most often in an area apart from the ground: the solid inside of text or of a line. */
inline juce::Colour mostDrawn (const juce::Image& image, juce::Colour ground, juce::Rectangle<int> area = { 0, 0, 1 << 16, 1 << 16 })
{
    std::map<juce::uint32, int> counts;
    find (image, [&] (juce::Colour c) { counts[c.getARGB()] += isNear (c, ground, 4) ? 0 : 1; return false; }, area);
    const auto most = std::max_element (counts.begin(), counts.end(), [] (const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() || most->second == 0 ? ground : juce::Colour (most->first);
}

inline bool sameImages (const juce::Image& a, const juce::Image& b)
{
    auto differing = 0;
    for (auto y = 0; y < a.getHeight(); ++y)
        for (auto x = 0; x < a.getWidth(); ++x)
            differing += a.getPixelAt (x, y) != b.getPixelAt (x, y) ? 1 : 0;

    return a.getBounds() == b.getBounds() && differing == 0;
}

/** Makes a look-and-feel the default for a scope, as the editor does while it is open; typefaces resolved
    under another default are forgotten on the way in and out. */
struct ScopedDefaultLookAndFeel
{
    explicit ScopedDefaultLookAndFeel (juce::LookAndFeel& l) { juce::LookAndFeel::setDefaultLookAndFeel (&l); juce::Typeface::clearTypefaceCache(); }
    ~ScopedDefaultLookAndFeel() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); juce::Typeface::clearTypefaceCache(); }
};
} // namespace testimages
