#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/**
    Checks on documents that come from outside (host state, preset files, "settings.xml") before
    they replace anything, and the safe way of writing them.
*/
namespace StateDocuments
{
/** The state a document describes, ready to replace the parameter tree: the tree's root type with
    every parameter exactly once, in the tree's own order, with a value inside its range. A missing
    entry, or one whose value is not a number ("nan", "inf"), takes the parameter's default. Of the
    extra properties only those in the document are set, the notes as whole numbers and activePanel
    as one of "voice1" to "voice7". An invalid tree when the document is refused: another root, a
    parameter given twice, a value outside its range or unreadable, a bad note or panel. */
juce::ValueTree createParameterState (const juce::XmlElement& xml, juce::AudioProcessorValueTreeState& state);

/** True when xml is a settings document: root "settings", a positive finite "scale" and whole notes,
    each at most once. */
bool isUsableSettings (const juce::XmlElement& xml);

/** Sets a parameter's value in a state tree, adding its entry when missing. */
void setParameterValue (juce::ValueTree& state, const juce::String& parameterId, float value);

/** Removes a parameter's entry from a state tree. */
void removeParameter (juce::ValueTree& state, const juce::String& parameterId);

/** Reads a state or settings document from a file, with every check of UntrustedXml::readFile;
    nullptr for anything else. */
std::unique_ptr<juce::XmlElement> readFile (const juce::File& file);

/** Reads the state document in a host's state block; nullptr for anything else. */
std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes);

/** Writes xml to a temporary file beside target and renames it over target, so that a failed
    write leaves an existing file as it was. */
bool writeFile (const juce::XmlElement& xml, const juce::File& target);
} // namespace StateDocuments
