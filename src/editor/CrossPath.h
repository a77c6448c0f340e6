#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/** The close cross of the dialogs: two crossing strokes in 15 x 15, thickness 2, in black for the caller to recolour. */
std::unique_ptr<juce::DrawablePath> createCrossPath();
