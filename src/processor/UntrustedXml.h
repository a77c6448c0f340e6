#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/**
    Reads XML documents from outside (preset files, "settings.xml", a host's saved state) without
    handing the framework's parser anything it could be led astray by.

    Before the parser sees the text, it must be valid and complete UTF-8 without control characters,
    and a plain document: an optional XML declaration naming UTF-8, comments, and elements nested at
    most maximumDepth deep, each attribute named once, and only the five predefined and numeric
    character references. A DOCTYPE, an entity declaration, a processing instruction or a CDATA
    section is refused. The parser then reads the checked text from memory, so it never opens a file.
*/
namespace UntrustedXml
{
/** Larger documents are refused; a preset is a few kilobytes. */
inline constexpr size_t maximumSize = 1 << 20;

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
