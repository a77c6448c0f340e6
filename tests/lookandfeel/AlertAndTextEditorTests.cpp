#include "lookandfeel/TestImages.h"

#include "lookandfeel/LookAndFeelTextEditorBordered.h"

using namespace testimages;

TEST (AlertBox, TheUserGuideWarningIsAFlatBoxWithCentredTextFrom30)
{
    LookAndFeelCustom lookAndFeel;
    ScopedDefaultLookAndFeel scopedDefault (lookAndFeel);
    juce::AlertWindow alert ("WARNING", "User guide does not exist!", juce::MessageBoxIconType::NoIcon);
    alert.addButton ("OK", 1);
    const auto w = alert.getWidth(), h = alert.getHeight();

    // One flat colour, as the 2-pixel outline has the background colour, but for the text, centred from y 30, and the button.
    const auto image = paint (alert, "alertbox_user_guide");
    const auto text = ink (image, Palette::panelBackground, { 0, 0, w, h - 50 });
    EXPECT_TRUE (pixelIs (image, 0, 0, Palette::panelBackground) && pixelIs (image, w - 1, h - 1, Palette::panelBackground));
    EXPECT_NEAR (text.getCentreX(), w / 2, 1);
    EXPECT_NEAR (text.getY(), 33, 2);
    EXPECT_GE (find (image, near (Palette::buttonOutline), { 0, h - 50, w, 50 }).count, 50) << "the button's outline";
}

TEST (LookAndFeelTextEditorBordered, OneDividerPixelAroundEnabledEditors)
{
    LookAndFeelTextEditorBordered lookAndFeel;
    juce::TextEditor editor;
    editor.setLookAndFeel (&lookAndFeel);
    editor.setText ("C1", juce::dontSendNotification);
    editor.setSize (60, 24);

    const auto image = paint (editor, "texteditor_bordered");
    EXPECT_EQ (find (image, near (Palette::divider, 0)).count, 2 * 60 + 2 * 22) << "the outer ring, nothing else";
    EXPECT_TRUE (pixelIs (image, 1, 12, Palette::panelBackground));

    // No outline when disabled.
    editor.setEnabled (false);
    EXPECT_EQ (find (paint (editor, "texteditor_bordered_disabled"), near (Palette::divider)).count, 0);
}
