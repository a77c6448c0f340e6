#pragma once

#include <atomic>

/** While one lives, the framework's assertions are expected rather than failing the test: for a test
    that plays a host breaking the framework's rules on purpose, to show that the plug-in copes. */
class ExpectedJuceAssertions final
{
public:
    ExpectedJuceAssertions() noexcept  { ++depth; }
    ~ExpectedJuceAssertions() noexcept { --depth; }

    static bool active() noexcept { return depth > 0; }

    ExpectedJuceAssertions (const ExpectedJuceAssertions&) = delete;
    ExpectedJuceAssertions& operator= (const ExpectedJuceAssertions&) = delete;

private:
    inline static std::atomic<int> depth { 0 };
};
