#include "editor/CenteredEditableLabel.h"

namespace
{
constexpr int editorLeftIndent = 4;
constexpr int editorTopIndent = 0;
} // namespace

juce::TextEditor* CenteredEditableLabel::createEditorComponent()
{
    auto* textEditor = juce::Label::createEditorComponent();

    // The typed text stays where the value text stood.
    textEditor->setJustification (juce::Justification::centredTop);
    textEditor->setIndents (editorLeftIndent, editorTopIndent);
    return textEditor;
}
