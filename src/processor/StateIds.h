#pragma once

#include <juce_core/juce_core.h>

/** Names in the processor's state tree and settings tree. */
namespace StateIds
{
/** Type of the parameter state tree; also the root tag of host state and preset documents. */
inline constexpr const char* stateType = "PARAMETERS";

inline constexpr const char* presetName = "presetName";
inline constexpr const char* presetPath = "presetPath";
inline constexpr const char* activePanel = "activePanel";

/** "voice" + voiceNumber (1 to 7) + "Midi": a voice's note in the state tree and in the settings tree. */
inline juce::String voiceMidi (int voiceNumber)      { return "voice" + juce::String (voiceNumber) + "Midi"; }

/** "voice" + voiceNumber (1 to 7): a value of activePanel. */
inline juce::String panelName (int voiceNumber)      { return "voice" + juce::String (voiceNumber); }

inline constexpr const char* settingsType = "settings";
inline constexpr const char* scale = "scale";
inline constexpr const char* value = "value";
inline constexpr const char* defaultScale = "1.0";

/** The data folder is the company's, then the product's folder inside the platform's data folder. */
inline constexpr const char* companyFolderName = "Vantrel";
inline constexpr const char* productFolderName = "Tombrel";

inline constexpr const char* initPresetName = "Init";
inline constexpr const char* presetExtension = ".qvtp";
inline constexpr const char* presetsFolderName = "Presets";
inline constexpr const char* settingsFileName = "settings.xml";
} // namespace StateIds
