// The character-reference encoder: Ascii, and the page variant that
// ConvertGbToUtf starts with.
//
// Each "&" is kept or escaped by looking at T, the text from it up to the first
// ";" after it. Escaping only ever inserts "amp;" right after an ampersand, and
// the next ampersand is looked at from past that point, so every later T reads
// the same in the caller's text as in a partly escaped copy. The decisions are
// therefore taken on the input as it stands, in one forward pass that writes
// the result directly: the next ";" is remembered rather than searched for
// again, and the digit tests stop at the first non-digit, which is at the
// latest the next "&". The work is linear in the length of the text.

#include "engine/encoder_detail.h"
#include "engine/engine.h"
#include "engine/text_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace morvane::engine {
namespace {

using detail::kNotFound;

/// Longest reference written: "&#x", six digits, ";".
constexpr std::size_t kLongestReference = 10;

constexpr std::u16string_view kUpperHexDigits = u"0123456789ABCDEF";

/// The result under construction, written through a raw pointer. Every write
/// first makes room; the buffer grows geometrically, so appends are amortised
/// constant time.
class Output final {
public:
    explicit Output(std::size_t expected)
        : m_text(std::max<std::size_t>(expected, 64), u'\0')
        , m_cur(m_text.data())
        , m_end(m_cur + m_text.size()) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void append(const char16_t* s, std::size_t n) {
        makeRoom(n);
        std::memcpy(m_cur, s, n * sizeof(char16_t));
        m_cur += n;
    }
    void append(std::u16string_view s) { append(s.data(), s.size()); }

    void put(char16_t c) {
        makeRoom(1);
        *m_cur++ = c;
    }

    /// Writes "&#x", `value` in upper-case hexadecimal without leading zeros, ";".
    void putReference(char32_t value) {
        makeRoom(kLongestReference);
        std::size_t digits = 1;
        while (digits < 6 && (value >> (4 * digits)) != 0) {
            ++digits;
        }
        m_cur[0] = u'&';
        m_cur[1] = u'#';
        m_cur[2] = u'x';
        for (std::size_t k = digits; k > 0; --k) {
            m_cur[2 + k] = kUpperHexDigits[value & 0xF];
            value >>= 4;
        }
        m_cur[3 + digits] = u';';
        m_cur += 4 + digits;
    }

    bool endsWith(std::u16string_view tail) const {
        return size() >= tail.size() &&
               std::u16string_view(m_cur - tail.size(), tail.size()) == tail;
    }

    /// Forgets the last `n` units written; n is at most what was written.
    void dropLast(std::size_t n) { m_cur -= n; }

    std::u16string take() {
        m_text.resize(size());
        return std::move(m_text);
    }

private:
    std::size_t size() const { return static_cast<std::size_t>(m_cur - m_text.data()); }

    void makeRoom(std::size_t n) {
        if (static_cast<std::size_t>(m_end - m_cur) < n) {
            grow(n);
        }
    }

    void grow(std::size_t n) {
        const std::size_t used = size();
        m_text.resize(std::max(m_text.size() * 2, used + n));
        m_cur = m_text.data() + used;
        m_end = m_text.data() + m_text.size();
    }

    std::u16string m_text;
    char16_t* m_cur;
    char16_t* m_end;
};

/// Units copied as they are: U+0020..U+00FF, except the ampersand, which is decided.
constexpr bool IsPlain(char16_t c) {
    return c >= 0x20 && c <= 0xFF && c != u'&';
}

bool IsEntityName(std::u16string_view t) {
    static constexpr std::array<std::u16string_view, 6> kNames = {u"&lt",   u"&gt",  u"&apos",
                                                                  u"&quot", u"&amp", u"&nbsp"};
    return std::find(kNames.begin(), kNames.end(), t) != kNames.end();
}

/// Whether the ampersand at s[p] is kept, given q, the position of the first
/// ";" after it (kNotFound when there is none). T = s[p, q) is kept when it is
/// "&#x" or "&#X" followed by one or more hexadecimal digits, "&#" followed by
/// one or more decimal digits, or exactly one of the six entity names.
bool KeepsAmpersand(const char16_t* s, std::size_t p, std::size_t q) {
    if (q == kNotFound) {
        return false;
    }
    const std::size_t length = q - p;
    if (length >= 2 && s[p + 1] == u'#') {
        std::size_t k = p + 2;
        if (k < q && (s[k] == u'x' || s[k] == u'X')) {
            const std::size_t first = ++k;
            while (k < q && detail::IsHexDigit(s[k])) {
                ++k;
            }
            return k == q && k > first;
        }
        const std::size_t first = k;
        while (k < q && detail::IsDecimalDigit(s[k])) {
            ++k;
        }
        return k == q && k > first;
    }
    return length <= 6 && IsEntityName(std::u16string_view(s + p, length));
}

/// A line feed in the page form: when the text so far ends with a carriage
/// return's reference, the pair becomes a real CR LF again.
void PutPageLineFeed(Output& out) {
    constexpr std::u16string_view kCarriageReturn = u"&#xD;";
    if (out.endsWith(kCarriageReturn)) {
        out.dropLast(kCarriageReturn.size());
        out.append(u"\r\n");
    } else {
        out.putReference(u'\n');
    }
}

/// The encoder. With `Page` set, the tab references ("&#x9;", written for a tab
/// or kept from the input) are left out and "&#xD;&#xA;" is written as CR LF,
/// exactly as replacing them in the plain result would.
template <bool Page> std::u16string Encode(std::u16string_view text) {
    const char16_t* s = text.data();
    const std::size_t n = text.size();
    Output out(n + n / 2);

    std::size_t semicolon = 0; // first ";" at or after the ampersand last decided
    bool semicolonKnown = false;
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i;
        while (j < n && IsPlain(s[j])) {
            ++j;
        }
        out.append(s + i, j - i);
        if (j == n) {
            break;
        }
        const char16_t c = s[j];
        i = j + 1;
        if (c == u'&') {
            if (!semicolonKnown || (semicolon != kNotFound && semicolon < j)) {
                semicolon = detail::FindUnit(s, j, n, u';');
                semicolonKnown = true;
            }
            if (!KeepsAmpersand(s, j, semicolon)) {
                out.append(u"&amp;");
                continue;
            }
            if constexpr (Page) {
                // A kept "&#x9;" or "&#xA;" in the input reads like the
                // reference written for a tab or a line feed.
                const bool shortHexReference =
                    semicolon - j == 4 && s[j + 1] == u'#' && s[j + 2] == u'x';
                if (shortHexReference && s[j + 3] == u'9') {
                    i = semicolon + 1;
                    continue;
                }
                if (shortHexReference && s[j + 3] == u'A') {
                    PutPageLineFeed(out);
                    i = semicolon + 1;
                    continue;
                }
            }
            out.put(u'&');
        } else if (detail::IsHighSurrogate(c) && i < n && detail::IsLowSurrogate(s[i])) {
            out.putReference(detail::CombineSurrogates(c, s[i]));
            ++i;
        } else if (c == u'\0') {
            // U+0000 is dropped.
        } else if (Page && c == u'\t') {
            // Tabs are dropped from the page form.
        } else if (Page && c == u'\n') {
            PutPageLineFeed(out);
        } else {
            out.putReference(c);
        }
    }
    return out.take();
}

} // namespace

std::u16string Ascii(std::u16string_view ToDoString) {
    return Encode<false>(ToDoString);
}

namespace detail {
std::u16string EncodePageText(std::u16string_view text) {
    return Encode<true>(text);
}
} // namespace detail

} // namespace morvane::engine
