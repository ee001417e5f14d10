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
// so the result never needs more room than the input.

#include "engine/engine.h"
#include "engine/text_scan.h"

#include <algorithm>
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

/// The decoded text, written through a pointer. Its storage is reserved once
/// for the longest result (the input's length), and its length follows the
/// writing a stretch at a time. A text sized in full at the start would be
/// zeroed in full, touching memory that the result never uses (more than half
/// of it for a page of references), and handing out fresh memory costs the
/// system more than the decoding itself.
class ResultText final {
public:
    /// Room is made this many units at a time, at least.
    static constexpr std::size_t kStep = std::size_t{1} << 15;

    explicit ResultText(std::size_t most) {
        m_text.reserve(most);
        m_begin = m_text.data();
    }

    /// Where the result starts (valid until the next Room()).
    const char16_t* Begin() const { return m_begin; }
    char16_t* Start() { return m_begin; }

    /// Makes sure `units` more units, or as many as the reserved length
    /// leaves, may be written at `out`; returns where `out` is now.
    MORVANE_ALWAYS_INLINE char16_t* Room(char16_t* out, std::size_t units) {
        const auto written = static_cast<std::size_t>(out - m_begin);
        if (units > m_text.size() - written && m_text.size() < m_text.capacity()) {
            Grow(written + units);
            return m_begin + written;
        }
        return out;
    }

    /// The result, ending where `out` is.
    std::u16string Finish(const char16_t* out) {
        m_text.resize(static_cast<std::size_t>(out - m_begin));
        return std::move(m_text);
    }

private:
    void Grow(std::size_t end) {
        m_text.resize(std::min(m_text.capacity(), std::max(end, m_text.size() + kStep)));
        m_begin = m_text.data();
    }

    std::u16string m_text;
    char16_t* m_begin = nullptr;
};

} // namespace

std::u16string UtfToGb(std::u16string_view SearchString) {
    const char16_t* s = SearchString.data();
    const std::size_t n = SearchString.size();
    ResultText result(n);
    char16_t* out = result.Start();

    std::size_t i = 0; // start of the text not yet written
    for (;;) {
        const std::size_t marker = FindReferenceStart(s, i, n);
        const std::size_t plainEnd = marker == kNotFound ? n : marker;
        // Room for the plain text and for what the marker becomes.
        out = result.Room(out, plainEnd - i + 3);
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
            *out++ = HighSurrogateOf(value);
            *out++ = LowSurrogateOf(value);
        } else {
            *out++ = static_cast<char16_t>(value);
        }
        i = k + 1;

        // Chinese text is mostly four-digit references back to back: read
        // those at once. Each takes eight units and gives one, so the result
        // stays within the input's length.
        out = result.Room(out, ResultText::kStep);
        for (std::size_t room = ResultText::kStep; room > 0 && n - i >= 8; --room) {
            const char16_t* r = s + i;
            if (r[0] != u'&' || r[1] != u'#' || r[2] != u'x' || r[7] != u';' ||
                !detail::IsHexDigit(r[3]) || !detail::IsHexDigit(r[4]) ||
                !detail::IsHexDigit(r[5]) || !detail::IsHexDigit(r[6])) {
                break;
            }
            *out++ = static_cast<char16_t>((detail::HexValue(r[3]) << 12) |
                                           (detail::HexValue(r[4]) << 8) |
                                           (detail::HexValue(r[5]) << 4) | detail::HexValue(r[6]));
            i += 8;
        }
    }
    return result.Finish(out);
}

} // namespace morvane::engine
