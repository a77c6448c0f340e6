#include "editor/CenteredEditableLabel.h"

juce::TextEditor* CenteredEditableLabel::createEditorComponent()
{
    return juce::Label::createEditorComponent();
}
