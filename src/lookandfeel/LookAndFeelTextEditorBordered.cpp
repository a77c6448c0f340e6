#include "LookAndFeelTextEditorBordered.h"

LookAndFeelTextEditorBordered::LookAndFeelTextEditorBordered() = default;
LookAndFeelTextEditorBordered::~LookAndFeelTextEditorBordered() = default;

void LookAndFeelTextEditorBordered::drawTextEditorOutline (juce::Graphics& g, int width, int height,
                                                           juce::TextEditor& textEditor)
{
    if (dynamic_cast<juce::AlertWindow*> (textEditor.getParentComponent()) != nullptr)
        return;

    if (! textEditor.isEnabled())
        return;

    // The editor's own outline colours are not consulted.
    g.setColour (Palette::divider);
    g.drawRect (0, 0, width, height, 1);
}
