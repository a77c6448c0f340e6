#include "StateDocuments.h"
#include "ParameterIds.h"
#include "StateIds.h"

#include <cmath>
#include <limits>

namespace
{
// How juce::AudioProcessorValueTreeState stores each parameter in its tree.
constexpr const char* parameterTag = "PARAM";
constexpr const char* parameterIdAttribute = "id";
constexpr const char* parameterValueAttribute = "value";

/** Stored values are rounded decimal texts of floats; allow that much beyond a range's ends. */
constexpr double rangeTolerance = 1.0e-4;

/** Reads text that holds one number and nothing else (surrounding blanks aside), as a finite double. */
bool readNumber (const juce::String& text, double& result)
{
    const auto trimmed = text.trim();

    if (! trimmed.containsAnyOf ("0123456789"))
        return false;

    auto position = trimmed.getCharPointer();
    result = juce::CharacterFunctions::readDoubleValue (position);
    return position.isEmpty() && std::isfinite (result);
}

bool isWholeNumber (const juce::String& text)
{
    double number = 0.0;
    return readNumber (text, number)
        && number == std::floor (number)
        && number >= (double) std::numeric_limits<int>::min()
        && number <= (double) std::numeric_limits<int>::max();
}

bool isUsableParameterEntry (const juce::XmlElement& entry, juce::AudioProcessorValueTreeState& state)
{
    auto* parameter = state.getParameter (entry.getStringAttribute (parameterIdAttribute));

    // Entries of parameters this version doesn't have are left alone.
    if (parameter == nullptr)
        return true;

    double value = 0.0;

    if (! entry.hasAttribute (parameterValueAttribute)
        || ! readNumber (entry.getStringAttribute (parameterValueAttribute), value))
        return false;

    const auto& range = parameter->getNormalisableRange();
    const auto tolerance = rangeTolerance * (double) (range.end - range.start);
    return value >= (double) range.start - tolerance && value <= (double) range.end + tolerance;
}
} // namespace

namespace StateDocuments
{
bool isUsableParameterState (const juce::XmlElement& xml, juce::AudioProcessorValueTreeState& state)
{
    if (! xml.hasTagName (StateIds::stateType))
        return false;

    for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
    {
        const auto noteName = StateIds::voiceMidi (voiceNumber);

        if (xml.hasAttribute (noteName) && ! isWholeNumber (xml.getStringAttribute (noteName)))
            return false;
    }

    if (xml.hasAttribute (StateIds::activePanel))
    {
        const auto panel = xml.getStringAttribute (StateIds::activePanel);
        bool isPanelName = false;

        for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
            isPanelName = isPanelName || panel == StateIds::panelName (voiceNumber);

        if (! isPanelName)
            return false;
    }

    for (auto* entry : xml.getChildWithTagNameIterator (parameterTag))
        if (! isUsableParameterEntry (*entry, state))
            return false;

    return true;
}

bool isUsableSettings (const juce::XmlElement& xml)
{
    if (! xml.hasTagName (StateIds::settingsType))
        return false;

    for (auto* child : xml.getChildIterator())
    {
        const auto text = child->getStringAttribute (StateIds::value);

        if (child->hasTagName (StateIds::scale))
        {
            double scale = 0.0;

            if (! readNumber (text, scale) || scale <= 0.0)
                return false;
        }

        for (int voiceNumber = 1; voiceNumber <= ParameterIds::numVoices; ++voiceNumber)
            if (child->hasTagName (StateIds::voiceMidi (voiceNumber)) && ! isWholeNumber (text))
                return false;
    }

    return true;
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
    if (! file.existsAsFile())
        return nullptr;

    return juce::parseXML (file);
}

bool writeFile (const juce::XmlElement& xml, const juce::File& target)
{
    // Renaming onto a folder would only fail after the framework's retries.
    if (target.isDirectory())
        return false;

    return xml.writeTo (target);
}
} // namespace StateDocuments
