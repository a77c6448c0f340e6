#include "StateDocuments.h"
#include "ParameterIds.h"
#include "StateIds.h"
#include "NumberText.h"
#include "UntrustedXml.h"

#include <climits>
#include <cmath>
#include <map>
#include <optional>
#include <utility>

namespace
{
// How juce::AudioProcessorValueTreeState stores each parameter in its tree.
constexpr const char* parameterTag = "PARAM";
constexpr const char* parameterIdAttribute = "id";
constexpr const char* parameterValueAttribute = "value";

/** Every state and settings document is a root holding flat entries. */
constexpr int documentDepth = 2;

/** Stored values are rounded decimal texts of floats; allow that much beyond a range's ends. */
constexpr double rangeTolerance = 1.0e-4;

/** The longest preset name, as many bytes as a file name may have, and the longest preset path, the
    platform's path limit less the terminating NUL. A state that holds them writes back to at most
    six times their bytes (each quote as "&quot;"), far within UntrustedXml::maximumSize. */
constexpr int maximumNameBytes = NAME_MAX;
constexpr int maximumPathBytes = PATH_MAX - 1;

/** Tags are matched ignoring case, as the framework's own lookups do, but without its assertion
    that the case is the same: these documents come from outside. */
bool hasTag (const juce::XmlElement& element, const juce::String& tag)
{
    return element.getTagName().equalsIgnoreCase (tag);
}

/** "nan", "inf" or "infinity" with or without a sign, as a value that is no number is written. */
bool namesNonFiniteValue (const juce::String& text)
{
    auto word = text.trim().toLowerCase();

    if (word.startsWithChar ('+') || word.startsWithChar ('-'))
        word = word.substring (1);

    return word == "nan" || word == "inf" || word == "infinity";
}

/** "voice1Midi" to "voice7Midi". */
juce::StringArray noteNames()
{
    juce::StringArray names;

    for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
        names.add (StateIds::voiceMidi (voiceNumber));

    return names;
}

bool isPanelName (const juce::String& text)
{
    for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
        if (text == StateIds::panelName (voiceNumber))
            return true;

    return false;
}

/** The parameters in the order of their entries in the tree, which keeps them sorted by ID. */
std::vector<juce::RangedAudioParameter*> parametersInTreeOrder (juce::AudioProcessorValueTreeState& state)
{
    std::vector<juce::RangedAudioParameter*> parameters;

    for (auto* parameter : state.processor.getParameters())
        if (auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter))
            parameters.push_back (ranged);

    std::sort (parameters.begin(), parameters.end(), [] (auto* a, auto* b) { return a->paramID.compare (b->paramID) < 0; });
    return parameters;
}

/** The value an entry gives its parameter, the default when it has none; nothing when the entry's
    value is unreadable or outside the parameter's range. */
std::optional<float> readParameterValue (const juce::XmlElement* entry, const juce::RangedAudioParameter& parameter)
{
    const auto text = entry != nullptr ? entry->getStringAttribute (parameterValueAttribute) : juce::String();
    auto value = (double) parameter.convertFrom0to1 (parameter.getDefaultValue());

    if (entry != nullptr && entry->hasAttribute (parameterValueAttribute) && ! namesNonFiniteValue (text))
    {
        const auto number = NumberText::readDecimal (text);
        const auto& range = parameter.getNormalisableRange();
        const auto tolerance = rangeTolerance * (double) (range.end - range.start);

        if (! number.has_value() || *number < (double) range.start - tolerance || *number > (double) range.end + tolerance)
            return std::nullopt;

        value = *number;
    }

    // Limited and put on its steps, but not sent through the normalised range, which would move it by a rounding error.
    return parameter.getNormalisableRange().snapToLegalValue ((float) value);
}
} // namespace

namespace StateDocuments
{
juce::ValueTree createParameterState (const juce::XmlElement& xml, juce::AudioProcessorValueTreeState& state)
{
    if (! hasTag (xml, StateIds::stateType))
        return {};

    juce::ValueTree result (StateIds::stateType);

    // The extra properties in the document's order, which a state saved from this one keeps.
    juce::NamedValueSet attributes;
    attributes.setFromXmlAttributes (xml);
    const auto notes = noteNames();

    for (const auto& attribute : attributes)
    {
        // Only a "base64:" name, which is none of these, gives a value that isn't text.
        if (! attribute.value.isString())
            continue;

        const auto name = attribute.name.toString();
        const auto text = attribute.value.toString();

        if (name == StateIds::presetName || name == StateIds::presetPath)
        {
            if ((int) text.getNumBytesAsUTF8() > (name == StateIds::presetName ? maximumNameBytes : maximumPathBytes))
                return {};

            result.setProperty (attribute.name, text, nullptr);
        }
        else if (name == StateIds::activePanel)
        {
            if (! isPanelName (text))
                return {};

            result.setProperty (attribute.name, text, nullptr);
        }
        else if (notes.contains (name))
        {
            const auto note = NumberText::readWholeNumber (text);

            if (! note.has_value())
                return {};

            result.setProperty (attribute.name, *note, nullptr);
        }
    }

    // Entries of parameters this version doesn't have are dropped; one given twice makes the document ambiguous.
    std::map<juce::String, const juce::XmlElement*> entries;

    for (auto* entry : xml.getChildIterator())
    {
        if (! hasTag (*entry, parameterTag))
            continue;

        const auto id = entry->getStringAttribute (parameterIdAttribute);

        if (state.getParameter (id) != nullptr && ! entries.emplace (id, entry).second)
            return {};
    }

    for (auto* parameter : parametersInTreeOrder (state))
    {
        const auto found = entries.find (parameter->paramID);
        const auto value = readParameterValue (found != entries.end() ? found->second : nullptr, *parameter);

        if (! value.has_value())
            return {};

        result.appendChild (juce::ValueTree (parameterTag, { { parameterIdAttribute, parameter->paramID },
                                                             { parameterValueAttribute, *value } }),
                            nullptr);
    }

    return result;
}

std::optional<Settings> readSettings (const juce::XmlElement& xml)
{
    if (! hasTag (xml, StateIds::settingsType))
        return std::nullopt;

    Settings settings;
    bool seen[1 + ParameterIds::numVoices] {};

    for (auto* child : xml.getChildIterator())
    {
        const auto text = child->getStringAttribute (StateIds::value);

        if (hasTag (*child, StateIds::scale))
        {
            settings.scale = NumberText::readDecimal (text);

            if (std::exchange (seen[0], true) || ! settings.scale.has_value() || *settings.scale <= 0.0)
                return std::nullopt;
        }

        for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
        {
            if (! hasTag (*child, StateIds::voiceMidi (voiceNumber)))
                continue;

            auto& note = settings.notes[(size_t) voiceNumber - 1];
            note = NumberText::readWholeNumber (text);

            if (std::exchange (seen[voiceNumber], true) || ! note.has_value())
                return std::nullopt;
        }
    }

    return settings;
}

std::unique_ptr<juce::XmlElement> createSettingsXml (const Settings& settings)
{
    auto xml = std::make_unique<juce::XmlElement> (StateIds::settingsType);

    if (settings.scale.has_value())
        xml->createNewChildElement (StateIds::scale)->setAttribute (StateIds::value, *settings.scale);

    for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
        if (const auto& note = settings.notes[(size_t) voiceNumber - 1])
            xml->createNewChildElement (StateIds::voiceMidi (voiceNumber))->setAttribute (StateIds::value, *note);

    return xml;
}

void replaceState (juce::AudioProcessorValueTreeState& state, const juce::ValueTree& newState)
{
    // Taken first: the framework writes what it made of each value into the tree it is given.
    std::vector<std::pair<juce::RangedAudioParameter*, float>> values;

    for (const auto& entry : newState)
        if (auto* parameter = state.getParameter (entry[parameterIdAttribute].toString()))
            values.emplace_back (parameter, (float) entry[parameterValueAttribute]);

    state.replaceState (newState);

    for (const auto& [parameter, value] : values)
    {
        if (parameter->convertTo0to1 (value) != parameter->getValue())
            continue;

        // The raw value first, so that the tree's change finds it already in place.
        state.getRawParameterValue (parameter->paramID)->store (value);
        auto tree = state.state;
        setParameterValue (tree, parameter->paramID, value);
    }
}

bool isPresetPath (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) && (int) path.getNumBytesAsUTF8() <= maximumPathBytes;
}

void setParameterValue (juce::ValueTree& state, const juce::String& parameterId, float value)
{
    auto entry = state.getChildWithProperty (parameterIdAttribute, parameterId);

    if (! entry.isValid())
    {
        entry = juce::ValueTree (parameterTag);
        entry.setProperty (parameterIdAttribute, parameterId, nullptr);
        state.appendChild (entry, nullptr);
    }

    entry.setProperty (parameterValueAttribute, value, nullptr);
}

void removeParameter (juce::ValueTree& state, const juce::String& parameterId)
{
    for (auto entry = state.getChildWithProperty (parameterIdAttribute, parameterId); entry.isValid();
         entry = state.getChildWithProperty (parameterIdAttribute, parameterId))
        state.removeChild (entry, nullptr);
}

std::unique_ptr<juce::XmlElement> readFile (const juce::File& file)
{
    return UntrustedXml::readFile (file, documentDepth);
}

std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes)
{
    return UntrustedXml::readStateBlock (data, sizeInBytes, documentDepth);
}

bool writeFile (const juce::XmlElement& xml, const juce::File& target)
{
    // Renaming onto a folder would only fail after the framework's retries.
    if (target.isDirectory())
        return false;

    return xml.writeTo (target);
}
} // namespace StateDocuments
