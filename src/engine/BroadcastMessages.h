#pragma once

#include <juce_core/juce_core.h>

/**
    The short texts that the voices and the processor broadcast (see MessageBroadcaster): written
    by toText and read back by read, and nowhere else. Every listener of a broadcaster receives all
    of its messages and picks out its own.
*/
namespace BroadcastMessages
{
enum class Kind
{
    none,                   // a text that toText never writes
    voiceNoteOn,            // "voice" + voice index 0 to 6 + "NoteOn": a voice started a note
    voiceDecayEnd,          // "voice" + voice index + "DecayEnd": its envelope reached its end
    voiceLabelChanged,      // "voiceLabelChanged" + voice number 1 to 7 (index + 1)
    midiNoteLearned,        // "MidiNoteLearned"
    stateInformationSet,    // "StateInformationSet": the host restored a state
    settingsLoaded,         // "SettingsLoaded"
    presetLoaded,           // "PresetLoaded"
    presetSaved             // "PresetSaved"; stays the last
};

struct Message
{
    Kind kind = Kind::none;

    /** 0 to 6 for the three kinds about one voice, whatever number their text carries; else -1. */
    int voiceIndex = -1;

    bool operator== (const Message& other) const noexcept { return kind == other.kind && voiceIndex == other.voiceIndex; }
};

/** The text of a message. A kind about one voice needs its voiceIndex, 0 to 6; the others ignore it. */
juce::String toText (Kind kind, int voiceIndex = -1);

/** What a received text says: Kind::none for any text that toText does not write. */
Message read (const juce::String& text);
} // namespace BroadcastMessages
