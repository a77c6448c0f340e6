#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

/**
    Makes one LookAndFeelCustom the framework's default while it exists. Shared by every open
    editor through a SharedResourcePointer, so the default lasts from the first editor to the last.
*/
class DefaultLookAndFeelHolder final
{
public:
    DefaultLookAndFeelHolder();
    ~DefaultLookAndFeelHolder();

    LookAndFeelCustom lookAndFeel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultLookAndFeelHolder)
};
