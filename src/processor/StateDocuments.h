#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/**
    Checks on documents that come from outside (host state, preset files, "settings.xml") before
    they replace anything, and the safe way of writing them.
*/
namespace StateDocuments
{
/** True when xml is a parameter state that the tree can take as it is: the tree's root type, every
    value of a known parameter a finite number inside its range, the note properties whole numbers
    and activePanel, where present, one of "voice1" to "voice7". */
bool isUsableParameterState (const juce::XmlElement& xml, juce::AudioProcessorValueTreeState& state);

/** True when xml is a settings document: root "settings", a positive finite "scale" and whole notes. */
bool isUsableSettings (const juce::XmlElement& xml);

/** Sets a parameter's value in a state tree, adding its entry when missing. */
void setParameterValue (juce::ValueTree& state, const juce::String& parameterId, float value);

/** Removes a parameter's entry from a state tree. */
void removeParameter (juce::ValueTree& state, const juce::String& parameterId);

/** Parses an XML file; nullptr when it is missing, a folder or not XML. */
std::unique_ptr<juce::XmlElement> readFile (const juce::File& file);

/** Writes xml to a temporary file beside target and renames it over target, so that a failed
    write leaves an existing file as it was. */
bool writeFile (const juce::XmlElement& xml, const juce::File& target);
} // namespace StateDocuments
