// The line-break step against its plain meaning, on seeded random texts: each line of the
// file converted on its own and joined by the file's own breaks. Texts with references to CR
// and LF take the step's slower way, the others its counting one, and both must agree.

#include "tools/lines.h"

#include "engine/engine.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string_view>

namespace morvane::tools::test {
namespace {

using namespace std::string_view_literals;

constexpr std::array<std::u16string_view, 18> kPieces = {u"\n"sv,
                                                         u"\r"sv,
                                                         u"\r\n"sv,
                                                         u"\n\r"sv,
                                                         u"&#xD;"sv,
                                                         u"&#xA;"sv,
                                                         u"&#xd;"sv,
                                                         u"\t"sv,
                                                         u" "sv,
                                                         u"a"sv,
                                                         u"&"sv,
                                                         u";"sv,
                                                         u"&amp;"sv,
                                                         u"\u4E2D"sv,
                                                         u"&#x4E2D;"sv,
                                                         u"<?xml version=\"1.0\"?>"sv,
                                                         u"encoding=\"gb2312\""sv,
                                                         u"encoding=\"utf-8\""sv};

/// The plain meaning: every line converted alone, joined by the breaks of the text.
std::u16string LineByLine(std::u16string_view text, const PageConversion& convert) {
    std::u16string result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            const std::size_t length =
                text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
            result += convert(text.substr(start, i - start));
            result += text.substr(i, length);
            i += length - 1;
            start = i + 1;
        }
    }
    return result + convert(text.substr(start));
}

TEST(LineBreaksTest, RandomTextsConvertAsLineByLine) {
    std::mt19937 random(20261208);
    const std::array<PageConversion, 2> conversions = {engine::ConvertGbToUtf,
                                                       engine::ConvertUtfToGb};
    for (int k = 0; k < 4000; ++k) {
        std::u16string text;
        const int pieces = std::uniform_int_distribution<int>(0, 30)(random);
        for (int p = 0; p < pieces; ++p) {
            text +=
                kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(random)];
        }
        for (const PageConversion& convert : conversions) {
            ASSERT_EQ(ConvertKeepingLineBreaks(text, convert), LineByLine(text, convert))
                << "text #" << k << ": " << testing::PrintToString(text);
        }
    }
}

TEST(LineBreaksTest, CrLfPageIsTheEngineResult) {
    // U+4E2D; a page with CR LF breaks only is what the engine gives for it, untouched.
    const std::u16string page =
        u"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<p>\u4E2D\t&#xA;</p>\r\n";
    EXPECT_EQ(ConvertKeepingLineBreaks(page, engine::ConvertGbToUtf), engine::ConvertGbToUtf(page));
    EXPECT_EQ(ConvertKeepingLineBreaks(page, engine::ConvertUtfToGb), engine::ConvertUtfToGb(page));
}

} // namespace
} // namespace morvane::tools::test
