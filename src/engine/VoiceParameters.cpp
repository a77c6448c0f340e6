#include "VoiceParameters.h"

#include <cmath>

namespace VoiceParameters
{
float limit (VoiceParameter parameter, float value) noexcept
{
    const auto& range = getRange (parameter);

    if (! std::isfinite (value))
        return range.defaultValue;

    return value < range.minimum ? range.minimum : (value > range.maximum ? range.maximum : value);
}
} // namespace VoiceParameters
