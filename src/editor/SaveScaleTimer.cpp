#include "editor/SaveScaleTimer.h"

#include "processor/KestrinAudioProcessor.h"

SaveScaleTimer::SaveScaleTimer (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
SaveScaleTimer::~SaveScaleTimer() = default;
void SaveScaleTimer::timerCallback() { stopTimer(); }
