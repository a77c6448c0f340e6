#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined (__SSE2__)
 #include <emmintrin.h>
#endif

/**
    Four voices side by side in one vector, so that each instruction of the inner loops works on
    all of them at once. Built on the vector extensions of GCC and Clang, which map to SSE on x86
    and NEON on ARM; every lane follows IEEE arithmetic exactly as the same scalar code would.

    Comparisons give a Mask: all bits set in the lanes where they hold.
*/
/** Where the platform can pick code by processor, the voices' inner loop is built a second time
    for processors with AVX2, which do the same work in fewer instructions. Both give the same
    samples to the bit, so neither may fuse a multiply and an add into one FMA instruction, which
    rounds once instead of twice: this build leaves FMA out, and the project is built without
    contracted multiply-adds (CMakeLists.txt), which also keeps ARM's samples the same. */
#if defined (__x86_64__) && (defined (__GNUC__) || defined (__clang__))
 #define TOMBREL_BUILD_FOR_AVX2 1
 #define TOMBREL_AVX2_TARGET __attribute__ ((target ("avx2")))
#else
 #define TOMBREL_BUILD_FOR_AVX2 0
 #define TOMBREL_AVX2_TARGET
#endif

namespace Lanes
{
inline constexpr int size = 4;

using Float = float __attribute__ ((vector_size (size * sizeof (float))));
using Int = int32_t __attribute__ ((vector_size (size * sizeof (int32_t))));
using UInt = uint32_t __attribute__ ((vector_size (size * sizeof (uint32_t))));
using Mask = Int;

inline Float splat (float value) noexcept          { return Float {} + value; }
inline Mask maskOf (bool value) noexcept           { return Mask {} - (value ? 1 : 0); }

/** a where the mask is set, b elsewhere. */
inline Float select (Mask m, Float a, Float b) noexcept   { return (Float) ((m & (Int) a) | (~m & (Int) b)); }
inline UInt select (Mask m, UInt a, UInt b) noexcept      { return (UInt) ((m & (Int) a) | (~m & (Int) b)); }
inline Mask select (Mask m, Mask a, Mask b) noexcept      { return (m & a) | (~m & b); }

/** juce::jmin and juce::jmax, lane by lane. */
inline Float min (Float a, Float b) noexcept
{
   #if defined (__SSE2__)
    return (Float) _mm_min_ps ((__m128) b, (__m128) a);
   #else
    return select (b < a, b, a);
   #endif
}

inline Float max (Float a, Float b) noexcept
{
   #if defined (__SSE2__)
    return (Float) _mm_max_ps ((__m128) b, (__m128) a);
   #else
    return select (a < b, b, a);
   #endif
}

/** v where the mask is set, 0 elsewhere. */
inline Float keep (Mask m, Float v) noexcept               { return (Float) (m & (Int) v); }

/** -v where the mask is set, v elsewhere. */
inline Float negateWhere (Mask m, Float v) noexcept        { return (Float) ((m & (Int {} + INT32_MIN)) ^ (Int) v); }

inline Float limit (float lowest, float highest, Float x) noexcept  { return min (max (x, splat (lowest)), splat (highest)); }

inline Float sqrt (Float x) noexcept
{
   #if defined (__SSE2__)
    return (Float) _mm_sqrt_ps ((__m128) x);
   #else
    for (int i = 0; i < size; ++i)
        x[i] = std::sqrt (x[i]);

    return x;
   #endif
}

inline Float toFloat (Int x) noexcept    { return __builtin_convertvector (x, Float); }
inline Int truncate (Float x) noexcept   { return __builtin_convertvector (x, Int); }

/** The fractional part of values that are never negative. */
inline Float fraction (Float x) noexcept { return x - toFloat (truncate (x)); }

/** Bit i set where lane i of the mask is set. */
inline uint32_t bits (Mask m) noexcept
{
   #if defined (__SSE2__)
    return (uint32_t) _mm_movemask_ps ((__m128) m);
   #else
    uint32_t result = 0;

    for (int i = 0; i < size; ++i)
        result |= m[i] != 0 ? 1u << i : 0u;

    return result;
   #endif
}

inline bool any (Mask m) noexcept { return bits (m) != 0; }

/** Which build of the inner loops runs; chosen when the engine is prepared, not per sample. */
enum class Path
{
    portable,
    avx2
};

inline bool canRunAvx2() noexcept
{
   #if TOMBREL_BUILD_FOR_AVX2
    return __builtin_cpu_supports ("avx2");
   #else
    return false;
   #endif
}

/** The fastest path this processor runs, or the portable one when the environment variable
    TOMBREL_ENGINE_PATH is "portable" (the tests run both). */
inline Path fastestPath() noexcept
{
    if (const auto* forced = std::getenv ("TOMBREL_ENGINE_PATH"); forced != nullptr && std::strcmp (forced, "portable") == 0)
        return Path::portable;

    return canRunAvx2() ? Path::avx2 : Path::portable;
}

inline Mask laneMask (int lane) noexcept
{
    Mask m {};
    m[lane] = -1;
    return m;
}
} // namespace Lanes
