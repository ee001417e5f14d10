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

} // namespace

std::u16string ConvertKeepingLineBreaks(std::u16string_view text, const PageConversion& convert) {
    std::vector<Break> breaks;
    ForEachLine(text, [&breaks](std::u16string_view, Break kind, bool broken) {
        if (broken) {
            breaks.push_back(kind);
        }
    });
    const bool allCrLf =
        std::all_of(breaks.begin(), breaks.end(), [](Break kind) { return kind == Break::CrLf; });

    std::u16string result;
    if (allCrLf) {
        result = convert(text);
    } else {
        std::u16string withCrLf;
        withCrLf.reserve(text.size() + breaks.size());
        ForEachLine(text, [&withCrLf](std::u16string_view line, Break, bool broken) {
            withCrLf.append(line);
            withCrLf.append(broken ? u"\r\n" : u"");
        });
        result = convert(withCrLf);
    }

    const auto crs = static_cast<std::size_t>(std::count(result.begin(), result.end(), u'\r'));
    const auto lfs = static_cast<std::size_t>(std::count(result.begin(), result.end(), u'\n'));
    if (crs == breaks.size() && lfs == breaks.size()) {
        if (allCrLf) {
            return result;
        }
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

    result = std::u16string();
    std::u16string joined;
    ForEachLine(text, [&](std::u16string_view line, Break kind, bool broken) {
        joined.append(convert(line));
        joined.append(broken ? BreakText(kind) : u"");
    });
    return joined;
}

} // namespace morvane::tools
