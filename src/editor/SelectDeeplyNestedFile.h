#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Opens a file tree down to a file, one folder level per 100 ms tick while the tree's listing
    catches up, then scrolls the file into view and stops; it also stops when the tree has gone.
    Its owner keeps it no longer than the tree, so that none is left behind when the window closes.
*/
class SelectDeeplyNestedFile final : private juce::Timer
{
public:
    SelectDeeplyNestedFile (juce::FileTreeComponent& treeToUse, const juce::File& fileToSelect);
    ~SelectDeeplyNestedFile() override;

private:
    void timerCallback() override;

    int levelsLeft = 0;
    juce::File target;
    juce::Component::SafePointer<juce::FileTreeComponent> tree;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SelectDeeplyNestedFile)
};
