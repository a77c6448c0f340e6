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

inline constexpr const char* decay = "Decay";
inline constexpr const char* waveform = "Waveform";
inline constexpr const char* tonePitch = "TonePitch";
inline constexpr const char* toneBend = "ToneBend";
inline constexpr const char* bendSweepCurve = "BendSweepCurve";
inline constexpr const char* noiseCutoff = "NoiseCutoff";
inline constexpr const char* noiseResonance = "NoiseResonance";
inline constexpr const char* noiseHPCutoff = "NoiseHPCutoff";
inline constexpr const char* noiseSweep = "NoiseSweep";
inline constexpr const char* noiseMix = "NoiseMix";
inline constexpr const char* lfoRate = "LFORate";
inline constexpr const char* lfoToneDepth = "LFOToneDepth";
inline constexpr const char* lfoNoiseDepth = "LFONoiseDepth";
inline constexpr const char* clickDecay = "ClickDecay";
inline constexpr const char* clickMix = "ClickMix";
inline constexpr const char* saturation = "Saturation";
inline constexpr const char* velocity = "Velocity";
inline constexpr const char* pan = "Pan";
inline constexpr const char* gain = "Gain";
inline constexpr const char* label = "Label";
inline constexpr const char* chokeGroup = "ChokeGroup";

/** The number of voices, whose numbers in IDs run from 1. */
inline constexpr int numVoices = Engine::numVoices;

/** The sound parameters of a voice, in the order of the engine's VoiceParameter and of a voice copy. */
inline constexpr int numSoundSuffixes = VoiceParameters::count;

/** All suffixes of one voice: the sound parameters first, then Label and ChokeGroup. */
inline constexpr std::array<const char*, 21> voiceSuffixes {
    decay, waveform, tonePitch, toneBend, bendSweepCurve, noiseCutoff, noiseResonance, noiseHPCutoff,
    noiseSweep, noiseMix, lfoRate, lfoToneDepth, lfoNoiseDepth, clickDecay, clickMix, saturation,
    velocity, pan, gain, label, chokeGroup
};

inline constexpr int numParameters = (int) globalIds.size() + numVoices * (int) voiceSuffixes.size();

/** "paramVoice" + voiceNumber (1 to 7) + suffix. */
inline juce::String voiceParameterId (int voiceNumber, const char* suffix)
{
    return juce::String (paramVoice) + juce::String (voiceNumber) + suffix;
}
} // namespace ParameterIds
