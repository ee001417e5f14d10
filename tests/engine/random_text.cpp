// Random text pieces, weighted towards what the engine has to decide on.

#include "random_text.h"

#include "reference_model.h"

#include <array>
#include <string_view>

namespace morvane::engine::test {
namespace {

using namespace std::string_view_literals;

// clang-format off
// Pieces that any text may hold.
constexpr std::array<std::u16string_view, 47> kPieces = {
    u"&"sv, u"&"sv, u"&"sv, u"#"sv, u"#"sv, u"x"sv, u"X"sv, u";"sv, u";"sv,
    u"0"sv, u"4"sv, u"9"sv, u"A"sv, u"D"sv, u"e"sv, u"f"sv, u"Z"sv, u" "sv, u"a"sv,
    u"amp"sv, u"lt"sv, u"&#x"sv, u"&#x"sv, u"&#"sv,
    u"&#x9;"sv, u"&#xD;"sv, u"&#xA;"sv, u"&amp;"sv, u"&lt;"sv, u"&shy;"sv, u"&#x4E2D;"sv, u"&#x10000;"sv,
    u"&#xD840;"sv,
    u"<?xml version=\"1.0\"?>"sv, u"encoding=\"gb2312\""sv, u"encoding=\"utf-8\""sv,
    u"\t"sv, u"\r"sv, u"\n"sv, u"\r\n"sv, u"\0"sv,
    u"\u00A0"sv, u"\u00FF"sv, u"\u0100"sv,
    u"\xD840"sv, u"\xDC00"sv, u"\xD840\xDC00"sv};

// Pieces of a round-trip text: no "#", so no references but the ones the
// generator writes itself, and no tab or U+0000 (placed separately).
constexpr std::array<std::u16string_view, 25> kRoundTripPieces = {
    u"&"sv, u"&"sv, u";"sv, u"x"sv, u"9"sv, u"a"sv, u" "sv, u"amp"sv, u"lt"sv,
    u"&amp;"sv, u"&lt;"sv, u"&shy;"sv, u"\r"sv, u"\n"sv, u"\r\n"sv,
    u"\u00A0"sv, u"\u00FF"sv, u"\u0100"sv, u"\uFFFF"sv,
    u"\xD840"sv, u"\xDC00"sv, u"\xD840\xDC00"sv,
    u"<?xml version=\"1.0\"?>"sv, u"encoding=\"gb2312\""sv, u"encoding=\"utf-8\""sv};
// clang-format on

// Stand-ins in the expected text for a tab and a U+0000 of the text (private-use
// characters, which no piece holds).
constexpr char16_t kTabMark = 0xE000;
constexpr char16_t kNulMark = 0xE001;

} // namespace

int RandomText::below(int bound) {
    return std::uniform_int_distribution<int>(0, bound - 1)(m_random);
}

char16_t RandomText::cjk() {
    return static_cast<char16_t>(0x4E00 + below(0x5200));
}

std::u16string RandomText::next(int maxPieces) {
    std::u16string text;
    const int pieces = below(maxPieces + 1);
    for (int k = 0; k < pieces; ++k) {
        if (below(8) == 0) {
            text += cjk();
        } else {
            text += kPieces[static_cast<std::size_t>(below(static_cast<int>(kPieces.size())))];
        }
    }
    return text;
}

RoundTripSample RandomText::nextRoundTrip(int maxPieces) {
    RoundTripSample sample;
    std::u16string plain;       // the text as the round trip gives it back, before the
                                // declaration and ampersand replacements
    bool ampersandOpen = false; // an "&" since the last ";"
    const int pieces = below(maxPieces + 1);
    for (int k = 0; k < pieces; ++k) {
        const int kind = below(12);
        if (kind == 0) {
            const char16_t c = cjk();
            sample.text += c;
            plain += c;
        } else if (kind == 1) {
            // A reference in the input: to a CJK character, CR or LF.
            static constexpr std::array<char16_t, 3> kTargets = {0, u'\r', u'\n'};
            char16_t c = kTargets[static_cast<std::size_t>(below(3))];
            if (c == 0) {
                c = cjk();
            }
            const char16_t* digits = below(2) == 0 ? u"0123456789ABCDEF" : u"0123456789abcdef";
            std::u16string hex;
            for (unsigned v = c; v != 0; v /= 16) {
                hex.insert(hex.begin(), digits[v % 16]);
            }
            sample.text += u"&#x" + hex + u";";
            plain += c;
            ampersandOpen = false;
        } else if (kind == 2 && !ampersandOpen) {
            // Marked in `plain` so that each run of tabs can be settled once its
            // neighbours in the text are known.
            const bool tab = below(2) == 0;
            sample.text += tab ? u'\t' : u'\0';
            plain += tab ? kTabMark : kNulMark;
        } else {
            const std::u16string_view piece = kRoundTripPieces[static_cast<std::size_t>(
                below(static_cast<int>(kRoundTripPieces.size())))];
            sample.text += piece;
            plain += piece;
            for (const char16_t c : piece) {
                if (c == u'&') {
                    ampersandOpen = true;
                } else if (c == u';') {
                    ampersandOpen = false;
                }
            }
        }
    }
    // The k-th run of tab marks in `plain` is the k-th run of tabs in the text; the
    // model settles it, with its neighbours, into a blank or nothing.
    std::u16string settled;
    std::size_t run = 0;
    for (std::size_t k = 0; k < plain.size(); ++k) {
        if (plain[k] == kNulMark) {
            continue;
        }
        if (plain[k] != kTabMark) {
            settled += plain[k];
            continue;
        }
        while (k + 1 < plain.size() && plain[k + 1] == kTabMark) {
            ++k;
        }
        run = sample.text.find(u'\t', run);
        std::size_t end = run;
        while (end < sample.text.size() && sample.text[end] == u'\t') {
            ++end;
        }
        const std::size_t first = run == 0 ? 0 : run - 1;
        const std::u16string window = sample.text.substr(first, end + 1 - first);
        if (reference::SeparateWithBlanks(window).find(u'\t') == std::u16string::npos) {
            settled += u' ';
        }
        run = end;
    }
    std::u16string expected = reference::ReplaceAll(settled, u"<?xml version=\"1.0\"?>",
                                                    u"<?xml version=\"1.0\" encoding=\"gb2312\"?>");
    expected = reference::ReplaceAll(expected, u"encoding=\"utf-8\"", u"encoding=\"gb2312\"");
    sample.expected = reference::ReplaceAll(expected, u"&amp;", u"&");
    return sample;
}

} // namespace morvane::engine::test
