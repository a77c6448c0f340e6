#include "editor/EditorTestHelpers.h"

using namespace EditorTestHelpers;

namespace
{
struct EditorTest : public ::testing::Test, public Editor
{
    void setScaleText (const juce::var& value) { processor.settingsTree.getChildWithName (StateIds::scale).setProperty (StateIds::value, value, nullptr); }

    int visiblePanel()
    {
        auto shown = 0;
        for (int k = 0; k < 7; ++k)
            if (editor->getVoicePanel (k).isVisible())
                shown = shown == 0 ? k + 1 : -1;
        return shown;
    }

    /** Whether, in an image of the editor, a tab's text starts 4 to 9 pixels right of its pad. */
    bool padJustBeforeText (const juce::Image& image, int k)
    {
        const auto& pad = editor->getVoicePad (k);
        for (int x = pad.getRight(); x < editor->getVoiceTab (k).getRight(); ++x)
            for (int y = 55; y < 92; ++y)
                if (! coloursNear (image.getPixelAt (x, y), Palette::panelBackground, 40))
                    return x - pad.getRight() >= 4 && x - pad.getRight() <= 9;
        return false;
    }
};
} // namespace

//==============================================================================
TEST_F (EditorTest, OpensAtTheSavedScaleWithinTheResizeLimitsAndOnlyThenBecomesResizable)
{
    struct Case { juce::var saved; int width, height; };
    const Case cases[] { { "1.0", 883, 396 }, { juce::var(), 883, 396 }, { "1.5", 1324, 594 }, { 2.0, 1766, 792 },
                         { "garbage", 600, 269 }, { "-3", 600, 269 }, { "nan", 600, 269 }, { "1e30", 2400, 1076 },
                         { "inf", 2400, 1076 }, { "0.5", 600, 269 } };

    for (const auto& c : cases)
    {
        setScaleText (c.saved); // void for none
        open (false);
        const auto what = c.saved.toString().toStdString();
        EXPECT_EQ (std::pair (editor->getWidth(), editor->getHeight()), std::pair (c.width, c.height)) << what;
        EXPECT_FALSE (editor->isResizable()) << what;

        // The content is drawn in base units and scaled by the window's width.
        const auto transform = editor->getChildComponent (0)->getTransform();
        EXPECT_TRUE (transform.mat00 == transform.mat11 && std::abs (transform.mat00 - (float) c.width / 883.0f) < 1.0e-5f) << what;

        EXPECT_TRUE (pumpUntil ([this] { return editor->isResizable(); })) << what;
        EXPECT_EQ (editor->getWidth(), c.width) << what;
        editor.reset();
    }

    pump (1200);
    EXPECT_FALSE (data.settingsFile().exists()) << "opening writes nothing";
}

TEST_F (EditorTest, ResizingKeepsLimitsAndAspectAndWritesTheScaleOnceASecondAfterTheLast)
{
    open (false);
    editor->setSize (1000, 449); // before the deferred set-up: not worth a write
    pump (1300);
    EXPECT_FALSE (data.settingsFile().exists());

    editor->setBoundsConstrained ({ 0, 0, 300, 100 });
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 600, 269));
    editor->setBoundsConstrained ({ 0, 0, 5000, 5000 });
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 2400, 1076));
    editor->setBoundsConstrained ({ 0, 0, 1200, 300 });
    EXPECT_NEAR ((double) editor->getWidth() / editor->getHeight(), 883.0 / 396.0, 0.01);

    // Each resize restarts the countdown, so the scale is written once, a second after the last one. Where this
    // thread paused longer than the countdown between two resizes (a loaded machine), a scale may be written then.
    const auto savedScale = [this]
    {
        const auto saved = juce::parseXML (data.settingsFile());
        const auto* scale = saved != nullptr ? saved->getChildByName (StateIds::scale) : nullptr;
        return scale != nullptr ? scale->getDoubleAttribute (StateIds::value) : 0.0;
    };
    const auto lastScale = 1324.0 / 883.0;
    auto lastResize = juce::Time::getMillisecondCounterHiRes(), longestGap = 0.0;

    for (auto width : { 700, 900, 1100, 1324 })
    {
        pump (150);
        const auto now = juce::Time::getMillisecondCounterHiRes();
        longestGap = std::max (longestGap, now - lastResize);
        editor->setSize (width, width * 396 / 883);
        lastResize = now;
    }

    ASSERT_TRUE (pumpUntil ([this] { return data.settingsFile().exists(); }));
    if (longestGap < 900.0)
    {
        EXPECT_NEAR (savedScale(), lastScale, 1.0e-6) << "the first write has the last scale";
    }
    ASSERT_TRUE (pumpUntil ([&] { return std::abs (savedScale() - lastScale) < 1.0e-6; }));
    EXPECT_GE (juce::Time::getMillisecondCounterHiRes() - lastResize, 950.0);

    {
        KestrinAudioProcessor nextInstance (data.get());
        KestrinAudioProcessorEditor nextEditor (nextInstance);
        EXPECT_EQ (nextEditor.getBounds(), juce::Rectangle<int> (0, 0, 1324, 593)) << "restored by the next instance, truncated";
    }

    data.settingsFile().deleteFile();
    pump (1500);
    EXPECT_FALSE (data.settingsFile().exists()) << "one write per burst";

    // Settings read again while the editor is open resize it.
    setScaleText (2.0);
    editor->actionListenerCallback ("SettingsLoaded");
    EXPECT_EQ (editor->getBounds(), juce::Rectangle<int> (0, 0, 1766, 792));
}

TEST (EditorLookAndFeel, OpenEditorsShareOneDefaultLookAndFeelThatGoesWithTheLast)
{
    TemporaryDataFolder folderA, folderB;
    KestrinAudioProcessor processorA (folderA.get()), processorB (folderB.get());
    auto isCustom = [] { return dynamic_cast<LookAndFeelCustom*> (&juce::LookAndFeel::getDefaultLookAndFeel()) != nullptr; };

    ASSERT_FALSE (isCustom());
    auto first = std::make_unique<KestrinAudioProcessorEditor> (processorA);
    auto* shared = &juce::LookAndFeel::getDefaultLookAndFeel();
    auto second = std::make_unique<KestrinAudioProcessorEditor> (processorB);
    EXPECT_TRUE (isCustom());
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), shared);
    EXPECT_EQ (&second->footer.phaseComboBox.getLookAndFeel(), shared);

    first.reset();
    EXPECT_EQ (&juce::LookAndFeel::getDefaultLookAndFeel(), shared) << "still in use by the second editor";
    second.reset();
    EXPECT_FALSE (isCustom());
}

//==============================================================================
TEST_F (EditorTest, TabAndPadClicksShowAndStoreThePanelAndAPadPlaysItsVoice)
{
    processor.prepareToPlay (sampleRate, blockSize);
    setScaleText ("1.5"); // clicks land through the scaled content
    open (false);
    EXPECT_EQ (visiblePanel(), 1);
    EXPECT_EQ (activePanel(), "voice1");

    clickThroughWindow (editor->getVoiceTab (2));
    EXPECT_EQ (visiblePanel(), 3);
    EXPECT_EQ (activePanel(), "voice3");

    // Any button on a pad plays its voice at once, with no MIDI.
    EXPECT_EQ (render (processor, {}, 2400).getMagnitude (0, 0, 2400), 0.0f);
    clickThroughWindow (editor->getVoicePad (4), juce::ModifierKeys::rightButtonModifier);
    EXPECT_EQ (visiblePanel(), 5);
    EXPECT_EQ (activePanel(), "voice5");
    EXPECT_GT (render (processor, {}, 2400).getMagnitude (0, 0, 2400), 0.01f);
    EXPECT_TRUE (pumpUntil ([this] { return editor->getVoicePad (4).litLed.getAlpha() > 0.5f; }));
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ (editor->getVoicePad (k).litLed.getAlpha() > 0.5f, k == 4) << "only the played pad flashes: " << k;

    // A right press on a tab opens the voice's menu over its panel, without storing the panel.
    juce::Image menuImage;
    // At once: a menu closes itself when another test program on the display takes the focus.
    juce::Timer::callAfterDelay (1, [&]
    {
        if (auto* menu = juce::Component::getCurrentlyModalComponent())
            menuImage = menu->createComponentSnapshot (menu->getLocalBounds());
        juce::PopupMenu::dismissAllActiveMenus();
    });
    clickThroughWindow (editor->getVoiceTab (1), juce::ModifierKeys::rightButtonModifier);
    ASSERT_TRUE (menuImage.isValid()) << "the menu was open";
    EXPECT_EQ (visiblePanel(), 2);
    EXPECT_EQ (activePanel(), "voice5") << "neither the press nor the release stores it";
    saveImageForReview (menuImage, "editor-voice-menu");
}

TEST_F (EditorTest, NoteOnMessagesFlashTheirPadAndARestoredStateBringsItsPanel)
{
    open (false);
    auto litPads = [this]
    {
        juce::String lit;
        for (int k = 0; k < 7; ++k)
            lit << (editor->getVoicePad (k).litLed.getAlpha() > 0.9f ? "1" : "0");
        return lit;
    };

    for (auto message : { "voice7NoteOn", "voice3DecayEnd", "voice12NoteOff", "PresetLoaded", "MidiNoteLearned" })
        editor->actionListenerCallback (message);
    EXPECT_EQ (litPads(), "0000000");
    editor->actionListenerCallback ("voice3NoteOn");
    EXPECT_EQ (litPads(), "0001000");

    // A note played over MIDI reaches the pad through the voice's message.
    processor.prepareToPlay (sampleRate, blockSize);
    processor.setStateProperty (StateIds::activePanel, "voice6");
    juce::MemoryBlock savedState;
    processor.getStateInformation (savedState);
    render (processor, midiNoteOn (1, 36), blockSize);
    EXPECT_TRUE (pumpUntil ([this] { return editor->getVoicePad (0).litLed.getAlpha() > 0.5f; }));

    // The host restores a state that shows voice 6; a name of no voice shows no panel.
    EXPECT_EQ (visiblePanel(), 1) << "writing the property alone changes nothing on screen";
    processor.setStateInformation (savedState.getData(), (int) savedState.getSize());
    EXPECT_TRUE (pumpUntil ([this] { return visiblePanel() == 6; }));
    EXPECT_TRUE (editor->getVoiceTab (5).getToggleState());

    processor.setStateProperty (StateIds::activePanel, "voice8");
    editor->restoreActivePanel();
    EXPECT_EQ (visiblePanel(), 0);
    processor.valueTreeState.state.removeProperty (StateIds::activePanel, nullptr);
    editor->restoreActivePanel();
    EXPECT_EQ (visiblePanel(), 1);
}

//==============================================================================
TEST (VoiceClipboard, ValuesAreWrittenWithSixSignificantDigits)
{
    for (auto [value, text] : { std::pair (0.5, "0.5"), { 1.0, "1" }, { 0.0, "0" }, { 1.0 / 19.0, "0.0526316" },
                                { 0.00001, "1e-05" }, { 0.0001, "0.0001" }, { 0.123456789, "0.123457" } })
        EXPECT_EQ (KestrinAudioProcessorEditor::formatClipboardValue (value), text);
}

TEST_F (EditorTest, CopyWritesTheSoundOfAVoiceThatPastesOntoAnotherAndPasteAppliesOnlyUsableEntries)
{
    open (false);
    for (size_t i = 0; i < ParameterIds::voiceSuffixes.size(); ++i)
        voiceParameter (processor, 2, ParameterIds::voiceSuffixes[i]).setValueNotifyingHost (0.1f + 0.04f * (float) i);
    setValue (voiceParameter (processor, 6, ParameterIds::chokeGroup), 2.0f);
    const auto label6 = voiceParameter (processor, 6, ParameterIds::label).getValue();

    editor->handleVoiceMenuResult (2, 1);
    const auto text = juce::SystemClipboard::getTextFromClipboard();
    EXPECT_TRUE (text.startsWith ("TombrelVoice/Decay:")) << text;
    EXPECT_FALSE (text.containsAnyOf (" \n") || text.endsWith ("/")) << text;

    juce::StringArray entries;
    entries.addTokens (text.fromFirstOccurrenceOf ("/", false, false), "/", {});
    ASSERT_EQ (entries.size(), 19) << text;
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ (entries[i].upToFirstOccurrenceOf (":", false, false), ParameterIds::voiceSuffixes[(size_t) i]);

    editor->handleVoiceMenuResult (6, 2);
    for (int i = 0; i < 19; ++i)
    {
        const auto* suffix = ParameterIds::voiceSuffixes[(size_t) i];
        EXPECT_NEAR (voiceParameter (processor, 6, suffix).getValue(), voiceParameter (processor, 2, suffix).getValue(), 1.0e-5f) << suffix;
    }
    EXPECT_EQ (getValue (processor, ParameterIds::voiceParameterId (6, ParameterIds::chokeGroup)), 2.0f);
    EXPECT_EQ (voiceParameter (processor, 6, ParameterIds::label).getValue(), label6);

    // Pasted text is untrusted: only usable entries apply, and every parameter stays in range.
    struct Case { const char* text; std::vector<std::pair<const char*, float>> changes; };
    const Case cases[] {
        { "TombrelVoice/Gain:0.5", { { "Gain", 0.5f } } },
        { "TombrelVoice/Pan:0.75/Decay:0.25", { { "Pan", 0.75f }, { "Decay", 0.25f } } },
        { "TombrelVoice/Gain:0.1/Gain:0.9", { { "Gain", 0.9f } } },
        { "TombrelVoice/Label:0.5/ChokeGroup:1", { { "Label", 0.5f }, { "ChokeGroup", 1.0f } } },
        { "TombrelVoice/Gain:2/Pan:-1/Decay:abc/ClickMix:/NoiseMix:nan/Saturation:1e99999999999/Velocity: 0.6x",
          { { "Gain", 1.0f }, { "Pan", 0.0f }, { "Decay", 0.0f }, { "ClickMix", 0.0f }, { "Saturation", 1.0f }, { "Velocity", 0.6f } } },
        // Infinities go to the ends; "nan" in any form leaves the value as it is.
        { "TombrelVoice/Gain:inf/Pan:-INF/Decay:Infinity/ClickMix:-1e999/NoiseMix:-nan/Saturation:NaN",
          { { "Gain", 1.0f }, { "Pan", 0.0f }, { "Decay", 1.0f }, { "ClickMix", 0.0f } } },
        { "TombrelVoice/Gain:0.5:1/Pan/Decay:0.9//Bogus:1/paramVoice1Gain:0.7/\"Noise:Mix\":0.2/x\"/Gain:0.7/\"/", { { "Decay", 0.9f } } },
        { "tombrelvoice/Gain:0.5", {} },
        { "TombrelVoice:Gain:0.5", {} },
        { "TombrelVoice/", {} },
        { "", {} },
    };

    for (const auto& c : cases)
    {
        std::map<juce::String, float> expected;
        for (auto* suffix : ParameterIds::voiceSuffixes)
        {
            voiceParameter (processor, 4, suffix).setValueNotifyingHost (0.3f);
            expected[suffix] = voiceParameter (processor, 4, suffix).getValue();
        }
        for (const auto& [suffix, value] : c.changes)
            expected[suffix] = value;

        juce::SystemClipboard::copyTextToClipboard (c.text);
        editor->handleVoiceMenuResult (4, 2);

        for (const auto& [suffix, value] : expected)
            EXPECT_NEAR (voiceParameter (processor, 4, suffix.toRawUTF8()).getValue(), value, 1.0e-5f) << c.text << ": " << suffix;
    }
}

TEST_F (EditorTest, VoiceMenuOffersLabelsAndTicksTheChokeGroup)
{
    open (false);
    const juce::String copyPaste = "Copy=1 Paste=2 | Label{Bass=3 Kick=4 Snare=5 Rimshot=6 Sidestick=7 Tom L=8 Tom LM=9 Tom M=10 Tom MH=11 "
                                   "Tom H=12 Closed HH=13 Open HH=14 Crash=15 Ride=16 Handclap=17 Cowbell=18 Woodblock=19 Triangle=20 "
                                   "Noise=21 SFX=22} Choke Group{";
    editor->buildVoiceMenu (4);
    EXPECT_EQ (describe (editor->getVoiceMenu()), copyPaste + "None=23* 1=24 2=25 3=26 4=27}");

    editor->handleVoiceMenuResult (4, 26);
    EXPECT_EQ (getValue (processor, ParameterIds::voiceParameterId (4, ParameterIds::chokeGroup)), 3.0f);
    editor->handleVoiceMenuResult (4, 16); // "Ride", whose item still shows no tick
    EXPECT_EQ (getValue (processor, ParameterIds::voiceParameterId (4, ParameterIds::label)), 13.0f);
    editor->buildVoiceMenu (4);
    EXPECT_EQ (describe (editor->getVoiceMenu()), copyPaste + "None=23 1=24 2=25 3=26* 4=27}");
    EXPECT_TRUE (pumpUntil ([this] { return editor->getVoiceTab (3).getButtonText() == "Ride"; }));
    EXPECT_TRUE (padJustBeforeText (snapshot(), 3)) << "the pad moves with the title";

    juce::MemoryBlock before, after;
    processor.getStateInformation (before);
    editor->handleVoiceMenuResult (4, 0);
    processor.getStateInformation (after);
    EXPECT_EQ (before, after) << "a dismissed menu changes nothing";
}

//==============================================================================
TEST_F (EditorTest, EachVoiceShowsItsTitledTabPanelAndFooterLightAndTheFooterFollowsItsParameters)
{
    open (false);
    auto& footer = editor->footer;
    footer.phaseComboBox.setSelectedId (3, juce::sendNotificationSync);
    EXPECT_EQ (getValue (processor, ParameterIds::paramPhase), 2.0f);
    setValue (parameter (processor, ParameterIds::paramPhase), 1.0f);
    EXPECT_EQ (footer.phaseComboBox.getText(), "On");

    auto light = [&] { return snapshot().getPixelAt (334, 348 + 23); };
    EXPECT_TRUE (coloursNear (light(), juce::Colour (0xFF495059)));
    clickThroughWindow (*footer.obeyNoteOffButton);
    EXPECT_EQ (getValue (processor, ParameterIds::paramObeyNoteOff), 1.0f);

    // One picture per voice: its tab and panel, the footer light in its colour.
    for (int k = 0; k < 7; ++k)
    {
        clickThroughWindow (editor->getVoiceTab (k));
        const auto image = snapshot ("editor-voice" + juce::String (k + 1));
        EXPECT_TRUE (coloursNear (light(), Palette::getVoiceAccent (k))) << k;
        EXPECT_EQ (editor->getVoiceTab (k).getButtonText(), voiceParameter (processor, k + 1, ParameterIds::label).getCurrentValueAsText());
        for (int j = 0; j < 7; ++j)
            EXPECT_TRUE (padJustBeforeText (image, j) && coloursNear (image.getPixelAt (editor->getVoiceTab (j).getX() + 60, 96), j == k ? Palette::getVoiceAccent (j) : Palette::divider))
                << "pad and underline of tab " << j << " with voice " << k + 1 << " shown";
    }

    clickThroughWindow (*footer.obeyNoteOffButton);
    EXPECT_EQ (getValue (processor, ParameterIds::paramObeyNoteOff), 0.0f);
    EXPECT_TRUE (coloursNear (light(), juce::Colour (0xFF495059)));
    setValue (parameter (processor, ParameterIds::paramObeyNoteOff), 1.0f);
    EXPECT_TRUE (footer.obeyNoteOffButton->getToggleState());
}
