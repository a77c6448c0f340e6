#include "editor/DefaultLookAndFeelHolder.h"

DefaultLookAndFeelHolder::DefaultLookAndFeelHolder()
{
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
}

DefaultLookAndFeelHolder::~DefaultLookAndFeelHolder()
{
    // Components built after the last editor must not reach a deleted look-and-feel.
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
