#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // Listing the tests happens while building, where there may be no display.
    if (::testing::GTEST_FLAG (list_tests))
        return RUN_ALL_TESTS();

    // Broadcasts, timers and components need the message manager on this thread.
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
