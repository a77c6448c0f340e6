#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Why a file that could not be written was refused, as one sentence for the user, found by
    looking at the file and its folder after the failure. */
juce::String describeWriteFailure (const juce::File& target);

/** Tells the user in the look-and-feel's alert that target could not be written, what that means
    (consequence, one sentence) and why; shown over the component without waiting for it to close. */
void showWriteFailure (const juce::File& target, const juce::String& consequence, juce::Component* associatedComponent);
