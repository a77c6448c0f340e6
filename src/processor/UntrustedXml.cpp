#include "UntrustedXml.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
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

/** Reads a document in the plain form that the header describes and builds its tree on the way,
    decoding each reference once. Iterative, and linear in the text's length: the framework's
    parser regrows an attribute's text at every reference, and is not used. */
class DocumentReader final
{
public:
    DocumentReader (std::string_view textToRead, int depthLimit) : text (textToRead), maximumDepth (depthLimit) {}

    std::unique_ptr<juce::XmlElement> read()
    {
        skipSpace();

        if ((startsWith ("<?xml") && ! declaration()) || ! misc())
            return nullptr;

        auto root = element();
        return root != nullptr && misc() && position == text.size() ? std::move (root) : nullptr;
    }

private:
    static bool isSpace (char c) noexcept     { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isNameStart (char c) noexcept { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'; }
    static bool isNameChar (char c) noexcept  { return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
    static juce::String toString (std::string_view s) { return juce::String::fromUTF8 (s.data(), (int) s.size()); }

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
                || (attributeName == "encoding" && ! toString (value).equalsIgnoreCase ("UTF-8")))
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

    /** One of the five predefined entities or a numeric reference to a character other than NUL,
        appended to `out` in UTF-8. */
    bool reference (std::string& out)
    {
        ++position;

        for (const auto& [entity, character] : { std::pair { "amp;", '&' }, { "lt;", '<' }, { "gt;", '>' }, { "quot;", '"' }, { "apos;", '\'' } })
        {
            if (skip (entity))
            {
                out += character;
                return true;
            }
        }

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

        if (digits == 0 || ! skip (";") || code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;

        char bytes[4];
        juce::CharPointer_UTF8 end (bytes);
        end.write ((juce::juce_wchar) code);
        out.append (bytes, (size_t) (end.getAddress() - bytes));
        return true;
    }

    /** A quoted value, decoded into `decoded`. */
    bool attributeValue()
    {
        const auto quote = peek();

        if (quote != '"' && quote != '\'')
            return false;

        decoded.clear();

        for (++position; ! atEnd();)
        {
            const auto c = text[position];

            if (c == quote)
            {
                ++position;
                return true;
            }

            if (c == '<' || (c == '&' && ! reference (decoded)))
                return false;

            if (c != '&')
            {
                decoded += c;
                ++position;
            }
        }

        return false;
    }

    /** The attributes of a start tag, up to its "/>" or ">"; each name only once. */
    bool attributes (juce::XmlElement& element)
    {
        std::vector<std::string_view> names;

        for (;;)
        {
            const auto spaced = skipSpace();

            if (peek() == '/' || peek() == '>')
                break;

            const auto attributeName = name();

            if (! spaced || attributeName.empty() || ! equalsSign() || ! attributeValue()
                || ++numAttributes > UntrustedXml::maximumAttributes)
                return false;

            names.push_back (attributeName);
            element.setAttribute (toString (attributeName), juce::String::fromUTF8 (decoded.data(), (int) decoded.size()));
        }

        std::sort (names.begin(), names.end());
        return std::adjacent_find (names.begin(), names.end()) == names.end();
    }

    /** Text between elements, which none of these documents carries and the tree leaves out. */
    bool characterData()
    {
        while (! atEnd() && text[position] != '<')
        {
            if (text[position] != '&')
                ++position;
            else if (! reference (decoded))
                return false;
        }

        decoded.clear();
        return true;
    }

    /** The root element with everything inside it, nested at most maximumDepth deep. */
    std::unique_ptr<juce::XmlElement> element()
    {
        std::unique_ptr<juce::XmlElement> root;
        std::vector<std::pair<std::string_view, juce::XmlElement*>> open;

        for (;;)
        {
            // A start tag: "<!" and "<?" have no name, so a DOCTYPE, CDATA or processing instruction ends here.
            if (! skip ("<"))
                return nullptr;

            const auto tag = name();

            if (tag.empty() || (int) open.size() >= maximumDepth || ++numElements > UntrustedXml::maximumElements)
                return nullptr;

            auto* newElement = new juce::XmlElement (toString (tag));

            if (open.empty())
                root.reset (newElement);
            else
                open.back().second->addChildElement (newElement);

            if (! attributes (*newElement))
                return nullptr;

            if (skip (">"))
                open.emplace_back (tag, newElement);
            else if (! skip ("/>"))
                return nullptr;
            else if (open.empty())
                return root;

            // Content up to the next start tag, closing what ends on the way.
            for (;;)
            {
                if (! characterData() || atEnd())
                    return nullptr;

                if (startsWith ("<!--"))
                {
                    if (! comment())
                        return nullptr;
                }
                else if (skip ("</"))
                {
                    if (name() != open.back().first)
                        return nullptr;

                    skipSpace();

                    if (! skip (">"))
                        return nullptr;

                    open.pop_back();

                    if (open.empty())
                        return root;
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
    int numElements = 0, numAttributes = 0;
    std::string decoded;
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

    if (! isCleanUtf8 (text))
        return nullptr;

    return DocumentReader (text, maximumDepth).read();
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
