#pragma once

#include <juce_graphics/juce_graphics.h>

/** The embedded semibold typeface at the framework's default height of 14.

    Every call returns the same object, which lives until the program ends. Callers that
    need another height draw with a copy (withHeight), which keeps the typeface.
*/
const juce::Font& getSemiboldFont();

/** The embedded condensed semibold cut at height 14; the same rules as getSemiboldFont. */
const juce::Font& getCondensedSemiboldFont();
