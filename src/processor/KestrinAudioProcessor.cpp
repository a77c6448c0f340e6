#include "KestrinAudioProcessor.h"
#include "FactoryKit.h"
#include "NumberText.h"
#include "ParameterIds.h"
#include "ParameterLayout.h"
#include "StateDocuments.h"
#include "StateIds.h"
#include "editor/KestrinAudioProcessorEditor.h"

namespace
{
/** Global settings that belong to the session, not to a sound: presets neither store nor change them. */
constexpr std::array<const char*, 4> sessionParameters { ParameterIds::paramBypassGlobal, ParameterIds::paramOversampling,
                                                         ParameterIds::paramOfflineQuality, ParameterIds::paramMultiOut };

constexpr std::array<int, 3> oversamplingFactors { 1, 2, 4 };
constexpr int numEmptyAudioUnitOutputs = 8;
constexpr int offlineBestFactor = 4;

bool isOn (const std::atomic<float>* value) noexcept
{
    return value->load (std::memory_order_relaxed) >= 0.5f;
}
} // namespace

//==============================================================================
KestrinAudioProcessor::KestrinAudioProcessor()
    : KestrinAudioProcessor (getDefaultDataFolder())
{
}

KestrinAudioProcessor::KestrinAudioProcessor (const juce::File& dataFolder)
    : juce::AudioProcessor (createBuses()),
      valueTreeState (*this, nullptr, StateIds::stateType, ParameterLayout::create()),
      settingsTree (StateIds::settingsType),
      dataFolderPath (dataFolder.getFullPathName()),
      presetsFolderPath (dataFolder.getChildFile (StateIds::presetsFolderName).getFullPathName()),
      messages (voiceManager.getMessageDispatcher())
{
    using Kind = ParameterTarget::Kind;

    parameterTargets[ParameterIds::paramPhase] = { Kind::phase };
    parameterTargets[ParameterIds::paramObeyNoteOff] = { Kind::obeyNoteOff };
    parameterTargets[ParameterIds::paramOversampling] = { Kind::oversampling };
    parameterTargets[ParameterIds::paramOfflineQuality] = { Kind::oversampling };
    parameterTargets[ParameterIds::paramMultiOut] = { Kind::none };
    parameterTargets[ParameterIds::paramBypassGlobal] = { Kind::none };

    for (int voiceIndex = 0; voiceIndex < VoiceManager::numVoices; ++voiceIndex)
    {
        for (const auto& info : VoiceParameters::table)
            parameterTargets[ParameterIds::voiceParameterId (voiceIndex + 1, info.suffix)] = { Kind::sound, voiceIndex, info.parameter };

        parameterTargets[ParameterIds::voiceParameterId (voiceIndex + 1, ParameterIds::label)] = { Kind::label, voiceIndex };
        parameterTargets[ParameterIds::voiceParameterId (voiceIndex + 1, ParameterIds::chokeGroup)] = { Kind::chokeGroup, voiceIndex };
    }

    for (auto& [parameterId, target] : parameterTargets)
    {
        target.value = valueTreeState.getRawParameterValue (parameterId);
        jassert (target.value != nullptr);
        valueTreeState.addParameterListener (parameterId, this);
    }

    bypassValue = valueTreeState.getRawParameterValue (ParameterIds::paramBypassGlobal);
    multiOutValue = valueTreeState.getRawParameterValue (ParameterIds::paramMultiOut);
    oversamplingValue = valueTreeState.getRawParameterValue (ParameterIds::paramOversampling);
    offlineQualityValue = valueTreeState.getRawParameterValue (ParameterIds::paramOfflineQuality);

    // Without the folders saves fail later and report it; nothing else depends on them.
    dataFolder.createDirectory();
    juce::File (presetsFolderPath).createDirectory();

    setExtraStateProperties();
    applyVoiceNotesFromState();
    pushAllValuesToEngine();

    settingsTree.appendChild (juce::ValueTree (StateIds::scale).setProperty (StateIds::value, StateIds::defaultScale, nullptr), nullptr);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        settingsTree.appendChild (juce::ValueTree (StateIds::voiceMidi (voiceNumber))
                                      .setProperty (StateIds::value, defaultVoiceNotes[(size_t) voiceNumber - 1], nullptr),
                                  nullptr);

    loadSettings();

    FactoryKit::apply (valueTreeState);
}

KestrinAudioProcessor::~KestrinAudioProcessor()
{
    // Hosts may destroy the processor on a thread of their own: no delivery may run from here on.
    voiceManager.getMessageDispatcher().shutDown();

    for (auto& entry : parameterTargets)
        valueTreeState.removeParameterListener (entry.first, this);
}

juce::AudioProcessor::BusesProperties KestrinAudioProcessor::createBuses()
{
    auto buses = BusesProperties().withOutput ("Mixed", juce::AudioChannelSet::stereo(), true);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        buses = buses.withOutput ("Voice " + juce::String (voiceNumber), juce::AudioChannelSet::stereo(), false);

    // An Audio Unit offers eight more outputs, which stay silent.
    if (juce::PluginHostType::getPluginLoadedAs() == wrapperType_AudioUnit)
        for (int i = 0; i < numEmptyAudioUnitOutputs; ++i)
            buses = buses.withOutput ("Empty", juce::AudioChannelSet::stereo(), false);

    return buses;
}

juce::File KestrinAudioProcessor::getDefaultDataFolder()
{
   #if JUCE_MAC
    const auto base = juce::File ("/Library/Application Support");
   #else
    const auto base = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
   #endif

    return base.getChildFile (StateIds::companyFolderName).getChildFile (StateIds::productFolderName);
}

void KestrinAudioProcessor::setExtraStateProperties()
{
    const juce::ScopedLock lock (stateLock);
    auto& state = valueTreeState.state;
    state.setProperty (StateIds::presetName, StateIds::initPresetName, nullptr);
    state.setProperty (StateIds::presetPath,
                       juce::File (presetsFolderPath)
                           .getChildFile (juce::String (StateIds::initPresetName) + StateIds::presetExtension)
                           .getFullPathName(),
                       nullptr);
    state.setProperty (StateIds::activePanel, StateIds::panelName (1), nullptr);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        state.setProperty (StateIds::voiceMidi (voiceNumber), defaultVoiceNotes[(size_t) voiceNumber - 1], nullptr);
}

void KestrinAudioProcessor::broadcast (BroadcastMessages::Message message)
{
    messages.post (message);
}

//==============================================================================
void KestrinAudioProcessor::parameterChanged (const juce::String& parameterID, float newValue)
{
    const auto found = parameterTargets.find (parameterID);

    if (found == parameterTargets.end())
        return;

    applyParameter (found->second, newValue);

    if (found->second.kind == ParameterTarget::Kind::label)
        broadcast ({ BroadcastMessages::Kind::voiceLabelChanged, found->second.voiceIndex });
}

void KestrinAudioProcessor::applyParameter (const ParameterTarget& target, float value)
{
    using Kind = ParameterTarget::Kind;

    switch (target.kind)
    {
        case Kind::sound:
            if (auto* voice = voiceManager.getVoice (target.voiceIndex))
                voice->setParameter (target.soundParameter, value);
            break;

        case Kind::chokeGroup:
            voiceManager.setChokeGroup (target.voiceIndex, juce::roundToInt (value));
            break;

        case Kind::phase:
            voiceManager.setPhaseResetMode (juce::roundToInt (value));
            break;

        case Kind::obeyNoteOff:
            voiceManager.setObeyNoteOff (value >= 0.5f);
            break;

        case Kind::oversampling:
            voiceManager.setOversamplingFactor (getEffectiveOversamplingFactor());
            break;

        case Kind::label:
        case Kind::none:
            break;
    }
}

void KestrinAudioProcessor::pushAllValuesToEngine()
{
    for (auto& entry : parameterTargets)
        applyParameter (entry.second, entry.second.value->load());
}

void KestrinAudioProcessor::applyVoiceNotesFromState()
{
    const juce::ScopedLock lock (stateLock);

    for (int voiceIndex = 0; voiceIndex < VoiceManager::numVoices; ++voiceIndex)
    {
        const auto note = valueTreeState.state.getProperty (StateIds::voiceMidi (voiceIndex + 1),
                                                            defaultVoiceNotes[(size_t) voiceIndex]);
        voiceManager.getVoice (voiceIndex)->setMidiNote ((int) note);
    }
}

int KestrinAudioProcessor::getEffectiveOversamplingFactor() const noexcept
{
    if (isNonRealtime() && isOn (offlineQualityValue))
        return offlineBestFactor;

    const auto index = juce::jlimit (0, (int) oversamplingFactors.size() - 1,
                                     juce::roundToInt (oversamplingValue->load (std::memory_order_relaxed)));
    return oversamplingFactors[(size_t) index];
}

void KestrinAudioProcessor::replaceParameterState (const juce::ValueTree& newState)
{
    const juce::ScopedLock lock (stateLock);
    StateDocuments::replaceState (valueTreeState, newState);

    // Listeners only hear values that changed; the engine must hold all of them.
    applyVoiceNotesFromState();
    pushAllValuesToEngine();
}

//==============================================================================
void KestrinAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    applyVoiceNotesFromState();
    pushAllValuesToEngine();
    voiceManager.prepareToPlay (sampleRate, samplesPerBlock);
}

void KestrinAudioProcessor::releaseResources()
{
    voiceManager.releaseResources();
}

bool KestrinAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    for (const auto& input : layouts.inputBuses)
        if (! input.isDisabled())
            return false;

    if (layouts.getMainOutputChannelSet() != juce::AudioChannelSet::stereo())
        return false;

    for (int i = 1; i < layouts.outputBuses.size(); ++i)
        if (! layouts.outputBuses.getReference (i).isDisabled()
            && layouts.outputBuses.getReference (i) != juce::AudioChannelSet::stereo())
            return false;

    return true;
}

void KestrinAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    buffer.clear();
    voiceManager.setBypassed (isOn (bypassValue));
    voiceManager.setOversamplingFactor (getEffectiveOversamplingFactor());
    renderVoices (buffer, midi);
    captureLearnedNote (midi);
}

void KestrinAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    buffer.clear();
    voiceManager.setBypassed (true);
    renderVoices (buffer, midi);
    captureLearnedNote (midi);
}

void KestrinAudioProcessor::renderVoices (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi) noexcept
{
    // The main output is always stereo and comes first in the buffer.
    if (buffer.getNumChannels() < 2)
        return;

    const StereoTarget mixed { buffer.getWritePointer (0), buffer.getWritePointer (1) };
    std::array<StereoTarget, VoiceManager::numVoices> ownOutputs {};

    if (isOn (multiOutValue))
    {
        for (int voiceIndex = 0; voiceIndex < VoiceManager::numVoices; ++voiceIndex)
        {
            // A voice whose output the host hasn't enabled plays into the mix rather than nowhere.
            const auto* bus = getBus (false, voiceIndex + 1);

            if (bus == nullptr || ! bus->isEnabled() || bus->getNumberOfChannels() != 2)
                continue;

            const auto left = bus->getChannelIndexInProcessBlockBuffer (0);

            if (left >= 0 && left + 1 < buffer.getNumChannels())
                ownOutputs[(size_t) voiceIndex] = { buffer.getWritePointer (left), buffer.getWritePointer (left + 1) };
        }
    }

    voiceManager.renderBlock (midi, buffer.getNumSamples(), mixed, ownOutputs);
}

void KestrinAudioProcessor::captureLearnedNote (const juce::MidiBuffer& midi) noexcept
{
    if (! midiLearnArmed.load())
        return;

    constexpr juce::uint8 statusMask = 0xf0, noteOnStatus = 0x90;
    int lastNote = -1;

    for (const auto event : midi)
        if (event.numBytes >= 3 && (event.data[0] & statusMask) == noteOnStatus && event.data[2] > 0)
            lastNote = event.data[1];

    if (lastNote < 0)
        return;

    learnedMidiNote.store (lastNote);

    // The settings dialog may have disarmed meanwhile; then nobody waits for the message.
    if (midiLearnArmed.exchange (false))
        broadcast (midiNoteLearnedMessage);
}

//==============================================================================
juce::AudioProcessorParameter* KestrinAudioProcessor::getBypassParameter() const
{
    // The LV2 wrapper would set this from the host's "enabled" port before every block, undoing
    // the editor's bypass button; without it, a disabled LV2 instance renders bypassed all the same.
    if (wrapperType == wrapperType_LV2)
        return nullptr;

    return valueTreeState.getParameter (ParameterIds::paramBypassGlobal);
}

juce::AudioProcessorEditor* KestrinAudioProcessor::createEditor()
{
    return new KestrinAudioProcessorEditor (*this);
}

const juce::String KestrinAudioProcessor::getName() const
{
    return JucePlugin_Name;
}

const juce::String KestrinAudioProcessor::getProgramName (int)
{
    const juce::ScopedLock lock (stateLock);
    return valueTreeState.state.getProperty (StateIds::presetName).toString();
}

//==============================================================================
void KestrinAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const juce::ScopedLock lock (stateLock);

    if (const auto xml = valueTreeState.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void KestrinAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto xml = StateDocuments::readStateBlock (data, sizeInBytes);
    auto newState = xml != nullptr ? StateDocuments::createParameterState (*xml, valueTreeState) : juce::ValueTree();

    if (! newState.isValid())
        return;

    const juce::ScopedLock lock (stateLock);
    const auto& current = valueTreeState.state;

    // A state saved without some of the extra properties keeps their current values.
    juce::StringArray extraProperties { StateIds::presetName, StateIds::presetPath, StateIds::activePanel };

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        extraProperties.add (StateIds::voiceMidi (voiceNumber));

    for (const auto& name : extraProperties)
        if (! newState.hasProperty (name))
            newState.setProperty (name, current.getProperty (name), nullptr);

    replaceParameterState (newState);
    broadcast (stateInformationSetMessage);
}

//==============================================================================
juce::var KestrinAudioProcessor::getStateProperty (const juce::Identifier& name) const
{
    const juce::ScopedLock lock (stateLock);
    return valueTreeState.state.getProperty (name);
}

void KestrinAudioProcessor::setStateProperty (const juce::Identifier& name, const juce::var& newValue)
{
    const juce::ScopedLock lock (stateLock);
    valueTreeState.state.setProperty (name, newValue, nullptr);
}

//==============================================================================
void KestrinAudioProcessor::setVoiceMidiNotes (int voice1, int voice2, int voice3, int voice4, int voice5, int voice6, int voice7)
{
    const std::array<int, VoiceManager::numVoices> notes { voice1, voice2, voice3, voice4, voice5, voice6, voice7 };
    const juce::ScopedLock lock (stateLock);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        valueTreeState.state.setProperty (StateIds::voiceMidi (voiceNumber), notes[(size_t) voiceNumber - 1], nullptr);

    applyVoiceNotesFromState();
}

void KestrinAudioProcessor::loadSettings()
{
    const auto xml = StateDocuments::readFile (getSettingsFile());
    const auto settings = xml != nullptr ? StateDocuments::readSettings (*xml) : std::nullopt;

    if (! settings.has_value())
        return;

    // The number that was read, not its text, which may hold anything around the number.
    if (settings->scale.has_value())
        settingsTree.getChildWithName (StateIds::scale).setProperty (StateIds::value, *settings->scale, nullptr);

    std::array<int, VoiceManager::numVoices> notes {};

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
    {
        auto child = settingsTree.getChildWithName (StateIds::voiceMidi (voiceNumber));

        if (const auto& saved = settings->notes[(size_t) voiceNumber - 1])
            child.setProperty (StateIds::value, *saved, nullptr);

        notes[(size_t) voiceNumber - 1] = child.getProperty (StateIds::value);
    }

    setVoiceMidiNotes (notes[0], notes[1], notes[2], notes[3], notes[4], notes[5], notes[6]);

    broadcast (settingsLoadedMessage);
}

bool KestrinAudioProcessor::saveSettings()
{
    return writeSettings (true, true);
}

bool KestrinAudioProcessor::saveScaleSetting()
{
    return writeSettings (true, false);
}

bool KestrinAudioProcessor::saveNoteMapSetting()
{
    return writeSettings (false, true);
}

bool KestrinAudioProcessor::writeSettings (bool withScale, bool withNoteMap)
{
    // Other instances share the file and may have written it since this one read it: the entries
    // this write is not for are taken from the file as it is now.
    const auto file = getSettingsFile();
    const auto current = StateDocuments::readFile (file);
    auto settings = (current != nullptr ? StateDocuments::readSettings (*current) : std::nullopt).value_or (StateDocuments::Settings {});

    // A scale that the file's reader would refuse is not written: the file keeps its own.
    if (withScale)
        if (const auto scale = NumberText::readDecimal (settingsTree.getChildWithName (StateIds::scale)[StateIds::value].toString());
            scale.has_value() && *scale > 0.0)
            settings.scale = scale;

    for (int voiceNumber = 1; withNoteMap && voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        if (const auto child = settingsTree.getChildWithName (StateIds::voiceMidi (voiceNumber)); child.hasProperty (StateIds::value))
            settings.notes[(size_t) voiceNumber - 1] = (int) child[StateIds::value];

    return StateDocuments::writeFile (*StateDocuments::createSettingsXml (settings), file);
}

juce::File KestrinAudioProcessor::getSettingsFile() const
{
    return juce::File (dataFolderPath).getChildFile (StateIds::settingsFileName);
}

bool KestrinAudioProcessor::loadPresetFile (const juce::String& path)
{
    if (! StateDocuments::isPresetPath (path))
        return false;

    const juce::File file (path);
    const auto xml = StateDocuments::readFile (file);
    auto newState = xml != nullptr ? StateDocuments::createParameterState (*xml, valueTreeState) : juce::ValueTree();

    if (! newState.isValid())
        return false;

    const juce::ScopedLock lock (stateLock);
    const auto& current = valueTreeState.state;

    newState.setProperty (StateIds::activePanel, current.getProperty (StateIds::activePanel), nullptr);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        newState.setProperty (StateIds::voiceMidi (voiceNumber), current.getProperty (StateIds::voiceMidi (voiceNumber)), nullptr);

    for (const auto* parameterId : sessionParameters)
        StateDocuments::setParameterValue (newState, parameterId, valueTreeState.getRawParameterValue (parameterId)->load());

    // A file without a name is named after itself rather than leaving the preset nameless.
    if (! newState.hasProperty (StateIds::presetName))
        newState.setProperty (StateIds::presetName, file.getFileNameWithoutExtension(), nullptr);

    newState.setProperty (StateIds::presetPath, path, nullptr);

    replaceParameterState (newState);
    broadcast (presetLoadedMessage);
    return true;
}

bool KestrinAudioProcessor::savePresetFile (const juce::String& path)
{
    if (! StateDocuments::isPresetPath (path))
        return false;

    const juce::File file (path);
    const auto name = file.getFileNameWithoutExtension();
    const juce::ScopedLock lock (stateLock);

    auto document = valueTreeState.copyState();
    document.setProperty (StateIds::presetName, name, nullptr);
    document.removeProperty (StateIds::presetPath, nullptr);
    document.removeProperty (StateIds::activePanel, nullptr);

    for (int voiceNumber = 1; voiceNumber <= VoiceManager::numVoices; ++voiceNumber)
        document.removeProperty (StateIds::voiceMidi (voiceNumber), nullptr);

    for (const auto* parameterId : sessionParameters)
        StateDocuments::removeParameter (document, parameterId);

    const auto xml = document.createXml();

    // Renamed only once the file is there: a failed save must not show a name that no file holds.
    if (xml == nullptr || ! StateDocuments::writeFile (*xml, file))
        return false;

    valueTreeState.state.setProperty (StateIds::presetPath, path, nullptr);
    valueTreeState.state.setProperty (StateIds::presetName, name, nullptr);
    broadcast (presetSavedMessage);
    return true;
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new KestrinAudioProcessor();
}
