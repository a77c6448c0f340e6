#include "ExpectedJuceAssertions.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <thread>

// Where the build keeps the framework's assertions (the sanitizer builds), one that fires during a
// test fails that test, whichever thread it fires on, unless the test expects it.
#if JUCE_LOG_ASSERTIONS
TEST (JuceAssertions, FailTheTestThatHitsThemOnAnyThreadUnlessExpected)
{
    EXPECT_NONFATAL_FAILURE (jassertfalse, "JUCE Assertion failure in JuceAssertionTests.cpp");
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS (std::thread ([] { jassertfalse; }).join(), "JUCE Assertion failure");

    const ExpectedJuceAssertions expected;
    jassertfalse;
}
#endif
