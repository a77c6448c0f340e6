#pragma once

#include "engine/EngineConstants.h"
#include "engine/VoiceParameters.h"

#include <juce_core/juce_core.h>

#include <array>

/** Every host parameter ID of the plug-in, in one place. */
namespace ParameterIds
{
inline constexpr const char* paramPhase = "paramPhase";
inline constexpr const char* paramObeyNoteOff = "paramObeyNoteOff";
inline constexpr const char* paramOversampling = "paramOversampling";
inline constexpr const char* paramOfflineQuality = "paramOfflineQuality";
inline constexpr const char* paramMultiOut = "paramMultiOut";
inline constexpr const char* paramBypassGlobal = "paramBypassGlobal";

inline constexpr std::array<const char*, 6> globalIds { paramPhase, paramObeyNoteOff, paramOversampling,
                                                        paramOfflineQuality, paramMultiOut, paramBypassGlobal };

/** Voice parameter IDs are this prefix, the voice number 1 to 7 and a suffix. */
inline constexpr const char* paramVoice = "paramVoice";

/** The sound parameters' suffixes come from the engine's table. */
inline constexpr const char* decay = VoiceParameters::getSuffix (VoiceParameter::decay);
inline constexpr const char* waveform = VoiceParameters::getSuffix (VoiceParameter::waveform);
inline constexpr const char* tonePitch = VoiceParameters::getSuffix (VoiceParameter::tonePitch);
inline constexpr const char* toneBend = VoiceParameters::getSuffix (VoiceParameter::toneBend);
inline constexpr const char* bendSweepCurve = VoiceParameters::getSuffix (VoiceParameter::bendSweepCurve);
inline constexpr const char* noiseCutoff = VoiceParameters::getSuffix (VoiceParameter::noiseCutoff);
inline constexpr const char* noiseResonance = VoiceParameters::getSuffix (VoiceParameter::noiseResonance);
inline constexpr const char* noiseHPCutoff = VoiceParameters::getSuffix (VoiceParameter::noiseHPCutoff);
inline constexpr const char* noiseSweep = VoiceParameters::getSuffix (VoiceParameter::noiseSweep);
inline constexpr const char* noiseMix = VoiceParameters::getSuffix (VoiceParameter::noiseMix);
inline constexpr const char* lfoRate = VoiceParameters::getSuffix (VoiceParameter::lfoRate);
inline constexpr const char* lfoToneDepth = VoiceParameters::getSuffix (VoiceParameter::lfoToneDepth);
inline constexpr const char* lfoNoiseDepth = VoiceParameters::getSuffix (VoiceParameter::lfoNoiseDepth);
inline constexpr const char* clickDecay = VoiceParameters::getSuffix (VoiceParameter::clickDecay);
inline constexpr const char* clickMix = VoiceParameters::getSuffix (VoiceParameter::clickMix);
inline constexpr const char* saturation = VoiceParameters::getSuffix (VoiceParameter::saturation);
inline constexpr const char* velocity = VoiceParameters::getSuffix (VoiceParameter::velocity);
inline constexpr const char* pan = VoiceParameters::getSuffix (VoiceParameter::pan);
inline constexpr const char* gain = VoiceParameters::getSuffix (VoiceParameter::gain);
inline constexpr const char* label = "Label";
inline constexpr const char* chokeGroup = "ChokeGroup";

/** The number of voices, whose numbers in IDs run from 1. */
inline constexpr int numVoices = Engine::numVoices;

/** The sound parameters of a voice, in the order of the engine's table and of a voice copy. */
inline constexpr int numSoundSuffixes = VoiceParameters::count;

/** All suffixes of one voice: the sound parameters in the order of the engine's table, then Label and ChokeGroup. */
inline constexpr std::array<const char*, numSoundSuffixes + 2> voiceSuffixes = []
{
    std::array<const char*, numSoundSuffixes + 2> suffixes {};

    for (size_t i = 0; i < VoiceParameters::table.size(); ++i)
        suffixes[i] = VoiceParameters::table[i].suffix;

    suffixes[numSoundSuffixes] = label;
    suffixes[numSoundSuffixes + 1] = chokeGroup;
    return suffixes;
}();

inline constexpr int numParameters = (int) globalIds.size() + numVoices * (int) voiceSuffixes.size();

/** "paramVoice" + voiceNumber (1 to 7) + suffix. */
inline juce::String voiceParameterId (int voiceNumber, const char* suffix)
{
    return juce::String (paramVoice) + juce::String (voiceNumber) + suffix;
}
} // namespace ParameterIds
