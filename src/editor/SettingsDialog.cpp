#include "editor/SettingsDialog.h"

#include "editor/CrossPath.h"
#include "editor/KestrinAudioProcessorEditor.h"
#include "editor/WriteFailureAlert.h"
#include "lookandfeel/Fonts.h"
#include "lookandfeel/Palette.h"
#include "processor/KestrinAudioProcessor.h"
#include "processor/ParameterIds.h"
#include "processor/ParameterLayout.h"
#include "processor/StateIds.h"

#include <algorithm>

namespace
{
constexpr std::array<const char*, 12> flatPitchNames { "c", "db", "d", "eb", "e", "f", "gb", "g", "ab", "a", "bb", "b" };
constexpr std::array<const char*, 12> sharpPitchNames { "c", "c#", "d", "d#", "e", "f", "f#", "g", "g#", "a", "a#", "b" };

/** The note called c0; the tables run eight octaves up from it, so every name has a one-digit octave. */
constexpr int lowestNamedNote = 24;
constexpr int numNamedOctaves = 8;
constexpr int octave = 12;
/** What a row without a valid name plays. */
constexpr int fallbackNote = 60;

std::vector<juce::String> makeNoteNames (const std::array<const char*, 12>& pitchNames)
{
    std::vector<juce::String> names;

    for (int octaveNumber = 0; octaveNumber < numNamedOctaves; ++octaveNumber)
        for (const auto* pitch : pitchNames)
            names.push_back (pitch + juce::String (octaveNumber));

    return names;
}

int indexOf (const std::vector<juce::String>& names, const juce::String& name)
{
    const auto found = std::find (names.begin(), names.end(), name);
    return found == names.end() ? -1 : (int) std::distance (names.begin(), found);
}

juce::String toDisplayForm (const juce::String& name)
{
    return name.substring (0, 1).toUpperCase() + name.substring (1);
}
} // namespace

SettingsDialog::SettingsDialog (KestrinAudioProcessor& processorToUse) : processor (processorToUse)
{
    processor.addActionListener (this);

    const auto titleFont = getCondensedSemiboldFont().withHeight (15.0f);
    const auto labelFont = getSemiboldFont().withHeight (12.0f);

    flatNoteNames = makeNoteNames (flatPitchNames);
    sharpNoteNames = makeNoteNames (sharpPitchNames);

    auto normalCross = createCrossPath();
    normalCross->setStrokeFill (Palette::buttonOutline);
    auto downCross = createCrossPath();
    downCross->setStrokeFill (Palette::iconGrey);

    const auto setUpLabel = [this] (juce::Label& label, const juce::String& text, const juce::Font& font, juce::Justification justification)
    {
        addAndMakeVisible (label);
        label.setColour (juce::Label::textColourId, Palette::text);
        label.setJustificationType (justification);
        label.setText (text, juce::dontSendNotification);
        label.setFont (font);
    };

    // Always drawn in the "on" colours, whatever is clicked.
    const auto makeTextButton = [this] (const juce::String& text)
    {
        auto button = std::make_unique<juce::TextButton>();
        button->setButtonText (text);
        button->setToggleState (true, juce::dontSendNotification);
        button->addListener (this);
        addAndMakeVisible (*button);
        return button;
    };

    setUpLabel (midiMapTitle, "MIDI MAPPING", titleFont, juce::Justification::centredTop);

    for (auto& label : voiceLabels)
        setUpLabel (label, {}, labelFont, juce::Justification::centredLeft);

    for (int voiceNumber = 1; voiceNumber <= (int) voiceLabels.size(); ++voiceNumber)
        updateVoiceLabel (voiceNumber);

    for (auto& editor : noteEditors)
    {
        addAndMakeVisible (editor);
        editor.setMultiLine (false, true);
        editor.setSelectAllWhenFocused (true);
        editor.setFont (juce::Font (12.0f));
        editor.setIndents (6, 6);
        editor.setLookAndFeel (&noteEditorLookAndFeel);
        editor.addListener (this);
    }

    for (auto& light : learnButtons)
    {
        light = std::make_unique<LEDButton>();
        light->addListener (this);
        light->setClickingTogglesState (true);
        addAndMakeVisible (*light);
    }

    octaveUpButton = makeTextButton ("+");
    octaveDownButton = makeTextButton ("-");
    setUpLabel (octaveLabel, "Octave", labelFont, juce::Justification::centredLeft);
    resetButton = makeTextButton ("RESET");
    saveButton = makeTextButton ("SAVE");

    setUpLabel (settingsTitle, "SETTINGS", titleFont, juce::Justification::centredTop);
    setUpLabel (oversamplingLabel, "Oversampling", labelFont, juce::Justification::centredLeft);
    setUpLabel (offlineQualityLabel, "Offline Quality", labelFont, juce::Justification::centredLeft);
    setUpLabel (multiOutLabel, "Multi-Channel Output", labelFont, juce::Justification::centredLeft);

    const auto setUpBox = [this] (juce::ComboBox& box, const juce::StringArray& items, const char* parameterId)
    {
        box.addItemList (items, 1);
        addAndMakeVisible (box);
        return std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (processor.valueTreeState, parameterId, box);
    };

    oversamplingAttachment = setUpBox (oversamplingBox, { "1x", "2x", "4x" }, ParameterIds::paramOversampling);
    offlineQualityAttachment = setUpBox (offlineQualityBox, { "Same", "Best" }, ParameterIds::paramOfflineQuality);
    multiOutAttachment = setUpBox (multiOutBox, { "Off", "On" }, ParameterIds::paramMultiOut);

    // The default look-and-feel draws the editor's background and outlines in the panel colour,
    // so this reads as plain text on the box.
    helpText.setFont (labelFont);
    helpText.setColour (juce::TextEditor::textColourId, Palette::dimText);
    helpText.setReadOnly (true);
    helpText.setLineSpacing (1.3f);
    helpText.setMultiLine (true, true);
    helpText.setText ("Map notes to drum voices manually or by MIDI Learn. RESET the mapping to Tombrel's factory default, "
                      "or SAVE your current mapping to create a new global default.",
                      false);
    addAndMakeVisible (helpText);

    closeButton = std::make_unique<juce::DrawableButton> ("closeButton", juce::DrawableButton::ImageFitted);
    closeButton->setImages (normalCross.get(), nullptr, downCross.get());
    closeButton->setEdgeIndent (3);
    closeButton->setColour (juce::DrawableButton::backgroundOnColourId, juce::Colour (0x00000000));
    closeButton->addListener (this);
    addAndMakeVisible (*closeButton);

    prepareToShow();
}

SettingsDialog::~SettingsDialog()
{
    processor.removeActionListener (this);

    for (auto& editor : noteEditors)
        editor.setLookAndFeel (nullptr);
}

void SettingsDialog::prepareToShow()
{
    // Three settings rows give a box 336 high at y 30, centred in the 396 of the window.
    boxY = 79 - (int) std::floor (16.5 * settingsRowCount);
    boxHeight = 237 + 33 * settingsRowCount;

    for (auto& light : learnButtons)
        light->setToggleState (false, juce::dontSendNotification);

    refreshMidiMapEditors();
    repaint();
    resized();
}

void SettingsDialog::paint (juce::Graphics& g)
{
    const auto y = boxY, h = boxHeight, k = settingsRowCount;

    g.fillAll (juce::Colour (0xBF000000));

    g.setColour (Palette::panelBackground);
    g.fillRect (42, y, 801, h);

    g.setColour (Palette::divider);
    g.drawVerticalLine (442, (float) (y + 22), (float) (y + h - 63));
    g.drawHorizontalLine (y + 62 + 33 * k, 458.0f, 828.0f);
    g.drawHorizontalLine (y + 195 + 33 * k, 57.0f, 828.0f);
}

void SettingsDialog::resized()
{
    const auto y = boxY, h = boxHeight;

    closeButton->setBounds (815, y + 7, 21, 21);
    midiMapTitle.setBounds (57, y + 20, 370, 30);
    settingsTitle.setBounds (458, y + 20, 370, 30);

    // Voices 1 to 4 in the left sub-column, 5 to 7 in the right one.
    for (size_t i = 0; i < noteEditors.size(); ++i)
    {
        const auto column = i < 4 ? 0 : 1;
        const auto x = 54 + 202 * column;
        const auto rowY = y + 53 + 33 * ((int) i - 4 * column);

        voiceLabels[i].setBounds (x, rowY, 100, 25);
        noteEditors[i].setBounds (x + 103, rowY, 45, 24);
        learnButtons[i]->setBounds (x + 156, rowY + 5, 14, 14);
    }

    helpText.setBounds (54, y + 185, 373, 50);

    const auto buttonY = y + h - 86;
    octaveUpButton->setBounds (54, buttonY, 24, 24);
    octaveDownButton->setBounds (88, buttonY, 24, 24);
    octaveLabel.setBounds (117, buttonY, 100, 25);

    // SAVE ends at x 427 and RESET 10 pixels to its left, each as wide as its text needs.
    saveButton->changeWidthToFitText (24);
    saveButton->setTopLeftPosition (427 - saveButton->getWidth(), buttonY);
    resetButton->changeWidthToFitText (24);
    resetButton->setTopLeftPosition (417 - saveButton->getWidth() - resetButton->getWidth(), buttonY);

    const std::array<std::pair<juce::Label*, juce::ComboBox*>, 3> settingsRows {
        { { &multiOutLabel, &multiOutBox }, { &oversamplingLabel, &oversamplingBox }, { &offlineQualityLabel, &offlineQualityBox } }
    };

    for (size_t row = 0; row < settingsRows.size(); ++row)
    {
        settingsRows[row].first->setBounds (455, y + 53 + 33 * (int) row, 140, 25);
        settingsRows[row].second->setBounds (593, y + 53 + 33 * (int) row, 234, 25);
    }
}

//==============================================================================
void SettingsDialog::buttonClicked (juce::Button* button)
{
    if (button == closeButton.get())
    {
        // The same toggle as the navigation bar's settings button, which also abandons a learn.
        auto* editor = findParentComponentOfClass<KestrinAudioProcessorEditor>();
        auto& dialog = editor != nullptr ? editor->settingsDialog : *this;

        if (dialog.isVisible())
        {
            processor.midiLearnArmed = false;
            dialog.setVisible (false);
        }
        else
        {
            dialog.prepareToShow();
            dialog.setVisible (true);
        }
    }
    else if (button == resetButton.get())
    {
        for (int voiceNumber = 1; voiceNumber <= (int) noteEditors.size(); ++voiceNumber)
            showNote (voiceNumber, processor.defaultVoiceNotes[(size_t) voiceNumber - 1]);

        applyMidiMapFromEditors();
    }
    else if (button == saveButton.get())
    {
        // What the voices play is what becomes the default, rows still being typed in included.
        takeTypedNotes();
        const auto notes = currentNotes();

        for (int voiceNumber = 1; voiceNumber <= (int) notes.size(); ++voiceNumber)
            processor.settingsTree.getOrCreateChildWithName (StateIds::voiceMidi (voiceNumber), nullptr)
                .setProperty (StateIds::value, notes[(size_t) voiceNumber - 1], nullptr);

        // A file that can't be written leaves the current map in use all the same.
        if (! processor.saveNoteMapSetting())
            showWriteFailure (juce::File (processor.dataFolderPath).getChildFile (StateIds::settingsFileName),
                              "The note map is in use but is not the default for new instances.", this);
    }
    else if (auto light = std::find_if (learnButtons.begin(), learnButtons.end(), [button] (auto& l) { return l.get() == button; });
             light != learnButtons.end())
    {
        learnButtonClicked (**light);
    }
    else if (button == octaveUpButton.get())
    {
        takeTypedNotes();
        shiftOctave (octave);
    }
    else if (button == octaveDownButton.get())
    {
        takeTypedNotes();
        shiftOctave (-octave);
    }
}

void SettingsDialog::actionListenerCallback (const juce::String& message)
{
    const auto received = BroadcastMessages::read (message);

    if (received.kind == BroadcastMessages::Kind::midiNoteLearned)
        noteLearned();
    else if (received.kind == BroadcastMessages::Kind::stateInformationSet
             || received.kind == BroadcastMessages::Kind::presetLoaded)
        refreshMidiMapEditors(); // the map may have been replaced underneath the rows
    else if (received.kind == BroadcastMessages::Kind::voiceLabelChanged)
        updateVoiceLabel (received.voiceIndex + 1);
}

void SettingsDialog::textEditorReturnKeyPressed (juce::TextEditor& editor)
{
    validateNoteEntry (editor.getText(), editor);
}

void SettingsDialog::textEditorFocusLost (juce::TextEditor& editor)
{
    // Leaving a row that still shows its voice's note takes nothing, so a row showing "ERR" isn't
    // applied as 60 by a mere click elsewhere (on SAVE, say, after its map was written).
    const auto row = (size_t) std::distance (noteEditors.begin(), std::find_if (noteEditors.begin(), noteEditors.end(),
                                                                             [&editor] (auto& e) { return &e == &editor; }));

    if (row < noteEditors.size() && editor.getText() == noteNumberToName (currentNotes()[row]))
        return;

    validateNoteEntry (editor.getText(), editor);
}

//==============================================================================
juce::String SettingsDialog::noteNumberToName (int note) const
{
    const auto index = note - lowestNamedNote;
    return juce::isPositiveAndBelow (index, (int) flatNoteNames.size()) ? toDisplayForm (flatNoteNames[(size_t) index]) : "ERR";
}

void SettingsDialog::refreshMidiMapEditors()
{
    const auto notes = currentNotes();

    for (size_t i = 0; i < notes.size(); ++i)
        showNote ((int) i + 1, notes[i]);
}

void SettingsDialog::validateNoteEntry (const juce::String& text, juce::TextEditor& editor)
{
    const auto index = indexOfTypedName (text);

    if (index < 0)
    {
        refreshMidiMapEditors();
        return;
    }

    editor.setText (toDisplayForm (flatNoteNames[(size_t) index]), true);
    applyMidiMapFromEditors();
}

void SettingsDialog::applyMidiMapFromEditors()
{
    std::array<int, 7> notes {};

    for (size_t i = 0; i < notes.size(); ++i)
    {
        notes[i] = noteFromEditor (noteEditors[i]);

        // A name typed in sharps, or in any case, shows as the note it now plays.
        if (indexOfTypedName (noteEditors[i].getText()) >= 0)
            showNote ((int) i + 1, notes[i]);
    }

    processor.setVoiceMidiNotes (notes[0], notes[1], notes[2], notes[3], notes[4], notes[5], notes[6]);
}

void SettingsDialog::takeTypedNotes()
{
    auto notes = currentNotes();

    for (size_t i = 0; i < notes.size(); ++i)
        if (const auto index = indexOfTypedName (noteEditors[i].getText()); index >= 0)
            notes[i] = lowestNamedNote + index;

    processor.setVoiceMidiNotes (notes[0], notes[1], notes[2], notes[3], notes[4], notes[5], notes[6]);
    refreshMidiMapEditors();
}

void SettingsDialog::updateVoiceLabel (int voiceNumber)
{
    if (voiceNumber < 1 || voiceNumber > (int) voiceLabels.size())
        return;

    const auto* value = processor.valueTreeState.getRawParameterValue (ParameterIds::voiceParameterId (voiceNumber, ParameterIds::label));
    const auto& names = ParameterLayout::drumKindLabels();
    const auto index = juce::roundToInt (value->load());

    // The last name, "7", stands for anything past the one before it.
    voiceLabels[(size_t) voiceNumber - 1].setText (names[juce::isPositiveAndBelow (index, names.size() - 1) ? index : names.size() - 1],
                                                   juce::dontSendNotification);
}

//==============================================================================
int SettingsDialog::indexOfTypedName (const juce::String& text) const
{
    const auto name = text.toLowerCase();
    const auto index = indexOf (flatNoteNames, name);
    return index >= 0 ? index : indexOf (sharpNoteNames, name);
}

int SettingsDialog::noteFromEditor (const juce::TextEditor& editor) const
{
    const auto index = indexOfTypedName (editor.getText());
    return index < 0 ? fallbackNote : lowestNamedNote + index;
}

void SettingsDialog::shiftOctave (int semitones)
{
    auto notes = currentNotes();

    // The whole map moves, and only while no note would leave the names in the direction it moves.
    const auto lowestNote = lowestNamedNote;
    const auto highestNote = lowestNamedNote + (int) flatNoteNames.size() - 1;
    const auto leavesNames = [&] (int note) { return semitones > 0 ? note + semitones > highestNote : note + semitones < lowestNote; };

    if (std::any_of (notes.begin(), notes.end(), leavesNames))
        return;

    for (auto& note : notes)
        note += semitones;

    processor.setVoiceMidiNotes (notes[0], notes[1], notes[2], notes[3], notes[4], notes[5], notes[6]);
    refreshMidiMapEditors();
}

void SettingsDialog::learnButtonClicked (LEDButton& light)
{
    processor.midiLearnArmed = light.getToggleState();

    for (auto& other : learnButtons)
        if (other.get() != &light)
            other->setToggleState (false, juce::dontSendNotification);
}

void SettingsDialog::noteLearned()
{
    for (size_t i = 0; i < learnButtons.size(); ++i)
    {
        if (learnButtons[i]->getToggleState())
        {
            showNote ((int) i + 1, processor.learnedMidiNote.load());
            learnButtons[i]->setToggleState (false, juce::dontSendNotification);
            break;
        }
    }

    applyMidiMapFromEditors();
}

std::array<int, 7> SettingsDialog::currentNotes() const
{
    // Under one lock, so that a state the host restores meanwhile is read whole or not at all.
    const juce::ScopedLock lock (processor.getStateLock());
    std::array<int, 7> notes {};

    for (size_t i = 0; i < notes.size(); ++i)
        notes[i] = processor.valueTreeState.state.getProperty (StateIds::voiceMidi ((int) i + 1));

    return notes;
}

void SettingsDialog::showNote (int voiceNumber, int note)
{
    noteEditors[(size_t) voiceNumber - 1].setText (noteNumberToName (note), true);
}
