#include "editor/SelectDeeplyNestedFile.h"

SelectDeeplyNestedFile::SelectDeeplyNestedFile (juce::FileTreeComponent& treeToUse, const juce::File& fileToSelect)
    : levelsLeft (juce::StringArray::fromTokens (fileToSelect.getFullPathName(), "/", {}).size()),
      target (fileToSelect),
      tree (&treeToUse)
{
    startTimer (100);
}

SelectDeeplyNestedFile::~SelectDeeplyNestedFile() = default;

void SelectDeeplyNestedFile::timerCallback()
{
    if (tree == nullptr)
    {
        stopTimer();
        return;
    }

    tree->setSelectedFile (target);
    auto* item = tree->getSelectedItem (0);

    if (item != nullptr && ! item->isOpen())
        item->setOpenness (juce::TreeViewItem::Openness::opennessOpen);

    if (levelsLeft-- > 1)
        return;

    if (item != nullptr)
        tree->scrollToKeepItemVisible (item);

    stopTimer();
}
