#pragma once

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

/** Painting controls into images, reading their pixels and keeping the images for review. */
namespace ControlImages
{
/** Paints a component with its children into a transparent ARGB image of its own size. */
inline juce::Image paint (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}

/** Writes an image, and a copy enlarged eight times, as PNG into the test image folder. */
inline void save (const juce::Image& image, const juce::String& name)
{
    const juce::File folder (TOMBREL_TEST_IMAGE_DIR);
    ASSERT_TRUE (folder.createDirectory().wasOk()) << folder.getFullPathName();

    constexpr int zoom = 8;
    const auto write = [] (const juce::Image& img, const juce::File& file)
    {
        file.deleteFile();
        juce::FileOutputStream stream (file);
        ASSERT_TRUE (stream.openedOk()) << file.getFullPathName();
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (img, stream));
    };

    write (image, folder.getChildFile (name + ".png"));
    write (image.rescaled (image.getWidth() * zoom, image.getHeight() * zoom, juce::Graphics::lowResamplingQuality),
           folder.getChildFile (name + "-x8.png"));
}

/** Paints a component, keeps the image for review and returns it. */
inline juce::Image paintAndSave (juce::Component& component, const juce::String& name)
{
    auto image = paint (component);
    save (image, name);
    return image;
}

/** True when each channel, alpha included, differs by at most the tolerance. */
inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    const auto near = [tolerance] (juce::uint8 a, juce::uint8 b) { return std::abs ((int) a - (int) b) <= tolerance; };

    if (near (actual.getAlpha(), expected.getAlpha()) && near (actual.getRed(), expected.getRed())
        && near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue()))
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "colour " << actual.toDisplayString (true) << " is not near "
                                         << expected.toDisplayString (true);
}

/** Counts the repaints a component asks for while a change is made to it. */
inline int countRepaints (juce::Component& component, const std::function<void()>& change)
{
    struct Counter final : public juce::CachedComponentImage
    {
        explicit Counter (int& c) : count (c) {}
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { ++count; return false; }
        bool invalidate (const juce::Rectangle<int>&) override { ++count; return false; }
        void releaseResources() override {}
        int& count;
    };

    // Only visible components pass their repaints on.
    const auto wasVisible = component.isVisible();
    component.setVisible (true);

    int count = 0;
    component.setCachedComponentImage (new Counter (count));
    count = 0; // attaching the counter repaints once
    change();
    component.setCachedComponentImage (nullptr);
    component.setVisible (wasVisible);
    return count;
}

/** The vertices of a path made of straight lines, in order. */
inline juce::Array<juce::Point<float>> getVertices (const juce::Path& path)
{
    juce::Array<juce::Point<float>> vertices;

    for (juce::Path::Iterator it (path); it.next();)
        if (it.elementType == juce::Path::Iterator::startNewSubPath || it.elementType == juce::Path::Iterator::lineTo)
            vertices.add ({ it.x1, it.y1 });

    return vertices;
}
} // namespace ControlImages
