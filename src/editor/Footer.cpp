#include "editor/Footer.h"

#include "processor/KestrinAudioProcessor.h"

Footer::Footer (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
Footer::~Footer() = default;
void Footer::paint (juce::Graphics&) {}
void Footer::resized() {}
