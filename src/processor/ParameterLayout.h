#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/**
    The plug-in's host parameters: six global ones and 21 for each of the seven voices, with
    their names, ranges, defaults and text conversions.
*/
namespace ParameterLayout
{
/** Builds all 153 parameters, globals first, then voice 1 to 7. */
juce::AudioProcessorValueTreeState::ParameterLayout create();

/** Above 999.99 Hz the value in kHz with one decimal + "kHz", else in Hz with one decimal + "Hz". */
juce::String frequencyToText (float hertz);

/** Reads the leading number; a text ending in "kHz" is in kHz, any other has a two-character unit in Hz. */
float textToFrequency (const juce::String& text);

/** The 27 drum-kind names that a voice's Label parameter steps through. */
const juce::StringArray& drumKindLabels();
} // namespace ParameterLayout
