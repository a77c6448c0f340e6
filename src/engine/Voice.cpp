#include "Voice.h"

namespace
{
juce::StringArray voiceMessages (int index)
{
    return { "voice" + juce::String (index) + "NoteOn", "voice" + juce::String (index) + "DecayEnd" };
}
}

Voice::Voice (int voiceIndex)
    : AsyncMessageBroadcaster (voiceMessages (voiceIndex)), index (voiceIndex)
{
}

Voice::~Voice() = default;

void Voice::setParameter (VoiceParameter, float) noexcept {}
float Voice::getParameter (VoiceParameter) const noexcept { return 0.0f; }
void Voice::setMidiNote (int) noexcept {}
int Voice::getMidiNote() const noexcept { return 0; }
void Voice::noteOn (int, bool, float) {}
