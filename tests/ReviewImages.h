#pragma once

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

/** Writes an image that a test painted as PNG into the test binary's image folder, so that a
    reviewer can look at what the test saw. */
inline void saveImageForReview (const juce::Image& image, const juce::String& name)
{
    const auto file = juce::File (TOMBREL_TEST_IMAGE_DIR).getChildFile (name + ".png");
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream (file);
    EXPECT_TRUE (stream.openedOk() && juce::PNGImageFormat().writeImageToStream (image, stream)) << name;
}
