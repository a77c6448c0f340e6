#pragma once

#include "lookandfeel/Palette.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

/**
    The program's own look-and-feel: one dark palette, flat controls and a single typeface.

    While an instance is the default look-and-feel, every font that carries no typeface of its
    own is drawn in the embedded semibold typeface. Panels may own further instances with their
    own arcColour and centreOrigin for their knobs.
*/
class LookAndFeelCustom : public juce::LookAndFeel_V4
{
public:
    LookAndFeelCustom();
    ~LookAndFeelCustom() override;

    /** Answers every font request with the embedded semibold typeface, whatever is asked for. */
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font&) override;

    juce::Path getTickShape (float height) override;

    //==============================================================================
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;
    juce::Font getTextButtonFont (juce::TextButton&, int buttonHeight) override;
    void drawButtonText (juce::Graphics&, juce::TextButton&,
                         bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    //==============================================================================
    void drawAlertBox (juce::Graphics&, juce::AlertWindow&, const juce::Rectangle<int>& textArea,
                       juce::TextLayout&) override;
    int getAlertWindowButtonHeight() override;
    juce::Font getAlertWindowTitleFont() override;
    juce::Font getAlertWindowMessageFont() override;
    juce::Font getAlertWindowFont() override;

    //==============================================================================
    void drawTreeviewPlusMinusBox (juce::Graphics&, const juce::Rectangle<float>& area,
                                   juce::Colour backgroundColour, bool isOpen, bool isMouseOver) override;
    int getTreeViewIndentSize (juce::TreeView&) override;

    //==============================================================================
    void drawFileBrowserRow (juce::Graphics&, int width, int height,
                             const juce::File& file, const juce::String& filename, juce::Image* icon,
                             const juce::String& fileSizeDescription, const juce::String& fileTimeDescription,
                             bool isDirectory, bool isItemSelected, int itemIndex,
                             juce::DirectoryContentsDisplayComponent&) override;

    //==============================================================================
    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area,
                            bool isSeparator, bool isActive, bool isHighlighted, bool isTicked, bool hasSubMenu,
                            const juce::String& text, const juce::String& shortcutKeyText,
                            const juce::Drawable* icon, const juce::Colour* textColour) override;
    juce::Font getPopupMenuFont() override;
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight,
                                    int& idealWidth, int& idealHeight) override;

    //==============================================================================
    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;

    //==============================================================================
    /** Draws the fixed 50 x 50 knob; only x and width of the area are used. */
    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;
    juce::Label* createSliderTextBox (juce::Slider&) override;

    /** Paints a knob of 50 x 50 centred horizontally in (x, width), with its top at y 0.

        The disc, the track over the whole rotary range, the value arc and the pointer are drawn in
        that order; the arc starts at the middle of the range when centreOrigin is set.
    */
    void drawKnob (juce::Graphics&, int x, int width, juce::Colour arcColourToUse,
                   float sliderPos, float rotaryStartAngle, float rotaryEndAngle);

    //==============================================================================
    void drawCallOutBoxBackground (juce::CallOutBox&, juce::Graphics&, const juce::Path&,
                                   juce::Image& cachedImage) override;

private:
    // Row icons, parsed from the embedded documents; empty if a document failed to parse.
    std::unique_ptr<juce::Drawable> documentIcon;
    std::unique_ptr<juce::Drawable> folderIcon;

public:
    /** Colour of a knob's value arc and pointer; read at every paint. */
    juce::Colour arcColour { Palette::text };

    /** When set, a knob's value arc grows from the middle of its rotary range. */
    bool centreOrigin = false;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeelCustom)
};
