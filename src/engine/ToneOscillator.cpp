#include "ToneOscillator.h"

void ToneOscillator::setPhase (float newPhase) noexcept
{
    phase = newPhase - std::floor (newPhase);
}
