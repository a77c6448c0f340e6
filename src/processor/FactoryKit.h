#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The sounds a new plug-in instance starts with: a small kit on the factory notes 36 to 42. */
namespace FactoryKit
{
/** Sets the 21 parameters of every voice to the kit's values, notifying listeners and host. */
void apply (juce::AudioProcessorValueTreeState& state);

/** The kit's value of one voice parameter; voiceNumber 1 to 7, suffixIndex into ParameterIds::voiceSuffixes. */
float getValue (int voiceNumber, int suffixIndex);
} // namespace FactoryKit
