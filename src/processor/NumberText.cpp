#include "NumberText.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

#if JUCE_MAC || JUCE_IOS
 #include <xlocale.h>
#endif

namespace
{
/** Longer texts are no number this program writes. */
constexpr size_t maximumNumberLength = 64;
constexpr size_t maximumExponentDigits = 4;

size_t skipDigits (const std::string& s, size_t i)
{
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;

    return i;
}

size_t skipSign (const std::string& s, size_t i)
{
    return i < s.size() && (s[i] == '+' || s[i] == '-') ? i + 1 : i;
}

/** Where the decimal number that starts at s[start] ends, and how long its exponent's digit run is. */
struct Scan
{
    size_t end = 0;
    bool hasDigits = false;
    size_t exponentDigits = 0;
    bool negativeExponent = false;
};

Scan scanNumber (const std::string& s, size_t start)
{
    Scan scan;
    const auto integerStart = skipSign (s, start);
    scan.end = skipDigits (s, integerStart);
    scan.hasDigits = scan.end > integerStart;

    if (scan.end < s.size() && s[scan.end] == '.')
    {
        const auto fractionEnd = skipDigits (s, scan.end + 1);
        scan.hasDigits = scan.hasDigits || fractionEnd > scan.end + 1;
        scan.end = fractionEnd;
    }

    if (! scan.hasDigits)
        return { start, false, 0, false };

    // An exponent counts only with digits: "2e" reads 2.
    if (scan.end < s.size() && (s[scan.end] == 'e' || s[scan.end] == 'E'))
    {
        const auto exponentStart = skipSign (s, scan.end + 1);
        const auto exponentEnd = skipDigits (s, exponentStart);

        if (exponentEnd > exponentStart)
        {
            scan.negativeExponent = s[exponentStart - 1] == '-';
            scan.exponentDigits = exponentEnd - exponentStart;
            scan.end = exponentEnd;
        }
    }

    return scan;
}

/** Converts s[start, end), which has passed scanNumber, to a whole number. */
std::optional<int> convertWhole (const std::string& s, size_t start, size_t end)
{
    if (s[start] == '+')
        ++start;

    int value {};
    const auto result = std::from_chars (s.data() + start, s.data() + end, value);
    return result.ec == std::errc() && result.ptr == s.data() + end ? std::optional<int> (value) : std::nullopt;
}

/** Converts s[start, end), which has passed scanNumber, correctly rounded and with "." as the
    decimal point whatever the locale. Floating-point std::from_chars is missing from the
    libc++ that older Apple toolchains ship, hence strtod in the "C" locale. Results beyond the
    range of a double set outOfRange, and so does underflow to zero. */
double convertDecimal (const std::string& s, size_t start, size_t end, bool& outOfRange)
{
    static const locale_t cLocale = newlocale (LC_ALL_MASK, "C", (locale_t) nullptr);

    const std::string number (s, start, end - start);
    char* stop = nullptr;
    errno = 0;
    const auto value = strtod_l (number.c_str(), &stop, cLocale);
    outOfRange = errno == ERANGE && (std::isinf (value) || value == 0.0);
    return value;
}

/** Whether s holds word, in any case, at position i. */
bool hasWordAt (const std::string& s, size_t i, const char* word)
{
    for (; *word != 0; ++word, ++i)
        if (i >= s.size() || juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) (unsigned char) s[i]) != (juce::juce_wchar) *word)
            return false;

    return true;
}

size_t skipBlanks (const std::string& s)
{
    size_t i = 0;

    while (i < s.size() && juce::CharacterFunctions::isWhitespace (s[i]))
        ++i;

    return i;
}
} // namespace

namespace NumberText
{
double readLeadingNumber (const juce::String& text)
{
    const auto s = text.toStdString();
    const auto start = skipBlanks (s);
    const auto scan = scanNumber (s, start);
    const auto sign = start < s.size() && s[start] == '-' ? -1.0 : 1.0;

    if (! scan.hasDigits)
        return hasWordAt (s, skipSign (s, start), "inf") ? sign * std::numeric_limits<double>::max() : 0.0;

    bool outOfRange = false;
    const auto value = convertDecimal (s, start, scan.end, outOfRange);

    if (! outOfRange)
        return value;

    return scan.negativeExponent ? sign * 0.0 : sign * std::numeric_limits<double>::max();
}

bool isNotANumber (const juce::String& text)
{
    const auto s = text.toStdString();
    return hasWordAt (s, skipSign (s, skipBlanks (s)), "nan");
}

std::optional<double> readDecimal (const juce::String& text)
{
    const auto s = text.trim().toStdString();
    const auto scan = scanNumber (s, 0);

    if (! scan.hasDigits || scan.end != s.size() || s.size() > maximumNumberLength
        || scan.exponentDigits > maximumExponentDigits)
        return std::nullopt;

    bool outOfRange = false;
    const auto value = convertDecimal (s, 0, s.size(), outOfRange);
    return outOfRange || ! std::isfinite (value) ? std::nullopt : std::optional<double> (value);
}

std::optional<int> readWholeNumber (const juce::String& text)
{
    const auto s = text.trim().toStdString();
    const auto start = skipSign (s, 0);

    if (s.size() == start || s.size() > maximumNumberLength || skipDigits (s, start) != s.size())
        return std::nullopt;

    return convertWhole (s, 0, s.size());
}
} // namespace NumberText
