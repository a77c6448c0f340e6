#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    What the preset save dialog lists: every folder, hidden ones included, and every preset file
    whose name could be typed and saved again, so that any preset it shows can be overwritten in place.
*/
class PresetFileFilter final : public juce::FileFilter
{
public:
    PresetFileFilter();
    ~PresetFileFilter() override;

    /** Whether a typed preset name can be one file name in a folder: not empty, not "." or "..",
        and without the folder separator or control characters. Everything else is kept as typed. */
    static bool isSaveableName (const juce::String& name);

    bool isFileSuitable (const juce::File& file) const override;
    bool isDirectorySuitable (const juce::File& folder) const override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetFileFilter)
};
