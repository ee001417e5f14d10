#pragma once
// Character classes and small scanning helpers shared by the encoder, the
// decoder and the page conversions. Everything here works on UTF-16 code units
// and is inline because it sits inside the per-character loops.

#include "engine/engine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Small helpers of the per-unit loops; the compiler's own choice leaves some
// of them as calls, which costs more than their work.
#if defined(__GNUC__)
#define MORVANE_ALWAYS_INLINE [[gnu::always_inline]] inline
#else
#define MORVANE_ALWAYS_INLINE inline
#endif

namespace morvane::engine::detail {

inline constexpr std::size_t kNotFound = std::u16string_view::npos;

/// Largest Unicode scalar value; a reference above it names no character.
inline constexpr char32_t kLastCodePoint = 0x10FFFF;

constexpr bool IsDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

constexpr bool IsHexDigit(char16_t c) {
    return IsDecimalDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

/// Value 0..15 of a code unit for which IsHexDigit holds.
constexpr unsigned HexValue(char16_t c) {
    if (c <= u'9') {
        return static_cast<unsigned>(c - u'0');
    }
    return static_cast<unsigned>((c | 0x20) - u'a' + 10);
}

/// Position of the first place in s[from, n) where one of `prefixes` begins,
/// or kNotFound. A prefix must lie wholly inside the text to count. Eight
/// places at a time where the processor allows it, so that a text full of a
/// prefix's first unit costs no more than any other.
template <std::size_t L, std::size_t N>
inline std::size_t FindFirstOf(const char16_t* s, std::size_t from, std::size_t n,
                               const std::array<std::array<char16_t, L>, N>& prefixes) {
    static_assert(L >= 1 && N >= 1);
    std::size_t i = from;
#if defined(__SSE2__)
    __m128i wanted[N][L];
    for (std::size_t p = 0; p < N; ++p) {
        for (std::size_t l = 0; l < L; ++l) {
            wanted[p][l] = _mm_set1_epi16(static_cast<short>(prefixes[p][l]));
        }
    }
    for (; i < n && n - i >= 8 + L - 1; i += 8) {
        __m128i blocks[L];
        for (std::size_t l = 0; l < L; ++l) {
            blocks[l] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + l));
        }
        __m128i hits = _mm_setzero_si128();
        for (std::size_t p = 0; p < N; ++p) {
            __m128i all = _mm_cmpeq_epi16(blocks[0], wanted[p][0]);
            for (std::size_t l = 1; l < L; ++l) {
                all = _mm_and_si128(all, _mm_cmpeq_epi16(blocks[l], wanted[p][l]));
            }
            hits = _mm_or_si128(hits, all);
        }
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
        }
    }
#endif
    for (; i < n && n - i >= L; ++i) {
        for (const auto& prefix : prefixes) {
            if (std::equal(prefix.begin(), prefix.end(), s + i)) {
                return i;
            }
        }
    }
    return kNotFound;
}

/// Position of the first `c` in s[from, n), or kNotFound.
inline std::size_t FindUnit(const char16_t* s, std::size_t from, std::size_t n, char16_t c) {
    return FindFirstOf(s, from, n, std::array<std::array<char16_t, 1>, 1>{{{c}}});
}

} // namespace morvane::engine::detail
