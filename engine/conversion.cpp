// The two page conversions, ConvertGbToUtf and ConvertUtfToGb.
//
// ConvertGbToUtf is: turn each run of tabs between two characters other than a
// blank, CR or LF into one blank; encode; remove every "&#x9;"; encode again; turn every
// "&#xD;&#xA;" into CR LF; turn every encoding="gb2312" into encoding="utf-8".
// The encoder's page variant does the first five steps in one pass. The second
// encoding changes nothing: after the first one every character lies in
// U+0020..U+00FF and every "&" begins a kept reference or entity, and removing
// whole "&#x9;" references leaves every other one as it was.
//
// ConvertUtfToGb is: decode; complete a bare <?xml version="1.0"?> with the
// gb2312 encoding; turn encoding="utf-8" into encoding="gb2312"; turn "&amp;"
// into "&". Its three replacements are done in one pass: none of the three
// literals can overlap itself or another, and no replacement text can form or
// break an occurrence of a later literal, so replacing the occurrences of all
// three at once gives the same text as three passes in that order.

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

/// A literal replacement. The scan looks for the two units of `from` at
/// `anchor`; the first of them differs between literals replaced in one pass.
struct Literal {
    std::u16string_view from;
    std::u16string_view to;
    std::size_t anchor;
};

template <std::size_t N> constexpr bool AnchorsAreUsable(const std::array<Literal, N>& literals) {
    for (std::size_t a = 0; a < N; ++a) {
        if (literals[a].anchor + 1 >= literals[a].from.size()) {
            return false;
        }
        for (std::size_t b = a + 1; b < N; ++b) {
            if (literals[a].from[literals[a].anchor] == literals[b].from[literals[b].anchor]) {
                return false;
            }
        }
    }
    return true;
}

// Anchors are pairs that are rare in markup and in the references around them.
constexpr std::array<Literal, 1> kGbToUtfLiterals = {{
    {u"encoding=\"gb2312\"", u"encoding=\"utf-8\"", 11}, // "b2"
}};

constexpr std::array<Literal, 3> kUtfToGbLiterals = {{
    {u"<?xml version=\"1.0\"?>", u"<?xml version=\"1.0\" encoding=\"gb2312\"?>", 1}, // "?x"
    {u"encoding=\"utf-8\"", u"encoding=\"gb2312\"", 13},                             // "-8"
    {u"&amp;", u"&", 0},                                                             // "&a"
}};

static_assert(AnchorsAreUsable(kGbToUtfLiterals));
static_assert(AnchorsAreUsable(kUtfToGbLiterals));

/// Finds occurrences of a set of literals in a text, left to right.
template <std::size_t N> class LiteralScan final {
public:
    LiteralScan(std::u16string_view text, const std::array<Literal, N>& literals)
        : m_text(text)
        , m_literals(literals) {
        for (std::size_t u = 0; u < N; ++u) {
            m_anchors[u] = {literals[u].from[literals[u].anchor],
                            literals[u].from[literals[u].anchor + 1]};
        }
    }

    struct Match {
        std::size_t start; ///< kNotFound when there is none
        const Literal* literal;
    };

    /// The first occurrence that starts at or after `from`.
    Match next(std::size_t from) const {
        const char16_t* s = m_text.data();
        const std::size_t n = m_text.size();
        for (std::size_t k = from; (k = detail::FindFirstOf(s, k, n, m_anchors)) != kNotFound;
             ++k) {
            const Literal& literal =
                *std::find_if(m_literals.begin(), m_literals.end(),
                              [c = s[k]](const Literal& l) { return l.from[l.anchor] == c; });
            if (k - from < literal.anchor) {
                continue;
            }
            const std::size_t start = k - literal.anchor;
            if (n - start >= literal.from.size() &&
                m_text.substr(start, literal.from.size()) == literal.from) {
                return {start, &literal};
            }
        }
        return {kNotFound, nullptr};
    }

private:
    std::u16string_view m_text;
    const std::array<Literal, N>& m_literals;
    std::array<std::array<char16_t, 2>, N> m_anchors{};
};

template <std::size_t N> constexpr bool NeverLonger(const std::array<Literal, N>& literals) {
    return std::ranges::all_of(
        literals, [](const Literal& literal) { return literal.to.size() <= literal.from.size(); });
}

/// Replaces every occurrence of every literal of `Literals`, left to right,
/// never looking into replaced text. The literals must not be able to overlap
/// one another. Nothing is copied when nothing matches; when no replacement is
/// longer than its literal the text is rewritten in place.
template <const auto& Literals> void ReplaceLiterals(std::u16string& text) {
    const LiteralScan scan(text, Literals);
    auto match = scan.next(0);
    if (match.start == kNotFound) {
        return;
    }
    if constexpr (NeverLonger(Literals)) {
        char16_t* d = text.data();
        std::size_t written = match.start;
        while (match.start != kNotFound) {
            const std::u16string_view to = match.literal->to;
            std::copy(to.begin(), to.end(), d + written);
            written += to.size();
            const std::size_t resume = match.start + match.literal->from.size();
            match = scan.next(resume);
            const std::size_t stretch =
                (match.start == kNotFound ? text.size() : match.start) - resume;
            std::memmove(d + written, d + resume, stretch * sizeof(char16_t));
            written += stretch;
        }
        text.resize(written);
    } else {
        std::u16string result;
        result.reserve(text.size() + text.size() / 8);
        std::size_t copied = 0;
        while (match.start != kNotFound) {
            result.append(text, copied, match.start - copied);
            result.append(match.literal->to);
            copied = match.start + match.literal->from.size();
            match = scan.next(copied);
        }
        result.append(text, copied);
        text = std::move(result);
    }
}

} // namespace

std::u16string ConvertGbToUtf(std::u16string_view text) {
    std::u16string page = detail::EncodePageText(text);
    ReplaceLiterals<kGbToUtfLiterals>(page);
    return page;
}

std::u16string ConvertUtfToGb(std::u16string_view text) {
    std::u16string page = UtfToGb(text);
    ReplaceLiterals<kUtfToGbLiterals>(page);
    return page;
}

} // namespace morvane::engine
