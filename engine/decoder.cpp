// The character-reference decoder, UtfToGb.
//
// One forward scan looks for "&#x". A reference is readable when one or more
// hexadecimal digits follow the marker and end at a ";" and their value names a
// code unit or a character (at most 10FFFF); it is replaced by that code unit,
// or by the surrogate pair of a character above FFFF. Anything else after a
// "&#x" is not a reference: the marker and the text after it are copied as
// they stand, and the scan goes on at the next "&#x", so no text is ever lost.
// The digit scan stops at the first non-digit, so every unit is looked at a
// bounded number of times. A reference is never shorter than what it becomes,
// so the result fits in a buffer the size of the input.

#include "engine/engine.h"
#include "engine/text_scan.h"

#include <array>
#include <cstring>
#include <string>

namespace morvane::engine {
namespace {

using detail::kNotFound;

/// Position of the first "&#x" in s[from, n), or kNotFound.
std::size_t FindReferenceStart(const char16_t* s, std::size_t from, std::size_t n) {
    static constexpr std::array<std::array<char16_t, 3>, 1> kMarker = {{{u'&', u'#', u'x'}}};
    return detail::FindFirstOf(s, from, n, kMarker);
}

} // namespace

std::u16string UtfToGb(std::u16string_view SearchString) {
    const char16_t* s = SearchString.data();
    const std::size_t n = SearchString.size();
    std::u16string result(n, u'\0');
    char16_t* out = result.data();

    std::size_t i = 0; // start of the text not yet written
    for (;;) {
        const std::size_t marker = FindReferenceStart(s, i, n);
        const std::size_t plainEnd = marker == kNotFound ? n : marker;
        std::memcpy(out, s + i, (plainEnd - i) * sizeof(char16_t));
        out += plainEnd - i;
        if (marker == kNotFound) {
            break;
        }

        const std::size_t first = marker + 3;
        std::size_t k = first;
        char32_t value = 0;
        while (k < n && detail::IsHexDigit(s[k])) {
            // Once past the last character, further digits cannot bring the
            // value back; stop accumulating so long runs cannot overflow.
            if (value <= detail::kLastCodePoint) {
                value = value * 16 + detail::HexValue(s[k]);
            }
            ++k;
        }
        const bool readable = k > first && k < n && s[k] == u';' && value <= detail::kLastCodePoint;
        if (!readable) {
            std::memcpy(out, s + marker, 3 * sizeof(char16_t));
            out += 3;
            i = first;
            continue;
        }
        if (value > 0xFFFF) {
            value -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (value >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(value);
        }
        i = k + 1;
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

} // namespace morvane::engine
