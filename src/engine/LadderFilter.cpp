#include "LadderFilter.h"

template <int width>
void LadderFilter<width>::reset (int lane) noexcept
{
    for (auto& state : s)
        state[lane] = 0.0f;
}

template class LadderFilter<Lanes::size>;
