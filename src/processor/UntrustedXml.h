#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/**
    Reads XML documents from outside (preset files, "settings.xml", a host's saved state) into the
    framework's XmlElement tree without its parser, which could be led astray by them and which
    takes time that grows with the square of an attribute's length when it holds references.

    The text must be valid and complete UTF-8 without control characters, and a plain document: an
    optional XML declaration naming UTF-8, comments, and elements nested at most maximumDepth deep,
    each attribute named once, and only the five predefined and numeric character references. A
    DOCTYPE, an entity declaration, a processing instruction or a CDATA section is refused. The tree
    holds the elements with their attributes; text between elements is checked and left out. Reading
    takes time in proportion to the text's length.
*/
namespace UntrustedXml
{
/** Larger documents are refused; a preset is a few kilobytes. */
inline constexpr size_t maximumSize = 1 << 20;

/** Documents with more elements or attributes are refused; a state has 154 elements and 316
    attributes. The framework keeps every name in one sorted pool, whose insertions take time in
    proportion to its size, and looks an attribute up by walking the element's list. */
inline constexpr int maximumElements = 1024;
inline constexpr int maximumAttributes = 4096;

/** Parses UTF-8 text; nullptr when the text is refused or isn't a document. */
std::unique_ptr<juce::XmlElement> parse (const char* text, size_t numBytes, int maximumDepth);

/** Reads and parses a regular file of at most maximumSize bytes, following symbolic links; nullptr
    for a folder, a device, a pipe or a socket, which are never read, and for a missing, unreadable
    or refused file. */
std::unique_ptr<juce::XmlElement> readFile (const juce::File& file, int maximumDepth);

/** Parses the document in a state block as juce::AudioProcessor::copyXmlToBinary writes it: a
    marker, the text's length and the text. nullptr for any other block. */
std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes, int maximumDepth);
} // namespace UntrustedXml
