#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/**
    Numbers read from text that comes from outside: files, host states, what a user types or
    pastes. Unlike the framework's own readers these never overflow on long digit runs or huge
    exponents, take "." as the decimal point whatever the locale, and never give an infinity or
    a NaN.
*/
namespace NumberText
{
/** The leading number of text, as juce::String::getDoubleValue reads it: blanks skipped, a sign,
    digits with an optional fraction and exponent; reading stops at the first other character,
    and text that doesn't start with a number reads 0. Beyond the range of a double it reads the
    largest double of that sign, and below the smallest it reads 0. An infinity ("inf",
    "infinity", any case) is beyond every range, so it reads the largest double of its sign too;
    "nan" reads 0 (see isNotANumber). */
double readLeadingNumber (const juce::String& text);

/** True when the leading number of text, after blanks and a sign, is "nan" in any case: text that
    names no value at all, which a reader of typed or pasted values leaves unapplied. */
bool isNotANumber (const juce::String& text);

/** Text holding one decimal number and nothing else, blanks around it aside: a sign, digits with an
    optional fraction and an optional exponent of at most four digits. No hexadecimal, no "inf" or
    "nan", nothing beyond the range of a double. */
std::optional<double> readDecimal (const juce::String& text);

/** Text holding one whole number in plain digits with an optional sign and nothing else, blanks
    around it aside, inside the range of an int. "1e2" and "4.0" are no whole numbers. */
std::optional<int> readWholeNumber (const juce::String& text);
} // namespace NumberText
