#include "editor/Navbar.h"

#include "processor/KestrinAudioProcessor.h"

Navbar::Navbar (KestrinAudioProcessor& processorToUse) : processor (processorToUse) {}
Navbar::~Navbar() = default;
void Navbar::paint (juce::Graphics&) {}
void Navbar::resized() {}
void Navbar::buttonClicked (juce::Button*) {}
void Navbar::actionListenerCallback (const juce::String&) {}
