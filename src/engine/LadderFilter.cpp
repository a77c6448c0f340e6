#include "LadderFilter.h"

void LadderFilter::reset (int lane) noexcept
{
    for (auto& state : s)
        state[lane] = 0.0f;
}
