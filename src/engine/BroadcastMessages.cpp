#include "BroadcastMessages.h"
#include "EngineConstants.h"

#include <vector>

namespace BroadcastMessages
{
namespace
{
bool isAboutOneVoice (Kind kind) noexcept
{
    return kind == Kind::voiceNoteOn || kind == Kind::voiceDecayEnd || kind == Kind::voiceLabelChanged;
}

struct Entry
{
    Message message;
    juce::String text;
};

/** Every text that toText writes, with what it says: reading looks a text up here, so that it
    reads exactly what was written. */
const std::vector<Entry>& everyMessage()
{
    static const auto entries = []
    {
        std::vector<Entry> all;

        for (auto k = (int) Kind::none + 1; k <= (int) Kind::presetSaved; ++k)
        {
            const auto kind = (Kind) k;

            if (! isAboutOneVoice (kind))
                all.push_back ({ { kind }, toText (kind) });
            else
                for (int voiceIndex = 0; voiceIndex < Engine::numVoices; ++voiceIndex)
                    all.push_back ({ { kind, voiceIndex }, toText (kind, voiceIndex) });
        }

        return all;
    }();

    return entries;
}
} // namespace

juce::String toText (Kind kind, int voiceIndex)
{
    jassert (! isAboutOneVoice (kind) || juce::isPositiveAndBelow (voiceIndex, Engine::numVoices));

    switch (kind)
    {
        case Kind::voiceNoteOn:         return "voice" + juce::String (voiceIndex) + "NoteOn";
        case Kind::voiceDecayEnd:       return "voice" + juce::String (voiceIndex) + "DecayEnd";
        case Kind::voiceLabelChanged:   return "voiceLabelChanged" + juce::String (voiceIndex + 1);
        case Kind::midiNoteLearned:     return "MidiNoteLearned";
        case Kind::stateInformationSet: return "StateInformationSet";
        case Kind::settingsLoaded:      return "SettingsLoaded";
        case Kind::presetLoaded:        return "PresetLoaded";
        case Kind::presetSaved:         return "PresetSaved";
        case Kind::none:                break;
    }

    return {};
}

Message read (const juce::String& text)
{
    for (const auto& entry : everyMessage())
        if (entry.text == text)
            return entry.message;

    return {};
}
} // namespace BroadcastMessages
