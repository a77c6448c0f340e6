#include "editor/PresetFileFilter.h"

#include "processor/StateIds.h"

PresetFileFilter::PresetFileFilter() : juce::FileFilter ("QVTP Files")
{
}

PresetFileFilter::~PresetFileFilter() = default;

bool PresetFileFilter::isSaveableName (const juce::String& name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;

    // C0 and C1 controls; a NUL never gets this far, as it ends the text.
    const auto isControl = [] (juce::juce_wchar c) { return c < 0x20 || (c >= 0x7f && c < 0xa0); };

    for (const auto c : name)
        if (c == '/' || isControl (c))
            return false;

    return true;
}

bool PresetFileFilter::isFileSuitable (const juce::File& file) const
{
    const auto fileName = file.getFileName();
    const juce::String extension (StateIds::presetExtension);

    // The extension in exactly this case, as the preset browser lists them.
    return fileName.endsWith (extension) && isSaveableName (fileName.dropLastCharacters (extension.length()));
}

bool PresetFileFilter::isDirectorySuitable (const juce::File&) const
{
    return true;
}
