#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

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
    for processors with AVX2, which render two groups of four at once in 256-bit registers. Both give the same
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
/** The vector types of `width` lanes: 4, the group the voices are rendered in everywhere, or 8, two
    groups side by side, which only the AVX2 build uses: without AVX the compiler splits 256-bit
    vectors into slow pieces. */
template <int width>
struct Vectors;

template <>
struct Vectors<4>
{
    using Float = float __attribute__ ((vector_size (4 * sizeof (float))));
    using Int = int32_t __attribute__ ((vector_size (4 * sizeof (int32_t))));
    using UInt = uint32_t __attribute__ ((vector_size (4 * sizeof (uint32_t))));
};

template <>
struct Vectors<8>
{
    using Float = float __attribute__ ((vector_size (8 * sizeof (float))));
    using Int = int32_t __attribute__ ((vector_size (8 * sizeof (int32_t))));
    using UInt = uint32_t __attribute__ ((vector_size (8 * sizeof (uint32_t))));
};

inline constexpr int size = 4;

using Float = Vectors<size>::Float;
using Int = Vectors<size>::Int;
using UInt = Vectors<size>::UInt;
using Mask = Int;

/** The number of lanes of a vector type, and the other types of that width. */
template <typename V>
inline constexpr int widthOf = (int) (sizeof (V) / sizeof (float));

template <typename V>
using MaskOf = typename Vectors<widthOf<V>>::Int;

template <typename V>
using FloatOf = typename Vectors<widthOf<V>>::Float;

template <typename V = Float>
inline V splat (float value) noexcept               { return V {} + value; }
inline Mask maskOf (bool value) noexcept           { return Mask {} - (value ? 1 : 0); }

/** a where the mask is set, b elsewhere. */
template <typename V>
inline V select (MaskOf<V> m, V a, V b) noexcept     { return (V) ((m & (MaskOf<V>) a) | (~m & (MaskOf<V>) b)); }

/** juce::jmin and juce::jmax, lane by lane. */
template <typename V>
inline V min (V a, V b) noexcept
{
   #if defined (__SSE2__)
    if constexpr (widthOf<V> == 4)
        return (V) _mm_min_ps ((__m128) b, (__m128) a);
    else
   #endif
        return select (b < a, b, a);
}

template <typename V>
inline V max (V a, V b) noexcept
{
   #if defined (__SSE2__)
    if constexpr (widthOf<V> == 4)
        return (V) _mm_max_ps ((__m128) b, (__m128) a);
    else
   #endif
        return select (a < b, b, a);
}

/** v where the mask is set, 0 elsewhere. */
template <typename V>
inline V keep (MaskOf<V> m, V v) noexcept              { return (V) (m & (MaskOf<V>) v); }

/** -v where the mask is set, v elsewhere. */
template <typename V>
inline V negateWhere (MaskOf<V> m, V v) noexcept       { return (V) ((m & (MaskOf<V> {} + INT32_MIN)) ^ (MaskOf<V>) v); }

template <typename V>
inline V limit (float lowest, float highest, V x) noexcept  { return min (max (x, splat<V> (lowest)), splat<V> (highest)); }

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

template <typename V>
inline FloatOf<V> toFloat (V x) noexcept           { return __builtin_convertvector (x, FloatOf<V>); }
inline Int truncate (Float x) noexcept   { return __builtin_convertvector (x, Int); }

/** The fractional part of values that are never negative. */
inline Float fraction (Float x) noexcept { return x - toFloat (truncate (x)); }

//==============================================================================
/** Two groups side by side: the first group's lanes, then the second's. */
template <typename V>
inline auto join (V first, V second) noexcept
{
    static_assert (widthOf<V> == 4);
    return __builtin_shufflevector (first, second, 0, 1, 2, 3, 4, 5, 6, 7);
}

/** The two groups' lanes out of two side by side. */
inline void split (const Vectors<8>::Float& both, Float& first, Float& second) noexcept
{
    first = __builtin_shufflevector (both, both, 0, 1, 2, 3);
    second = __builtin_shufflevector (both, both, 4, 5, 6, 7);
}

inline void split (const Vectors<8>::UInt& both, UInt& first, UInt& second) noexcept
{
    first = __builtin_shufflevector (both, both, 0, 1, 2, 3);
    second = __builtin_shufflevector (both, both, 4, 5, 6, 7);
}

/** The same for the lane classes (Stage<4> and Stage<8>), which hold nothing but lane vectors,
    declared in the same order for every width. Vector by vector, which keeps the copies in registers. */
template <template <int> class Stage>
inline Stage<8> join (const Stage<4>& first, const Stage<4>& second) noexcept
{
    static_assert (std::is_trivially_copyable_v<Stage<4>> && sizeof (Stage<8>) == 2 * sizeof (Stage<4>));
    constexpr auto narrow = sizeof (Float), wide = 2 * narrow;
    const auto* a = reinterpret_cast<const char*> (&first);
    const auto* b = reinterpret_cast<const char*> (&second);
    Stage<8> result;
    auto* out = reinterpret_cast<char*> (&result);

    for (size_t i = 0; i < sizeof (Stage<4>) / narrow; ++i)
    {
        Float x, y;
        std::memcpy (&x, a + i * narrow, narrow);
        std::memcpy (&y, b + i * narrow, narrow);
        const auto both = __builtin_shufflevector (x, y, 0, 1, 2, 3, 4, 5, 6, 7);
        std::memcpy (out + i * wide, &both, wide);
    }

    return result;
}

template <template <int> class Stage>
inline void split (const Stage<8>& both, Stage<4>& first, Stage<4>& second) noexcept
{
    static_assert (std::is_trivially_copyable_v<Stage<4>> && sizeof (Stage<8>) == 2 * sizeof (Stage<4>));
    constexpr auto narrow = sizeof (Float), wide = 2 * narrow;
    const auto* in = reinterpret_cast<const char*> (&both);
    auto* a = reinterpret_cast<char*> (&first);
    auto* b = reinterpret_cast<char*> (&second);

    for (size_t i = 0; i < sizeof (Stage<4>) / narrow; ++i)
    {
        Vectors<8>::Float x;
        Float lower, upper;
        std::memcpy (&x, in + i * wide, wide);
        split (x, lower, upper);
        std::memcpy (a + i * narrow, &lower, narrow);
        std::memcpy (b + i * narrow, &upper, narrow);
    }
}

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
