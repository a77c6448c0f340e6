#pragma once

#include "ReviewImages.h"

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

/** Painting controls into images, keeping them for review and reading their pixels. */
namespace ControlImages
{
/** Paints a component with its children into a transparent image and writes it as PNG into the test image folder. */
inline juce::Image paintAndSave (juce::Component& component, const juce::String& name)
{
    const auto image = component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
    saveImageForReview (image, name);
    return image;
}

/** True when each channel, alpha included, differs by at most the tolerance. */
inline ::testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    for (auto [a, e] : { std::pair (actual.getAlpha(), expected.getAlpha()), std::pair (actual.getRed(), expected.getRed()),
                         std::pair (actual.getGreen(), expected.getGreen()), std::pair (actual.getBlue(), expected.getBlue()) })
        if (std::abs ((int) a - (int) e) > tolerance)
            return ::testing::AssertionFailure() << actual.toDisplayString (true) << " is not near " << expected.toDisplayString (true);

    return ::testing::AssertionSuccess();
}

/** Counts the repaints a visible component asks for while a change is made to it. */
inline int countRepaints (juce::Component& component, const std::function<void()>& change)
{
    struct Counter final : public juce::CachedComponentImage
    {
        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { return ++count < 0; }
        bool invalidate (const juce::Rectangle<int>&) override { return ++count < 0; }
        void releaseResources() override {}
        int count = 0;
    };

    auto* counter = new Counter();
    component.setVisible (true);
    component.setCachedComponentImage (counter);
    counter->count = 0; // attaching the counter repaints once
    change();
    const auto count = counter->count;
    component.setCachedComponentImage (nullptr);
    return count;
}
} // namespace ControlImages
