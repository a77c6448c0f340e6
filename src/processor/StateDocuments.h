#pragma once

#include "ParameterIds.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <optional>

/**
    Checks on documents that come from outside (host state, preset files, "settings.xml") before
    they replace anything, and the safe way of writing them.
*/
namespace StateDocuments
{
/** The state a document describes, ready to replace the parameter tree: the tree's root type with
    every parameter exactly once, in the tree's own order, with a value inside its range. A missing
    entry, or one whose value is not a number ("nan", "inf"), takes the parameter's default. Of the
    extra properties only those in the document are set, the notes as whole numbers, activePanel as
    one of "voice1" to "voice7", presetName as long as a file name can be and presetPath as long as
    a path. An invalid tree when the document is refused: another root, a parameter given twice, a
    value outside its range or unreadable, a bad note or panel, a longer name or path. Tags are
    matched ignoring case. */
juce::ValueTree createParameterState (const juce::XmlElement& xml, juce::AudioProcessorValueTreeState& state);

/** The entries of a settings document, each one only when the document has it. */
struct Settings
{
    std::optional<double> scale;
    std::array<std::optional<int>, ParameterIds::numVoices> notes;
};

/** The settings in xml: root "settings" holding at most one "scale" whose value is a positive
    finite number and at most one each of "voice1Midi" to "voice7Midi" whose value is a whole
    number; other entries are ignored. Tags are matched ignoring case. Nothing when xml is no such
    document. */
std::optional<Settings> readSettings (const juce::XmlElement& xml);

/** The document that readSettings reads back as settings, holding only the entries they have. */
std::unique_ptr<juce::XmlElement> createSettingsXml (const Settings& settings);

/** Replaces state's parameter state with newState, keeping every value exactly as newState holds it.
    The framework keeps a value by mapping it to 0 to 1 and back, and no float from 0 to 1 gives
    back most of the values in a logarithmic range: each value that lies on the step of 0 to 1 that
    its parameter then holds is put in place of what the framework made of it. */
void replaceState (juce::AudioProcessorValueTreeState& state, const juce::ValueTree& newState);

/** True for an absolute path no longer than a state may hold as presetPath. The framework drops "."
    and doubled separators from a path before it opens it, so a longer one may still name a file. */
bool isPresetPath (const juce::String& path);

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
