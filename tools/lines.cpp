// Why the breaks can be put back by counting: each line break of the text the
// conversion gets is a CR LF that it writes back as exactly one CR LF (the
// encoder turns "&#xD;&#xA;" back into CR LF; the decoder copies it), and the
// conversion is line by line: no decision crosses a line break, because no
// reference, entity or rewritten literal can hold one. So when the result has
// as many CR and LF as the text had breaks, its k-th CR LF is the text's k-th
// break. More of them means the page held references that became line breaks;
// then each line is converted on its own, which gives the same result with
// every break of the file known.

#include "tools/lines.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstdint>
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

/// Calls `line(text, kind, broken)` for each line of `text` in order: its text without the
/// break, and the kind of break that ends it (`broken` is false for the last line).
template <typename Line> void ForEachLine(std::u16string_view text, const Line& line) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        const bool pair = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        line(text.substr(start, i - start),
             c == u'\n' ? Break::Lf
             : pair     ? Break::CrLf
                        : Break::Cr,
             true);
        i += pair ? 1 : 0;
        start = i + 1;
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
    std::size_t i = 0;
#if defined(__SSE2__)
    // Eight units at a time while none of them is U+000D or below: a unit minus 0x0D,
    // saturated at zero, is zero exactly for those.
    const __m128i carriageReturn = _mm_set1_epi16(0x0D);
    const __m128i zero = _mm_setzero_si128();
#endif
    for (; i < n; ++i) {
#if defined(__SSE2__)
        while (i + 8 <= n) {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(block, carriageReturn), zero);
            if (_mm_movemask_epi8(low) != 0) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
#endif
        const char16_t c = text[i];
        if (c > u'\r') {
            continue;
        }
        if (c == u'\n') {
            ++count.lfs;
            count.allCrLf = count.allCrLf && i > 0 && text[i - 1] == u'\r';
        } else if (c == u'\r') {
            ++count.crs;
            count.allCrLf = count.allCrLf && i + 1 < n && text[i + 1] == u'\n';
        }
    }
    return count;
}

} // namespace

std::u16string ConvertKeepingLineBreaks(std::u16string_view text, const PageConversion& convert) {
    const BreakCount given = CountBreaks(text);
    if (given.allCrLf) {
        // The common case of a page saved with CR LF: the engine's own result, unless the
        // page held references that became line breaks.
        std::u16string result = convert(text);
        const BreakCount made = CountBreaks(result);
        if (made.crs == given.lfs && made.lfs == given.lfs) {
            return result;
        }
    } else {
        std::vector<Break> breaks;
        std::u16string withCrLf;
        withCrLf.reserve(text.size() + given.lfs + given.crs);
        ForEachLine(text, [&](std::u16string_view line, Break kind, bool broken) {
            withCrLf.append(line);
            if (broken) {
                withCrLf.append(u"\r\n");
                breaks.push_back(kind);
            }
        });
        std::u16string result = convert(withCrLf);
        withCrLf = std::u16string();
        const BreakCount made = CountBreaks(result);
        if (made.crs == breaks.size() && made.lfs == breaks.size()) {
            std::u16string restored;
            restored.reserve(result.size());
            std::size_t from = 0;
            for (const Break kind : breaks) {
                const std::size_t at = result.find(u"\r\n", from);
                restored.append(result, from, at - from);
                restored.append(BreakText(kind));
                from = at + 2;
            }
            restored.append(result, from);
            return restored;
        }
    }

    std::u16string joined;
    ForEachLine(text, [&](std::u16string_view line, Break kind, bool broken) {
        joined.append(convert(line));
        joined.append(broken ? BreakText(kind) : u"");
    });
    return joined;
}

} // namespace morvane::tools
