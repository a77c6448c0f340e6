#pragma once

#include <juce_graphics/juce_graphics.h>

/** The embedded semibold typeface at the framework's default height of 14.

    Every call returns the same object, which lives until the framework shuts down, after the
    last editor. Callers that need another height draw with a copy (withHeight), which keeps the
    typeface.
*/
const juce::Font& getSemiboldFont();

/** The embedded condensed semibold cut at height 14; the same rules as getSemiboldFont. */
const juce::Font& getCondensedSemiboldFont();

/** The semibold typeface for fonts that carry none of their own: a separate object made from
    getSemiboldFont's bytes, with the same lifetime. */
juce::Typeface::Ptr getDefaultSemiboldTypeface();
