#pragma once

/** Counts and MIDI conventions shared by the engine, the processor and the parameter layout. */
namespace Engine
{
inline constexpr int numVoices = 7;

/** Choke group 0 is no group; 1 to 4 are groups. */
inline constexpr int numChokeGroups = 4;

/** Channels 2 to 8 each start one voice whatever the note: channel 2 the first, channel 8 the seventh. */
inline constexpr int firstVoiceChannel = 2;

inline bool isVoiceChannel (int channel) noexcept
{
    return channel >= firstVoiceChannel && channel < firstVoiceChannel + numVoices;
}

/** Channels 1 and 9 to 16 play the voices through the note map. */
inline bool isMappedChannel (int channel) noexcept
{
    return ! isVoiceChannel (channel);
}
} // namespace Engine
