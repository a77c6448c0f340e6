#pragma once

#include <juce_events/juce_events.h>

class KestrinAudioProcessor;

/** Writes the editor scale to the settings file when it runs out; each start gives one write. */
class SaveScaleTimer final : private juce::Timer
{
public:
    explicit SaveScaleTimer (KestrinAudioProcessor& processorToUse);
    ~SaveScaleTimer() override;

    /** (Re)starts the countdown; the scale written is pendingScale as it is when it runs out. */
    using juce::Timer::startTimer;
    using juce::Timer::stopTimer;
    using juce::Timer::isTimerRunning;

private:
    void timerCallback() override;

    KestrinAudioProcessor& processor;

public:
    /** The scale to write, set at every resize. */
    float pendingScale = 1.0f;

private:

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SaveScaleTimer)
};
