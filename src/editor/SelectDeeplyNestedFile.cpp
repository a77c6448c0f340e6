#include "editor/SelectDeeplyNestedFile.h"

SelectDeeplyNestedFile::SelectDeeplyNestedFile (juce::FileTreeComponent& treeToUse, const juce::File& fileToSelect)
    : target (fileToSelect), tree (&treeToUse)
{
}

SelectDeeplyNestedFile::~SelectDeeplyNestedFile() = default;
void SelectDeeplyNestedFile::timerCallback() {}
