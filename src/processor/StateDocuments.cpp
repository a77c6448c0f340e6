#include "StateDocuments.h"
#include "ParameterIds.h"
#include "StateIds.h"
#include "UntrustedXml.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>

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

/** Longer texts are no number this program writes. */
constexpr size_t maximumNumberLength = 64;
constexpr size_t maximumExponentDigits = 4;

size_t skipDigits (const std::string& s, size_t i)
{
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;

    return i;
}

size_t signLength (const std::string& s) { return ! s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0; }

/** Converts the whole of s, which has passed a grammar check; the conversion takes no plus sign. */
template <typename Number>
std::optional<Number> convert (const std::string& s)
{
    Number value {};
    const auto* end = s.data() + s.size();
    const auto [stop, error] = std::from_chars (s.data() + (s[0] == '+' ? 1 : 0), end, value);
    return error == std::errc() && stop == end ? std::optional<Number> (value) : std::nullopt;
}

/** Reads text that holds one decimal number and nothing else, blanks around it aside: a sign, digits
    with an optional fraction and an optional exponent of at most four digits. No hexadecimal, no
    "inf" or "nan", nothing beyond the range of a double. */
std::optional<double> readDecimal (const juce::String& text)
{
    const auto s = text.trim().toStdString();
    const auto integerStart = signLength (s);
    const auto integerEnd = skipDigits (s, integerStart);
    auto end = integerEnd;
    bool hasDigits = integerEnd > integerStart;

    if (end < s.size() && s[end] == '.')
    {
        const auto fractionEnd = skipDigits (s, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }

    if (hasDigits && end < s.size() && (s[end] == 'e' || s[end] == 'E'))
    {
        const auto exponentStart = end + 1 + signLength (s.substr (end + 1));
        end = skipDigits (s, exponentStart);

        if (end == exponentStart || end - exponentStart > maximumExponentDigits)
            return std::nullopt;
    }

    if (! hasDigits || end != s.size() || s.size() > maximumNumberLength)
        return std::nullopt;

    const auto value = convert<double> (s);
    return value.has_value() && std::isfinite (*value) ? value : std::nullopt;
}

/** Reads text that holds one whole number in plain digits with an optional sign and nothing else,
    blanks around it aside, inside the range of an int. "1e2" and "4.0" are no whole numbers. */
std::optional<int> readWholeNumber (const juce::String& text)
{
    const auto s = text.trim().toStdString();
    const auto start = signLength (s);

    if (s.size() == start || s.size() > maximumNumberLength || skipDigits (s, start) != s.size())
        return std::nullopt;

    return convert<int> (s);
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
        const auto number = readDecimal (text);
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
    if (! xml.hasTagName (StateIds::stateType))
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
            const auto note = readWholeNumber (text);

            if (! note.has_value())
                return {};

            result.setProperty (attribute.name, *note, nullptr);
        }
    }

    // Entries of parameters this version doesn't have are dropped; one given twice makes the document ambiguous.
    std::map<juce::String, const juce::XmlElement*> entries;

    for (auto* entry : xml.getChildWithTagNameIterator (parameterTag))
    {
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

bool isUsableSettings (const juce::XmlElement& xml)
{
    if (! xml.hasTagName (StateIds::settingsType))
        return false;

    const auto notes = noteNames();
    std::set<juce::String> seen;

    for (auto* child : xml.getChildIterator())
    {
        const auto text = child->getStringAttribute (StateIds::value);
        bool known = child->hasTagName (StateIds::scale);

        if (known)
        {
            const auto scale = readDecimal (text);

            if (! scale.has_value() || *scale <= 0.0)
                return false;
        }

        if (notes.contains (child->getTagName()))
        {
            if (! readWholeNumber (text).has_value())
                return false;

            known = true;
        }

        if (known && ! seen.insert (child->getTagName()).second)
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
