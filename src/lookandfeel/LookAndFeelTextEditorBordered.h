#pragma once

#include "lookandfeel/LookAndFeelCustom.h"

/** Text editors with a 1-pixel outline in the divider colour, focused or not. */
class LookAndFeelTextEditorBordered final : public LookAndFeelCustom
{
public:
    LookAndFeelTextEditorBordered();
    ~LookAndFeelTextEditorBordered() override;

    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeelTextEditorBordered)
};
