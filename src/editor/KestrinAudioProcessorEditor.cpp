#include "editor/KestrinAudioProcessorEditor.h"

#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/NumberText.h"
#include "processor/ParameterIds.h"
#include "processor/ParameterLayout.h"
#include "processor/StateIds.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace
{
constexpr int numVoices = ParameterIds::numVoices;

/** The label names the menu offers; the values after them ("1" to "7") only come from the host. */
constexpr int numMenuLabels = 20;

constexpr int copyItemId = 1;
constexpr int pasteItemId = 2;
constexpr int firstLabelItemId = 3;
constexpr int firstChokeItemId = firstLabelItemId + numMenuLabels;

const juce::String clipboardPrefix { "TombrelVoice" };

juce::OwnedArray<DrumVoicePanel> createVoicePanels (KestrinAudioProcessor& processor)
{
    juce::OwnedArray<DrumVoicePanel> panels;
    for (int i = 0; i < numVoices; ++i)
        panels.add (new DrumVoicePanel (processor, i));
    return panels;
}

/** Sets a parameter to a value in its own units, snapped to its step. */
void setPlainValue (juce::RangedAudioParameter* parameter, float value)
{
    if (parameter != nullptr)
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}
} // namespace

//==============================================================================
KestrinAudioProcessorEditor::KestrinAudioProcessorEditor (KestrinAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      processor (p),
      navbar (p),
      presetBrowser (p),
      presetSaveDialog (p),
      settingsDialog (p),
      footer (p),
      voicePanels (createVoicePanels (p)),
      saveScaleTimer (p)
{
    processor.addActionListener (this);
    for (int i = 0; i < processor.voiceManager.getNumVoices(); ++i)
        processor.voiceManager.getVoice (i)->addActionListener (this);

    contentComponent.setBounds (0, 0, baseWidth, baseHeight);
    addAndMakeVisible (contentComponent);
    contentComponent.addAndMakeVisible (navbar);
    contentComponent.addAndMakeVisible (presetBrowser);
    contentComponent.addAndMakeVisible (footer);
    presetBrowser.setComponentID ("presetBrowser");

    for (size_t k = 0; k < voiceTabs.size(); ++k)
    {
        voiceTabs[k] = std::make_unique<juce::TextButton>();
        voiceTabs[k]->addListener (this);
        voiceTabs[k]->addMouseListener (this, false);
        tabLookAndFeels[k].tabColour = Palette::getVoiceAccent ((int) k);
        voiceTabs[k]->setLookAndFeel (&tabLookAndFeels[k]);
        contentComponent.addAndMakeVisible (*voiceTabs[k]);
    }

    for (size_t k = 0; k < voicePads.size(); ++k)
    {
        voicePads[k] = std::make_unique<HexButton>();
        voicePads[k]->addMouseListener (this, false);
        voicePads[k]->litLed.setOnColour (Palette::getVoiceAccent ((int) k));
    }

    for (auto& pad : voicePads)
        contentComponent.addAndMakeVisible (*pad);

    for (int voiceNumber = 1; voiceNumber <= numVoices; ++voiceNumber)
        updateVoiceTabLabel (voiceNumber);

    for (int i = 0; i < numVoices; ++i)
        voicePanels[i]->setupControls (Palette::getVoiceAccent (i));

    for (auto* panel : voicePanels)
        contentComponent.addChildComponent (*panel);

    restoreActivePanel();

    // Added last, so that the dialogs cover everything when shown.
    contentComponent.addChildComponent (presetSaveDialog);
    contentComponent.addChildComponent (settingsDialog);

    applyScaleSetting();

    // Resizing is set up once the window exists; a period of 0 runs as the shortest timer.
    startTimer (0);
}

KestrinAudioProcessorEditor::~KestrinAudioProcessorEditor()
{
    processor.removeActionListener (this);
    for (int i = 0; i < processor.voiceManager.getNumVoices(); ++i)
        processor.voiceManager.getVoice (i)->removeActionListener (this);

    for (auto& tab : voiceTabs)
        tab->setLookAndFeel (nullptr);
}

//==============================================================================
void KestrinAudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (Palette::panelBackground);
}

void KestrinAudioProcessorEditor::resized()
{
    const auto tabWidth = (baseWidth - 50) / numVoices;

    navbar.setBounds (0, 0, baseWidth, 48);
    presetBrowser.setBounds (431, 10, 295, 27);
    presetSaveDialog.setBounds (0, 0, baseWidth, baseHeight);
    settingsDialog.setBounds (0, 0, baseWidth, baseHeight);
    footer.setBounds (0, 348, baseWidth, 48);

    // The inner tabs are one pixel wider and overlap their right neighbour.
    for (int k = 0; k < numVoices; ++k)
    {
        const auto inner = k > 0 && k < numVoices - 1;
        voiceTabs[(size_t) k]->setBounds (25 + k * tabWidth, 48, tabWidth + (inner ? 1 : 0), 49);
    }

    for (auto* panel : voicePanels)
        panel->setBounds (0, 98, baseWidth, 251);

    currentScale = (float) getWidth() / (float) baseWidth;
    contentComponent.setTransform (juce::AffineTransform::scale (currentScale));

    // Resizes of the set-up itself are not worth a write; each later one restarts the countdown.
    if (resizingEnabled)
    {
        saveScaleTimer.pendingScale = currentScale;
        saveScaleTimer.stopTimer();
        saveScaleTimer.startTimer (1000);
    }
}

void KestrinAudioProcessorEditor::applyScaleSetting()
{
    const auto value = processor.settingsTree.getChildWithName (StateIds::scale).getProperty (StateIds::value);

    if (! value.isVoid())
        currentScale = (float) (double) value;

    // The settings file is untrusted: text that is no number reads 0, which would give an empty
    // window, and a huge number would overflow the size. Both end at the nearest resize limit.
    const auto minimumScale = (float) minimumWidth / (float) baseWidth;
    const auto maximumScale = (float) maximumWidth / (float) baseWidth;
    currentScale = std::isnan (currentScale) ? minimumScale : juce::jlimit (minimumScale, maximumScale, currentScale);

    // Truncation may fall a pixel short of a limit; the limits themselves are whole.
    const auto aspect = (double) baseWidth / (double) baseHeight;
    const auto width = juce::jlimit (minimumWidth, maximumWidth, (int) ((float) baseWidth * currentScale));
    const auto height = juce::jlimit ((int) (minimumWidth / aspect), (int) (maximumWidth / aspect),
                                      (int) ((float) baseHeight * currentScale));
    setBounds (getX(), getY(), width, height);
}

void KestrinAudioProcessorEditor::timerCallback()
{
    stopTimer();

    const auto aspect = (double) baseWidth / (double) baseHeight;
    setResizable (true, true);
    setResizeLimits (minimumWidth, (int) (minimumWidth / aspect), maximumWidth, (int) (maximumWidth / aspect));
    getConstrainer()->setFixedAspectRatio (aspect);
    resizingEnabled = true;
}

//==============================================================================
void KestrinAudioProcessorEditor::updateVoiceTabLabel (int voiceNumber)
{
    if (voiceNumber < 1 || voiceNumber > numVoices)
        return;

    const auto k = voiceNumber - 1;
    const auto& names = ParameterLayout::drumKindLabels();
    const auto value = processor.valueTreeState.getRawParameterValue (
                                                   ParameterIds::voiceParameterId (voiceNumber, ParameterIds::label))
                           ->load();

    // Exact comparison: every value that is not one of the others names the last kind.
    auto text = names[names.size() - 1];
    for (int i = 0; i < names.size() - 1; ++i)
        if (value == (float) i)
            text = names[i];

    const auto textWidth = (int) std::ceil (getSemiboldFont().withHeight (15.0f).getStringWidthFloat (text));

    auto& tab = *voiceTabs[(size_t) k];
    if (tab.getButtonText() != text)
        tab.setButtonText (text);

    // Just left of the text, which is centred in the tab right of its 22-pixel inset.
    const auto tabWidth = (baseWidth - 50) / numVoices;
    voicePads[(size_t) k]->setBounds ((baseWidth - 50) / 14 + k * tabWidth - textWidth / 2 + 14, 65, 16, 16);
}

void KestrinAudioProcessorEditor::showPanel (const juce::String& panelName)
{
    for (int n = 1; n <= numVoices; ++n)
    {
        const auto shown = panelName == StateIds::panelName (n);
        voiceTabs[(size_t) n - 1]->setToggleState (shown, juce::dontSendNotification);
        voicePanels[n - 1]->setVisible (shown);

        if (shown)
            footer.obeyNoteOffButton->setOnColour (Palette::getVoiceAccent (n - 1));
    }
}

void KestrinAudioProcessorEditor::restoreActivePanel()
{
    const auto panel = processor.getStateProperty (StateIds::activePanel);
    showPanel (panel.isVoid() ? StateIds::panelName (1) : panel.toString());
}

void KestrinAudioProcessorEditor::setActivePanel (int voiceNumber)
{
    processor.setStateProperty (StateIds::activePanel, StateIds::panelName (voiceNumber));
}

void KestrinAudioProcessorEditor::mouseDown (const juce::MouseEvent& event)
{
    const auto rightButton = juce::ModifierKeys::currentModifiers.isRightButtonDown();

    for (int n = 1; n <= numVoices; ++n)
    {
        if (event.eventComponent == voiceTabs[(size_t) n - 1].get())
        {
            // A left click arrives through buttonClicked. Showing the menu's voice is for display only.
            if (rightButton)
            {
                showPanel (StateIds::panelName (n));
                showVoiceMenu (n);
            }

            return;
        }
    }

    for (int n = 1; n <= numVoices; ++n)
    {
        if (event.eventComponent == voicePads[(size_t) n - 1].get())
        {
            // The voice queues the note for the audio thread and broadcasts its "NoteOn", which flashes the pad.
            const auto note = (int) processor.getStateProperty (StateIds::voiceMidi (n));
            processor.voiceManager.getVoice (n - 1)->noteOn (note, false, 1.0f);

            showPanel (StateIds::panelName (n));
            setActivePanel (n);
            return;
        }
    }
}

void KestrinAudioProcessorEditor::buttonClicked (juce::Button* button)
{
    for (int n = 1; n <= numVoices; ++n)
    {
        if (button == voiceTabs[(size_t) n - 1].get())
        {
            showPanel (StateIds::panelName (n));
            setActivePanel (n);
            return;
        }
    }
}

void KestrinAudioProcessorEditor::actionListenerCallback (const juce::String& message)
{
    using Kind = BroadcastMessages::Kind;
    const auto received = BroadcastMessages::read (message);

    if (received.kind == Kind::stateInformationSet)
        restoreActivePanel();
    else if (received.kind == Kind::settingsLoaded)
        applyScaleSetting();
    else if (received.kind == Kind::voiceLabelChanged)
        updateVoiceTabLabel (received.voiceIndex + 1);
    else if (received.kind == Kind::voiceNoteOn)
        voicePads[(size_t) received.voiceIndex]->flash();
}

//==============================================================================
void KestrinAudioProcessorEditor::buildVoiceMenu (int voiceNumber)
{
    voiceMenu.clear();
    voiceMenu.addItem (copyItemId, "Copy");
    voiceMenu.addItem (pasteItemId, "Paste");
    voiceMenu.addSeparator();

    labelNames.clear();
    for (int i = 0; i < numMenuLabels; ++i)
        labelNames.add (ParameterLayout::drumKindLabels()[i]);

    juce::PopupMenu labelMenu;
    for (int i = 0; i < labelNames.size(); ++i)
        labelMenu.addItem (firstLabelItemId + i, labelNames[i]);

    voiceMenu.addSubMenu ("Label", labelMenu);

    chokeNames = { "None", "1", "2", "3", "4" };

    const auto chokeGroup = (int) processor.valueTreeState.getRawParameterValue (
                                                              ParameterIds::voiceParameterId (voiceNumber, ParameterIds::chokeGroup))
                                ->load();

    juce::PopupMenu chokeMenu;
    for (int i = 0; i < chokeNames.size(); ++i)
        chokeMenu.addItem (firstChokeItemId + i, chokeNames[i], true, i == chokeGroup);

    voiceMenu.addSubMenu ("Choke Group", chokeMenu);
}

void KestrinAudioProcessorEditor::showVoiceMenu (int voiceNumber)
{
    buildVoiceMenu (voiceNumber);
    handleVoiceMenuResult (voiceNumber, voiceMenu.show());
}

void KestrinAudioProcessorEditor::handleVoiceMenuResult (int voiceNumber, int result)
{
    auto* labelParameter = processor.valueTreeState.getParameter (ParameterIds::voiceParameterId (voiceNumber, ParameterIds::label));
    auto* chokeParameter = processor.valueTreeState.getParameter (ParameterIds::voiceParameterId (voiceNumber, ParameterIds::chokeGroup));

    if (result == copyItemId)
        copyVoiceToClipboard (voiceNumber);
    else if (result == pasteItemId)
        pasteVoiceFromClipboard (voiceNumber);
    else if (result >= firstLabelItemId && result < firstChokeItemId)
        setPlainValue (labelParameter, (float) (result - firstLabelItemId));
    else if (result >= firstChokeItemId)
        setPlainValue (chokeParameter, (float) (result - firstChokeItemId));
}

juce::String KestrinAudioProcessorEditor::formatClipboardValue (double value)
{
    // The classic locale keeps "." as the decimal point in hosts that set another one.
    std::ostringstream stream;
    stream.imbue (std::locale::classic());
    stream.precision (6);
    stream << value;
    return stream.str();
}

void KestrinAudioProcessorEditor::copyVoiceToClipboard (int voiceNumber)
{
    auto text = clipboardPrefix;

    for (int i = 0; i < ParameterIds::numSoundSuffixes; ++i)
    {
        const auto* suffix = ParameterIds::voiceSuffixes[(size_t) i];

        if (auto* parameter = processor.valueTreeState.getParameter (ParameterIds::voiceParameterId (voiceNumber, suffix)))
            text << "/" << suffix << ":" << formatClipboardValue ((double) parameter->getValue());
    }

    juce::SystemClipboard::copyTextToClipboard (text);
}

void KestrinAudioProcessorEditor::pasteVoiceFromClipboard (int voiceNumber)
{
    const auto text = juce::SystemClipboard::getTextFromClipboard();

    if (! text.startsWith (clipboardPrefix + "/"))
        return;

    juce::StringArray entries;
    entries.addTokens (text.substring (clipboardPrefix.length() + 1), "/", "\"");

    for (const auto& entry : entries)
    {
        juce::StringArray pieces;
        pieces.addTokens (entry, ":", "\"");

        if (pieces.size() != 2)
            continue;

        auto* parameter = processor.valueTreeState.getParameter (ParameterIds::voiceParameterId (voiceNumber, pieces[0].toRawUTF8()));

        if (parameter == nullptr)
            continue;

        // Clipboard text is untrusted: "nan" is no value and leaves the parameter as it is; an
        // infinity or an overflow reads as the largest number of its sign, then kept inside 0..1.
        if (NumberText::isNotANumber (pieces[1]))
            continue;

        const auto value = (float) NumberText::readLeadingNumber (pieces[1]);
        parameter->setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, value));
    }
}
