#include "UntrustedXml.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
/** True when text is complete UTF-8 without overlong forms, surrogates, code points beyond U+10FFFF
    or control characters other than tab, line feed and carriage return. */
bool isCleanUtf8 (std::string_view text)
{
    for (size_t i = 0; i < text.size();)
    {
        const auto lead = (unsigned char) text[i];

        if (lead < 0x80)
        {
            if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r')
                return false;

            ++i;
            continue;
        }

        size_t length = 0;
        uint32_t codePoint = 0, smallest = 0;

        if ((lead & 0xe0) == 0xc0)       { length = 2; codePoint = lead & 0x1fu; smallest = 0x80; }
        else if ((lead & 0xf0) == 0xe0)  { length = 3; codePoint = lead & 0x0fu; smallest = 0x800; }
        else if ((lead & 0xf8) == 0xf0)  { length = 4; codePoint = lead & 0x07u; smallest = 0x10000; }
        else                             return false;

        if (text.size() - i < length)
            return false;

        for (size_t k = 1; k < length; ++k)
        {
            const auto next = (unsigned char) text[i + k];

            if ((next & 0xc0) != 0x80)
                return false;

            codePoint = (codePoint << 6) | (next & 0x3fu);
        }

        if (codePoint < smallest || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint <= 0xdfff))
            return false;

        i += length;
    }

    return true;
}

/** Walks a document as the framework's parser will, accepting only the plain form that the header
    describes. Iterative, and linear in the text's length. */
class DocumentChecker final
{
public:
    DocumentChecker (std::string_view textToCheck, int depthLimit) : text (textToCheck), maximumDepth (depthLimit) {}

    bool check()
    {
        skipSpace();

        if (startsWith ("<?xml") && ! declaration())
            return false;

        return misc() && element() && misc() && position == text.size();
    }

private:
    static bool isSpace (char c) noexcept     { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isNameStart (char c) noexcept { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'; }
    static bool isNameChar (char c) noexcept  { return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

    bool atEnd() const noexcept              { return position >= text.size(); }
    char peek() const noexcept               { return atEnd() ? '\0' : text[position]; }
    bool startsWith (std::string_view s) const { return text.substr (position, s.size()) == s; }

    bool skip (std::string_view s)
    {
        if (! startsWith (s))
            return false;

        position += s.size();
        return true;
    }

    bool skipSpace()
    {
        const auto start = position;

        while (isSpace (peek()))
            ++position;

        return position > start;
    }

    /** An ASCII name; empty when there is none here. */
    std::string_view name()
    {
        const auto start = position;

        if (isNameStart (peek()))
            while (isNameChar (peek()))
                ++position;

        return text.substr (start, position - start);
    }

    /** "<?xml" with pseudo-attributes, of which an encoding must be UTF-8. */
    bool declaration()
    {
        position += 5;

        if (! skipSpace())
            return false;

        while (! skip ("?>"))
        {
            const auto attributeName = name();

            if (attributeName.empty() || ! equalsSign())
                return false;

            const auto quote = peek();

            if (quote != '"' && quote != '\'')
                return false;

            const auto valueStart = ++position;

            while (isNameChar (peek()))
                ++position;

            const auto value = text.substr (valueStart, position - valueStart);

            if (! skip (std::string_view (&quote, 1))
                || (attributeName == "encoding" && ! juce::String (value.data(), value.size()).equalsIgnoreCase ("UTF-8")))
                return false;

            skipSpace();
        }

        return true;
    }

    /** Blanks and comments outside the root element. */
    bool misc()
    {
        for (skipSpace(); startsWith ("<!--"); skipSpace())
            if (! comment())
                return false;

        return true;
    }

    bool comment()
    {
        position += 4;
        const auto close = text.find ("-->", position);

        if (close == std::string_view::npos)
            return false;

        position = close + 3;
        return true;
    }

    bool equalsSign()
    {
        skipSpace();

        if (! skip ("="))
            return false;

        skipSpace();
        return true;
    }

    /** One of the five predefined entities or a numeric reference to a character other than NUL. */
    bool reference()
    {
        ++position;

        for (const auto* predefined : { "amp;", "lt;", "gt;", "quot;", "apos;" })
            if (skip (predefined))
                return true;

        if (! skip ("#"))
            return false;

        const bool hex = skip ("x");
        const auto base = hex ? 16u : 10u;
        uint32_t code = 0;
        int digits = 0;

        for (;; ++position)
        {
            const auto digit = (uint32_t) juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) peek());

            if (digit >= base)
                break;

            // Seven digits reach beyond U+10FFFF in either base without overflowing.
            if (++digits > 7)
                return false;

            code = code * base + digit;
        }

        return digits > 0 && skip (";") && code > 0 && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff);
    }

    bool attributeValue()
    {
        const auto quote = peek();

        if (quote != '"' && quote != '\'')
            return false;

        for (++position; ! atEnd();)
        {
            const auto c = text[position];

            if (c == quote)
            {
                ++position;
                return true;
            }

            if (c == '<' || (c == '&' && ! reference()))
                return false;

            if (c != '&')
                ++position;
        }

        return false;
    }

    /** The attributes of a start tag, up to its "/>" or ">"; each name only once. */
    bool attributes()
    {
        std::vector<std::string_view> names;

        for (;;)
        {
            const auto spaced = skipSpace();

            if (peek() == '/' || peek() == '>')
                break;

            const auto attributeName = name();

            if (! spaced || attributeName.empty() || ! equalsSign() || ! attributeValue())
                return false;

            names.push_back (attributeName);
        }

        std::sort (names.begin(), names.end());
        return std::adjacent_find (names.begin(), names.end()) == names.end();
    }

    bool characterData()
    {
        while (! atEnd() && text[position] != '<')
        {
            if (text[position] != '&')
                ++position;
            else if (! reference())
                return false;
        }

        return true;
    }

    /** The root element with everything inside it, nested at most maximumDepth deep. */
    bool element()
    {
        std::vector<std::string_view> open;

        for (;;)
        {
            // A start tag: "<!" and "<?" have no name, so a DOCTYPE, CDATA or processing instruction ends here.
            if (! skip ("<"))
                return false;

            const auto tag = name();

            if (tag.empty() || (int) open.size() >= maximumDepth || ! attributes())
                return false;

            if (skip (">"))
                open.push_back (tag);
            else if (! skip ("/>"))
                return false;
            else if (open.empty())
                return true;

            // Content up to the next start tag, closing what ends on the way.
            for (;;)
            {
                if (! characterData() || atEnd())
                    return false;

                if (startsWith ("<!--"))
                {
                    if (! comment())
                        return false;
                }
                else if (skip ("</"))
                {
                    if (name() != open.back())
                        return false;

                    skipSpace();

                    if (! skip (">"))
                        return false;

                    open.pop_back();

                    if (open.empty())
                        return true;
                }
                else
                {
                    break;
                }
            }
        }
    }

    const std::string_view text;
    const int maximumDepth;
    size_t position = 0;
};

/** The marker that juce::AudioProcessor::copyXmlToBinary puts before a document. */
constexpr uint32_t stateBlockMarker = 0x21324356;

/** A file descriptor closed when it goes. */
struct OpenFile final
{
    explicit OpenFile (const juce::File& file)
        // Non-blocking, so that opening a pipe returns at once rather than waiting for a writer.
        : descriptor (::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC))
    {
    }

    ~OpenFile()
    {
        if (descriptor >= 0)
            ::close (descriptor);
    }

    const int descriptor;
    JUCE_DECLARE_NON_COPYABLE (OpenFile)
};
} // namespace

namespace UntrustedXml
{
std::unique_ptr<juce::XmlElement> parse (const char* data, size_t numBytes, int maximumDepth)
{
    if (data == nullptr || numBytes > maximumSize)
        return nullptr;

    std::string_view text (data, numBytes);
    constexpr std::string_view byteOrderMark ("\xef\xbb\xbf");

    if (text.substr (0, byteOrderMark.size()) == byteOrderMark)
        text.remove_prefix (byteOrderMark.size());

    if (! isCleanUtf8 (text) || ! DocumentChecker (text, maximumDepth).check())
        return nullptr;

    return juce::parseXML (juce::String::fromUTF8 (text.data(), (int) text.size()));
}

std::unique_ptr<juce::XmlElement> readFile (const juce::File& file, int maximumDepth)
{
    const OpenFile openFile (file);
    struct stat info {};

    // Checked on the open file itself, so that nothing can swap it between the check and the read.
    if (openFile.descriptor < 0 || ::fstat (openFile.descriptor, &info) != 0
        || ! S_ISREG (info.st_mode) || info.st_size < 0 || (size_t) info.st_size > maximumSize)
        return nullptr;

    // One byte more than the size, to notice a file that grows while it is read.
    std::vector<char> buffer ((size_t) info.st_size + 1);
    size_t numRead = 0;

    while (numRead < buffer.size())
    {
        const auto result = ::read (openFile.descriptor, buffer.data() + numRead, buffer.size() - numRead);

        if (result == 0)
            break;

        if (result < 0)
        {
            if (errno == EINTR)
                continue;

            return nullptr;
        }

        numRead += (size_t) result;
    }

    if (numRead > (size_t) info.st_size)
        return nullptr;

    return parse (buffer.data(), numRead, maximumDepth);
}

std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes, int maximumDepth)
{
    constexpr int headerSize = 8;

    if (data == nullptr || sizeInBytes < headerSize
        || juce::ByteOrder::littleEndianInt (data) != stateBlockMarker)
        return nullptr;

    const auto length = (size_t) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data, 4));

    if (length > (size_t) sizeInBytes - headerSize)
        return nullptr;

    return parse (static_cast<const char*> (data) + headerSize, length, maximumDepth);
}
} // namespace UntrustedXml
