#pragma once
// Character classes and small scanning helpers shared by the encoder, the
// decoder and the page conversions. Everything here works on UTF-16 code units
// and is inline because it sits inside the per-character loops.

#include <cstddef>
#include <string_view>

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

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
           (static_cast<char32_t>(low) - 0xDC00);
}

/// Position of the first `c` in s[from, n), or kNotFound.
inline std::size_t FindUnit(const char16_t* s, std::size_t from, std::size_t n, char16_t c) {
    for (std::size_t i = from; i < n; ++i) {
        if (s[i] == c) {
            return i;
        }
    }
    return kNotFound;
}

} // namespace morvane::engine::detail
