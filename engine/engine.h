#pragma once
// The conversion engine: the character-reference encoder and decoder and the
// two page conversions built on them. Pure functions on UTF-16 text, no state,
// no windows; every function's work grows linearly with its input.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::engine {

// UTF-16 surrogates: a character above U+FFFF is a high unit (D800..DBFF)
// followed by a low one (DC00..DFFF). The engine and the driver's codecs share
// these so that every place pairs and splits them the same way.

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}
constexpr bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}
/// The character U+10000..U+10FFFF that a high and a low surrogate stand for.
constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
           (static_cast<char32_t>(low) - 0xDC00);
}
/// The high surrogate of a character U+10000..U+10FFFF.
constexpr char16_t HighSurrogateOf(char32_t c) {
    return static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
}
/// The low surrogate of a character U+10000..U+10FFFF.
constexpr char16_t LowSurrogateOf(char32_t c) {
    return static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

/// The longest hexadecimal reference, "&#x10FFFF;", in units.
inline constexpr std::size_t kLongestReference = 10;
/// The digits of a reference, in the order of their values, as units of each width.
template <typename Unit>
inline constexpr Unit kReferenceDigits[] = {
    Unit('0'), Unit('1'), Unit('2'), Unit('3'), Unit('4'), Unit('5'), Unit('6'), Unit('7'),
    Unit('8'), Unit('9'), Unit('A'), Unit('B'), Unit('C'), Unit('D'), Unit('E'), Unit('F')};

/// Writes the hexadecimal reference to `value`, "&#x" and its upper-case digits without
/// leading zeros and ";", at `out` (room for kLongestReference units) and returns its end:
/// every reference the encoder writes, as UTF-16 units or as ASCII bytes (`Unit` char).
template <typename Unit>
#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline Unit*
PutReference(Unit* out, char32_t value) {
    out[0] = Unit('&');
    out[1] = Unit('#');
    out[2] = Unit('x');
    if (value >= 0x1000 && value <= 0xFFFF) { // most CJK characters
        out[3] = kReferenceDigits<Unit>[value >> 12];
        out[4] = kReferenceDigits<Unit>[(value >> 8) & 0xF];
        out[5] = kReferenceDigits<Unit>[(value >> 4) & 0xF];
        out[6] = kReferenceDigits<Unit>[value & 0xF];
        out[7] = Unit(';');
        return out + 8;
    }
    std::size_t digits = 1;
    while (digits < 6 && (value >> (4 * digits)) != 0) {
        ++digits;
    }
    for (std::size_t k = digits; k > 0; --k) {
        out[2 + k] = kReferenceDigits<Unit>[value & 0xF];
        value >>= 4;
    }
    out[3 + digits] = Unit(';');
    return out + 4 + digits;
}

/// Encodes a text into characters U+0020..U+00FF only: every other character
/// becomes a hexadecimal reference "&#x...;" (a surrogate pair becomes one
/// reference to its character, U+0000 is dropped), and every "&" that does not
/// begin a numeric reference or one of the WML entities &lt &gt &apos &quot
/// &amp &nbsp &shy (up to the next ";") is escaped as "&amp;".
std::u16string Ascii(std::u16string_view ToDoString);

/// Decodes hexadecimal references "&#x...;" (lower-case x) into the characters
/// they stand for; everything else, unreadable references included, is copied.
std::u16string UtfToGb(std::u16string_view SearchString);

/// The GB2312 form of a page to its UTF-8 form (references, utf-8 declaration,
/// CR LF kept as real line breaks). A run of tabs between two characters that
/// are neither a blank nor a line break becomes one blank; every other tab, and
/// every "&#x9;" of the input, is removed.
std::u16string ConvertGbToUtf(std::u16string_view text);

/// The UTF-8 form of a page to its GB2312 form (references decoded, gb2312
/// declaration, "&amp;" unescaped).
std::u16string ConvertUtfToGb(std::u16string_view text);

} // namespace morvane::engine
