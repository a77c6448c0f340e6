#include "ExpectedJuceAssertions.h"

#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

#include <atomic>
#include <cstdlib>
#include <iostream>

namespace
{
std::atomic<bool> assertedOutsideTests { false };

/** Where the build keeps JUCE's assertions (JUCE_LOG_ASSERTIONS), each one reaches this logger: one
    inside a test, on any thread, fails that test; one outside every test (set-up, shutdown, or the
    leak detector as the program exits) fails the program. */
class AssertionLogger final : public juce::Logger
{
public:
    void logMessage (const juce::String& message) override
    {
        std::cerr << message << std::endl;

        if (! message.startsWith ("JUCE Assertion failure") || ExpectedJuceAssertions::active())
            return;

        if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr)
            ADD_FAILURE() << message;
        else
            assertedOutsideTests = true;
    }
};

/** Registered before anything that can leak: runs after the leak detector's counters have reported. */
void failIfAssertedOutsideTests()
{
    if (assertedOutsideTests)
    {
        std::cerr << "A JUCE assertion failed outside the tests (see above)" << std::endl;
        std::_Exit (EXIT_FAILURE);
    }
}
} // namespace

int main (int argc, char** argv)
{
    // Never destroyed: the leak detector's counters report while static objects are destroyed.
    static auto* logger = new AssertionLogger();
    juce::Logger::setCurrentLogger (logger);
    std::atexit (failIfAssertedOutsideTests);

    ::testing::InitGoogleTest (&argc, argv);

    // Listing the tests happens while building, where there may be no display.
    if (::testing::GTEST_FLAG (list_tests))
        return RUN_ALL_TESTS();

    auto result = 0;
    {
        // Broadcasts, timers and components need the message manager on this thread.
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
    }

    return assertedOutsideTests ? EXIT_FAILURE : result;
}
