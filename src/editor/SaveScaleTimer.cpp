#include "editor/SaveScaleTimer.h"

#include "processor/KestrinAudioProcessor.h"
#include "processor/StateIds.h"

SaveScaleTimer::SaveScaleTimer (KestrinAudioProcessor& processorToUse)
    : processor (processorToUse)
{
}

SaveScaleTimer::~SaveScaleTimer() = default;

void SaveScaleTimer::timerCallback()
{
    stopTimer();

    processor.settingsTree.getOrCreateChildWithName (StateIds::scale, nullptr)
        .setProperty (StateIds::value, (double) pendingScale, nullptr);

    // A failed write keeps the scale in the tree; the next write of the scale takes it along.
    processor.saveScaleSetting();
}
