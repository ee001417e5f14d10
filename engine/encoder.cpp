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
#include <bit>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane::engine {
namespace {

using detail::kNotFound;

constexpr std::u16string_view kEscapedAmpersand = u"&amp;";

/// Units that may be written past the end of the result and then dropped:
/// the plain-text copy stores whole blocks of eight.
constexpr std::size_t kBlockSlack = 8;

/// An upper bound of the encoded length: a unit outside U+0020..U+00FF becomes
/// at most eight units ("&#xFFFF;"; a surrogate pair, ten for two), an
/// ampersand at most five ("&amp;"), anything else one. Dropping tabs and
/// U+0000 and turning a reference pair back into CR LF only shorten the text.
std::size_t EncodedLengthBound(const char16_t* s, std::size_t n) {
    std::size_t extra = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = s[i];
        extra += (c < 0x20 || c > 0xFF) ? 7 : (c == u'&' ? 4 : 0);
    }
    return n + extra + kBlockSlack;
}

MORVANE_ALWAYS_INLINE char16_t* PutText(char16_t* out, std::u16string_view text) {
    for (const char16_t c : text) {
        *out++ = c;
    }
    return out;
}

/// Units copied as they are: U+0020..U+00FF, except the ampersand, which is decided.
constexpr bool IsPlain(char16_t c) {
    return c >= 0x20 && c <= 0xFF && c != u'&';
}

/// Units above U+00FF that are written as their own reference: all but surrogates.
constexpr bool IsSimpleReference(char16_t c) {
    return c > 0xFF && !IsSurrogate(c);
}

/// Copies the plain units from s[i] on to `out` and returns how many there
/// were. May store up to kBlockSlack units past them.
MORVANE_ALWAYS_INLINE std::size_t CopyPlain(const char16_t* s, std::size_t i, std::size_t n,
                                            char16_t* out) {
    const std::size_t start = i;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi16(0x20);
    const __m128i span = _mm_set1_epi16(0xFF - 0x20);
    const __m128i ampersand = _mm_set1_epi16(static_cast<short>(u'&'));
    for (; n - i >= 8; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (i - start)), block);
        // c - 0x20, saturated down by 0xDF, is zero exactly for U+0020..U+00FF.
        const __m128i outside = _mm_subs_epu16(_mm_sub_epi16(block, low), span);
        const __m128i special = _mm_or_si128(
            _mm_xor_si128(_mm_cmpeq_epi16(outside, _mm_setzero_si128()), _mm_set1_epi16(-1)),
            _mm_cmpeq_epi16(block, ampersand));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
        if (mask != 0) {
            return i - start + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
        }
    }
#endif
    for (; i < n && IsPlain(s[i]); ++i) {
        out[i - start] = s[i];
    }
    return i - start;
}

/// The neighbours beside which a run of tabs is only spacing.
constexpr bool IsBlankOrBreak(char16_t c) {
    return c == u' ' || c == u'\r' || c == u'\n';
}

// The entities that WML 1.1 declares, so a page may use them as they stand.
constexpr std::array<std::u16string_view, 7> kEntityNames = {u"&lt",  u"&gt",   u"&apos", u"&quot",
                                                             u"&amp", u"&nbsp", u"&shy"};
constexpr std::size_t kLongestEntityName = 5;

MORVANE_ALWAYS_INLINE bool IsEntityName(std::u16string_view t) {
    return std::find(kEntityNames.begin(), kEntityNames.end(), t) != kEntityNames.end();
}

/// Whether the ampersand at s[p] is kept, given q, the position of the first
/// ";" after it (kNotFound when there is none). T = s[p, q) is kept when it is
/// "&#x" or "&#X" followed by one or more hexadecimal digits, "&#" followed by
/// one or more decimal digits, or exactly one of the six entity names.
MORVANE_ALWAYS_INLINE bool KeepsAmpersand(const char16_t* s, std::size_t p, std::size_t q) {
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
    return length <= kLongestEntityName && IsEntityName(std::u16string_view(s + p, length));
}

/// A line feed in the page form: when the text so far ends with a carriage
/// return's reference, the pair becomes a real CR LF again.
char16_t* PutPageLineFeed(const char16_t* begin, char16_t* out) {
    constexpr std::u16string_view kCarriageReturn = u"&#xD;";
    if (static_cast<std::size_t>(out - begin) >= kCarriageReturn.size() &&
        std::u16string_view(out - kCarriageReturn.size(), kCarriageReturn.size()) ==
            kCarriageReturn) {
        return PutText(out - kCarriageReturn.size(), u"\r\n");
    }
    return PutReference(out, u'\n');
}

/// The encoder. With `Page` set, a run of tabs between two characters other than
/// a blank or a line break is written as one blank, every other tab and every
/// "&#x9;" of the input are left out, and "&#xD;&#xA;" is written as CR LF,
/// exactly as replacing them in the plain result would.
template <bool Page> std::u16string Encode(std::u16string_view text) {
    const char16_t* s = text.data();
    const std::size_t n = text.size();
    std::u16string result(EncodedLengthBound(s, n), u'\0');
    char16_t* const begin = result.data();
    char16_t* out = begin;

    std::size_t semicolon = 0; // first ";" at or after the ampersand last decided
    bool semicolonKnown = false;
    std::size_t i = 0;
    while (i < n) {
        if (IsPlain(s[i])) {
            const std::size_t plain = CopyPlain(s, i, n, out);
            out += plain;
            i += plain;
            if (i == n) {
                break;
            }
        }
        std::size_t j = i++;
        const char16_t c = s[j];
        if (c == u'&') {
            // In a run of ampersands all but the last are escaped, whatever
            // follows: the text from each of them to the next ";" holds a
            // second "&", so it is neither a reference nor an entity name.
            while (i < n && s[i] == u'&') {
                out = PutText(out, kEscapedAmpersand);
                j = i++;
            }
            if (!semicolonKnown || (semicolon != kNotFound && semicolon < j)) {
                semicolon = detail::FindUnit(s, j, n, u';');
                semicolonKnown = true;
            }
            if (!KeepsAmpersand(s, j, semicolon)) {
                out = PutText(out, kEscapedAmpersand);
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
                    out = PutPageLineFeed(begin, out);
                    i = semicolon + 1;
                    continue;
                }
            }
            *out++ = u'&';
        } else if (IsHighSurrogate(c) && i < n && IsLowSurrogate(s[i])) {
            out = PutReference(out, CombineSurrogates(c, s[i]));
            ++i;
        } else if (c == u'\0') {
            // U+0000 is dropped.
        } else if (Page && c == u'\t') {
            // A run of tabs between two other characters separates them (markup
            // attributes, words in a table row): it becomes one blank. Next to a
            // blank or a line break, or at either end, it is indentation or
            // trailing space and is dropped. The run is maximal because a tab is
            // only ever reached here as the first of its run.
            while (i < n && s[i] == u'\t') {
                ++i;
            }
            if (j > 0 && i < n && !IsBlankOrBreak(s[j - 1]) && !IsBlankOrBreak(s[i])) {
                *out++ = u' ';
            }
        } else if (Page && c == u'\n') {
            out = PutPageLineFeed(begin, out);
        } else {
            // Characters of a script outside Latin-1 come in runs.
            out = PutReference(out, c);
            while (i < n && IsSimpleReference(s[i])) {
                out = PutReference(out, s[i++]);
            }
        }
    }
    result.resize(static_cast<std::size_t>(out - begin));
    return result;
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
