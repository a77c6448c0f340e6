#include "editor/SliderQVT.h"

#include "processor/NumberText.h"

#include <limits>

namespace
{
// Stand in for a unit: every parameter's text-to-value function drops one to three trailing
// characters before it reads the leading number.
const juce::String unitFiller { "abc" };

constexpr double hertzPerKilohertz = 1000.0;
constexpr double fractionPerPercent = 0.01;

/** A converted number as text; an overflow to infinity stays the largest number of its sign, which
    the parameter reads as the end of its range. */
juce::String numberText (double value)
{
    constexpr auto largest = std::numeric_limits<double>::max();
    return juce::String (juce::jlimit (-largest, largest, value));
}
} // namespace

SliderQVT::SliderQVT() = default;
SliderQVT::~SliderQVT() = default;

void SliderQVT::setLabel (juce::Label* label)
{
    valueLabel = label;
    valueLabel->setText (getTextFromValue (getValue()), juce::dontSendNotification);
    valueLabel->onTextChange = [this] { applyTypedText(); };
    valueLabel->onEditorHide = [] {};
    valueLabel->onEditorShow = [] {};
}

void SliderQVT::applyTypedText()
{
    auto text = valueLabel->getText().toLowerCase();

    // "nan" names no value: the knob keeps its own, and the label shows it again.
    if (NumberText::isNotANumber (text))
    {
        valueLabel->setText (getTextFromValue (getValue()), juce::dontSendNotification);
        return;
    }

    // kHz first: "5khz" on a percentage knob is 5000, not 50.
    if (text.endsWith ("khz"))
    {
        text = numberText (NumberText::readLeadingNumber (text) * hertzPerKilohertz);
    }
    else if (percentMode)
    {
        text = numberText (NumberText::readLeadingNumber (text) * fractionPerPercent);
    }
    else if (panMode)
    {
        auto pan = NumberText::readLeadingNumber (text) * fractionPerPercent;

        if (pan > 0.0 && text.endsWith ("l"))
            pan = -pan;

        text = numberText (pan);
    }

    const auto newValue = snapValue (getValueFromText (text + unitFiller), notDragging);

    // Compared as the parameter's range will snap it, so that a value the knob already has sends
    // nothing at all, not even an empty gesture.
    const juce::NormalisableRange<float> legalValues ((float) getMinimum(), (float) getMaximum(), (float) getInterval());

    if ((double) legalValues.snapToLegalValue ((float) newValue) != getValue())
    {
        // One gesture, as for a drag, so that a host recording automation takes the typed value.
        const ScopedDragNotification gesture (*this);
        setValue (newValue, juce::sendNotificationSync);
    }

    const auto formatted = getTextFromValue (getValue());

    if (valueLabel->getText() != formatted)
        valueLabel->setText (formatted, juce::dontSendNotification);
}
