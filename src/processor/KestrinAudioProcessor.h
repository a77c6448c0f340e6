#pragma once

#include "engine/VoiceManager.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <map>

/**
    The plug-in: seven drum voices played from MIDI into a stereo "Mixed" output or, with
    multi-channel output on, each into its own stereo output.

    It broadcasts short text messages ("MidiNoteLearned", "StateInformationSet", "SettingsLoaded",
    "voiceLabelChanged" + N, "PresetLoaded", "PresetSaved"), which listeners receive later on the
    message thread, whatever thread sent them (see MessageBroadcaster).

    Threads: processBlock runs on the audio thread and neither allocates, locks nor waits;
    parameterChanged runs on whichever thread changed a parameter; setStateInformation and
    getStateInformation on a host thread; everything else on the message thread. The state tree
    (valueTreeState.state) is read and written under getStateLock(), which the processor takes
    itself and which anybody else who touches the tree must take too.
*/
class KestrinAudioProcessor final : public juce::AudioProcessor,
                                    public juce::AudioProcessorValueTreeState::Listener
{
public:
    /** Uses the platform's data folder for presets and "settings.xml". */
    KestrinAudioProcessor();

    /** Keeps presets and "settings.xml" in dataFolder, which is created when missing. */
    explicit KestrinAudioProcessor (const juce::File& dataFolder);

    ~KestrinAudioProcessor() override;

    //==============================================================================
    void prepareToPlay (double sampleRate, int samplesPerBlock) override;
    void releaseResources() override;
    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    juce::AudioProcessorParameter* getBypassParameter() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override;
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    /** The current preset's name. */
    const juce::String getProgramName (int) override;
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destData) override;
    /** Restores a state saved by getStateInformation and broadcasts "StateInformationSet". A block
        that isn't such a state, or holds values outside the parameters' ranges, changes nothing. */
    void setStateInformation (const void* data, int sizeInBytes) override;

    void parameterChanged (const juce::String& parameterID, float newValue) override;

    /** Message thread: listeners of the processor's messages. */
    void addActionListener (juce::ActionListener* listener)     { messages.addActionListener (listener); }
    void removeActionListener (juce::ActionListener* listener)  { messages.removeActionListener (listener); }

    //==============================================================================
    /** Sets voice1Midi to voice7Midi in the state, gives each voice its note and rebuilds the
        choke lists. Any integers are kept; a note no MIDI message can carry simply never plays. */
    void setVoiceMidiNotes (int voice1, int voice2, int voice3, int voice4, int voice5, int voice6, int voice7);

    /** Writes the settings tree to "settings.xml" in the data folder. */
    bool saveSettings();

    /** Write only the scale, or only the note map, of the settings tree to "settings.xml". Other
        instances share the file: its other entries stay as they are in the file at that moment. */
    bool saveScaleSetting();
    bool saveNoteMapSetting();

    /** Loads a preset file, keeping the active panel, the note map and the four global settings
        that presets don't carry. Broadcasts "PresetLoaded" on success; on failure changes nothing. */
    bool loadPresetFile (const juce::String& path);

    /** Writes the current preset to path, without the active panel, the note map and the four global
        settings. On success it names the preset after path and broadcasts "PresetSaved"; a failed
        write changes nothing. */
    bool savePresetFile (const juce::String& path);

    /** Guards valueTreeState.state: a host saves or restores it on its own thread while the
        editor works on the message thread. A recursive lock; never taken by the audio thread. */
    const juce::CriticalSection& getStateLock() const noexcept { return stateLock; }

    /** Reads or writes one property of the state tree (presetName, activePanel, voice1Midi...)
        under the state lock. Message thread. */
    juce::var getStateProperty (const juce::Identifier& name) const;
    void setStateProperty (const juce::Identifier& name, const juce::var& newValue);

    //==============================================================================
    juce::AudioProcessorValueTreeState valueTreeState;
    juce::ValueTree settingsTree;
    VoiceManager voiceManager;

    /** Set on the message thread to capture the next played note; cleared by the audio thread when it does. */
    std::atomic<bool> midiLearnArmed { false };
    /** The captured note, written on the audio thread before "MidiNoteLearned" is broadcast. */
    std::atomic<int> learnedMidiNote { 0 };

    const std::array<int, VoiceManager::numVoices> defaultVoiceNotes { 36, 37, 38, 39, 40, 41, 42 };

    const juce::String dataFolderPath;
    const juce::String presetsFolderPath;

private:
    /** What a parameter drives: a sound parameter of a voice, a voice's label or choke group, or a global. */
    struct ParameterTarget
    {
        enum class Kind { sound, label, chokeGroup, phase, obeyNoteOff, oversampling, none };

        Kind kind = Kind::none;
        int voiceIndex = 0;
        VoiceParameter soundParameter = VoiceParameter::decay;
        std::atomic<float>* value = nullptr;
    };

    static constexpr BroadcastMessages::Message midiNoteLearnedMessage { BroadcastMessages::Kind::midiNoteLearned },
                                                stateInformationSetMessage { BroadcastMessages::Kind::stateInformationSet },
                                                settingsLoadedMessage { BroadcastMessages::Kind::settingsLoaded },
                                                presetLoadedMessage { BroadcastMessages::Kind::presetLoaded },
                                                presetSavedMessage { BroadcastMessages::Kind::presetSaved };

    static BusesProperties createBuses();
    static juce::File getDefaultDataFolder();

    void setExtraStateProperties();
    void loadSettings();
    bool writeSettings (bool withScale, bool withNoteMap);
    juce::File getSettingsFile() const;
    void broadcast (BroadcastMessages::Message message);

    void applyParameter (const ParameterTarget& target, float value);
    void pushAllValuesToEngine();
    void applyVoiceNotesFromState();
    int getEffectiveOversamplingFactor() const noexcept;
    void replaceParameterState (const juce::ValueTree& newState);

    void renderVoices (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi) noexcept;
    void captureLearnedNote (const juce::MidiBuffer& midi) noexcept;

    juce::CriticalSection stateLock;
    MessageBroadcaster messages;
    std::map<juce::String, ParameterTarget> parameterTargets;

    std::atomic<float>* bypassValue = nullptr;
    std::atomic<float>* multiOutValue = nullptr;
    std::atomic<float>* oversamplingValue = nullptr;
    std::atomic<float>* offlineQualityValue = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (KestrinAudioProcessor)
};
