// The two page conversions, ConvertGbToUtf and ConvertUtfToGb.
//
// ConvertGbToUtf is: encode; remove every "&#x9;"; encode again; turn every
// "&#xD;&#xA;" into CR LF; turn every encoding="gb2312" into encoding="utf-8".
// The encoder's page variant does the first four steps in one pass. The second
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

#include <array>
#include <string>

namespace morvane::engine {
namespace {

/// A literal replacement. `anchor` indexes a unit of `from` that the scan looks
/// for; the anchors of literals replaced in the same pass differ.
struct Literal {
    std::u16string_view from;
    std::u16string_view to;
    std::size_t anchor;
};

template <std::size_t N> constexpr bool AnchorsAreUsable(const std::array<Literal, N>& literals) {
    for (std::size_t a = 0; a < N; ++a) {
        if (literals[a].anchor >= literals[a].from.size()) {
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

// Anchors are units that are rare in markup and in the references around them.
constexpr std::array<Literal, 1> kGbToUtfLiterals = {{
    {u"encoding=\"gb2312\"", u"encoding=\"utf-8\"", 11}, // 'b'
}};

constexpr std::array<Literal, 3> kUtfToGbLiterals = {{
    {u"<?xml version=\"1.0\"?>", u"<?xml version=\"1.0\" encoding=\"gb2312\"?>", 1}, // '?'
    {u"encoding=\"utf-8\"", u"encoding=\"gb2312\"", 13},                             // '-'
    {u"&amp;", u"&", 0},
}};

static_assert(AnchorsAreUsable(kGbToUtfLiterals));
static_assert(AnchorsAreUsable(kUtfToGbLiterals));

/// Replaces every occurrence of every literal, left to right, never looking
/// into replaced text. The literals must not be able to overlap one another.
/// The text is copied only when something is replaced.
template <std::size_t N>
void ReplaceLiterals(std::u16string& text, const std::array<Literal, N>& literals) {
    const char16_t* s = text.data();
    const std::size_t n = text.size();
    std::u16string result;
    bool replaced = false;
    std::size_t copied = 0; // text[0, copied) is settled
    for (std::size_t k = 0; k < n; ++k) {
        for (const Literal& literal : literals) {
            if (s[k] != literal.from[literal.anchor]) {
                continue;
            }
            const std::size_t length = literal.from.size();
            if (k - copied < literal.anchor || n - (k - literal.anchor) < length) {
                break;
            }
            const std::size_t start = k - literal.anchor;
            if (std::u16string_view(s + start, length) != literal.from) {
                break;
            }
            if (!replaced) {
                result.reserve(n + n / 16);
                replaced = true;
            }
            result.append(s + copied, start - copied);
            result.append(literal.to);
            copied = start + length;
            k = copied - 1;
            break;
        }
    }
    if (replaced) {
        result.append(s + copied, n - copied);
        text = std::move(result);
    }
}

} // namespace

std::u16string ConvertGbToUtf(std::u16string_view text) {
    std::u16string page = detail::EncodePageText(text);
    ReplaceLiterals(page, kGbToUtfLiterals);
    return page;
}

std::u16string ConvertUtfToGb(std::u16string_view text) {
    std::u16string page = UtfToGb(text);
    ReplaceLiterals(page, kUtfToGbLiterals);
    return page;
}

} // namespace morvane::engine
