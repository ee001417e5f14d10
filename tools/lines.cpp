// The conversions are line by line: no decision crosses a line break, because
// no reference, entity or rewritten literal can hold one, and each CR LF of
// the text is written back as exactly one CR LF (the encoder turns
// "&#xD;&#xA;" back into CR LF; the decoder copies it). So a page whose breaks
// are all CR LF converts whole, and the result is its lines converted one by
// one, whatever its references become. A page with other breaks is converted
// with CR LF breaks, and the k-th CR LF of the result is written back as the
// text's k-th break: the result has exactly as many CR and LF as the text had
// breaks unless references in the page became line breaks, so a page that may
// hold one (MayMakeBreaks) is converted a line at a time instead. Either way
// the page is converted once.

#include "tools/lines.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstdint>
#include <cstring>
#include <vector>

namespace morvane::tools {
namespace {

enum class Break : std::uint8_t { Lf, CrLf, Cr };

constexpr std::u16string_view BreakText(Break kind) {
    switch (kind) {
    case Break::Lf:
        return u"\n";
    case Break::CrLf:
        return u"\r\n";
    case Break::Cr:
        return u"\r";
    }
    return u"";
}

/// The first CR or LF of `text` at or after `i`, or its size. Eight units at a time while
/// none of them is U+000D or below (a unit minus 0x0D, saturated at zero, is zero exactly for
/// those), which is nearly all of a page.
std::size_t FindBreak(std::u16string_view text, std::size_t i) {
    const std::size_t n = text.size();
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi16(0x0D);
    const __m128i zero = _mm_setzero_si128();
#endif
    while (i < n) {
#if defined(__SSE2__)
        while (i + 8 <= n) {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(block, carriageReturn), zero)) !=
                0) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
#endif
        if (text[i] == u'\r' || text[i] == u'\n') {
            return i;
        }
        ++i;
    }
    return n;
}

/// Calls `line(text, kind, broken)` for each line of `text` in order: its text without the
/// break, and the kind of break that ends it (`broken` is false for the last line).
template <typename Line> void ForEachLine(std::u16string_view text, const Line& line) {
    std::size_t start = 0;
    for (std::size_t i = FindBreak(text, 0); i < text.size(); i = FindBreak(text, start)) {
        const bool lf = text[i] == u'\n';
        const bool pair = !lf && i + 1 < text.size() && text[i + 1] == u'\n';
        line(text.substr(start, i - start), lf ? Break::Lf : pair ? Break::CrLf : Break::Cr, true);
        start = i + (pair ? 2 : 1);
    }
    line(text.substr(start), Break::Lf, false);
}

/// How many CR and LF units `text` holds, and whether they all stand in CR LF pairs.
struct BreakCount {
    std::size_t crs = 0;
    std::size_t lfs = 0;
    bool allCrLf = true;
};

BreakCount CountBreaks(std::u16string_view text) {
    BreakCount count;
    const std::size_t n = text.size();
    for (std::size_t i = FindBreak(text, 0); i < n; i = FindBreak(text, i + 1)) {
        if (text[i] == u'\n') {
            ++count.lfs;
            count.allCrLf = count.allCrLf && i > 0 && text[i - 1] == u'\r';
        } else {
            ++count.crs;
            count.allCrLf = count.allCrLf && i + 1 < n && text[i + 1] == u'\n';
        }
    }
    return count;
}

/// Writes the k-th CR LF of `result` back as `breaks[k]`, in place: no break is longer than
/// CR LF, so the writing never overtakes the reading.
void RestoreBreaks(std::u16string& result, const std::vector<Break>& breaks) {
    char16_t* const d = result.data();
    std::size_t written = 0;
    std::size_t read = 0;
    for (const Break kind : breaks) {
        const std::size_t at = FindBreak(result, read); // the CR of a CR LF
        std::memmove(d + written, d + read, (at - read) * sizeof(char16_t));
        written += at - read;
        const std::u16string_view put = BreakText(kind);
        std::copy(put.begin(), put.end(), d + written);
        written += put.size();
        read = at + 2;
    }
    std::memmove(d + written, d + read, (result.size() - read) * sizeof(char16_t));
    result.resize(written + result.size() - read);
}

constexpr bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'f');
}

/// True when the text at `at` is a reference that a page conversion may turn into a line
/// break: "&#x", any zeros, then A or D in either case and no further hexadecimal digit. The
/// decoder (--utf-to-gb) reads each such reference ended by ";" as LF or CR; the encoder's
/// page form (--gb-to-utf) writes "&#xA;" after a CR's reference as CR LF. The test is wider
/// than either needs, as it must never miss one.
bool IsBreakReference(std::u16string_view text, std::size_t at) {
    if (!text.substr(at).starts_with(u"&#x")) {
        return false;
    }
    std::size_t k = at + 3;
    while (k < text.size() && text[k] == u'0') {
        ++k;
    }
    const bool breakDigit =
        k < text.size() && ((text[k] | 0x20) == u'a' || (text[k] | 0x20) == u'd');
    return breakDigit && (k + 1 >= text.size() || !IsHexDigit(text[k + 1]));
}

/// True when `text` holds a reference that may become a line break (IsBreakReference).
bool MayMakeBreaks(std::u16string_view text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Eight units at a time; only an "&" three units before a 0, A or D in either case is
    // looked at closely: few in a page, as CJK references start 4 to 9.
    const __m128i ampersand = _mm_set1_epi16(static_cast<short>(u'&'));
    const __m128i caseBit = _mm_set1_epi16(0x20);
    const __m128i lowerA = _mm_set1_epi16(static_cast<short>(u'a'));
    const __m128i lowerD = _mm_set1_epi16(static_cast<short>(u'd'));
    const __m128i zero = _mm_set1_epi16(static_cast<short>(u'0'));
    for (; i + 8 + 3 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i digit = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 3)), caseBit);
        const __m128i breakDigit = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(digit, lowerA), _mm_cmpeq_epi16(digit, lowerD)),
            _mm_cmpeq_epi16(digit, zero));
        const __m128i reference = _mm_and_si128(_mm_cmpeq_epi16(block, ampersand), breakDigit);
        // One bit per unit: the low one of its two bytes.
        for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(reference)) & 0x5555U; mask != 0;
             mask &= mask - 1) {
            if (IsBreakReference(text, i + static_cast<std::size_t>(std::countr_zero(mask)) / 2)) {
                return true;
            }
        }
    }
#endif
    for (; i < n; ++i) {
        if (text[i] == u'&' && IsBreakReference(text, i)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::u16string ConvertKeepingLineBreaks(std::u16string_view text, const PageConversion& convert) {
    const BreakCount given = CountBreaks(text);
    if (given.allCrLf) {
        // The common case of a page saved with CR LF: the engine's own result.
        return convert(text);
    }
    std::vector<Break> breaks;
    std::u16string withCrLf;
    bool mayMakeBreaks = false;
    withCrLf.reserve(text.size() + given.lfs + given.crs);
    ForEachLine(text, [&](std::u16string_view line, Break kind, bool broken) {
        // Each line is looked at just after it is copied, while it is still in the cache.
        if (mayMakeBreaks) {
            return;
        }
        withCrLf.append(line);
        mayMakeBreaks = MayMakeBreaks(line);
        if (broken) {
            withCrLf.append(u"\r\n");
            breaks.push_back(kind);
        }
    });
    if (!mayMakeBreaks) {
        std::u16string result = convert(withCrLf);
        withCrLf = std::u16string();
        // RestoreBreaks needs the counts to match, which they do unless a reference became a
        // break that MayMakeBreaks did not foresee; then the page is converted again by lines,
        // which costs time but never gives a wrong result.
        const BreakCount made = CountBreaks(result);
        if (made.crs == breaks.size() && made.lfs == breaks.size()) {
            RestoreBreaks(result, breaks);
            return result;
        }
    }
    withCrLf = std::u16string();

    std::u16string joined;
    joined.reserve(text.size());
    ForEachLine(text, [&](std::u16string_view line, Break kind, bool broken) {
        joined.append(convert(line));
        joined.append(broken ? BreakText(kind) : u"");
    });
    return joined;
}

} // namespace morvane::tools
