#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A label whose text editor shows the text centred at the top. */
class CenteredEditableLabel final : public juce::Label
{
public:
    CenteredEditableLabel() = default;
    ~CenteredEditableLabel() override = default;

protected:
    juce::TextEditor* createEditorComponent() override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CenteredEditableLabel)
};
