// Long texts: positions are not limited to 16 or 32 bits, and inputs built to
// defeat a per-ampersand or per-reference approach still give the right text.
// (Their speed is measured in the benchmark, not here.)

#include "engine/engine.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane::engine::test {
namespace {

std::u16string Repeat(std::u16string_view piece, std::size_t count) {
    std::u16string text;
    text.reserve(piece.size() * count);
    for (std::size_t k = 0; k < count; ++k) {
        text += piece;
    }
    return text;
}

constexpr std::size_t kCount = 200'000;

TEST(LargeInput, AmpersandsWithOneSemicolonAtTheEndAreAllEscaped) {
    const std::u16string text = Repeat(u"&", kCount) + u";";
    const std::u16string expected = Repeat(u"&amp;", kCount) + u";";
    EXPECT_EQ(Ascii(text), expected);
    EXPECT_EQ(ConvertGbToUtf(text), expected);
    EXPECT_EQ(ConvertUtfToGb(text), text);
}

TEST(LargeInput, UnterminatedDecimalReferencesAreEscaped) {
    const std::u16string text = Repeat(u"&#1", kCount);
    EXPECT_EQ(Ascii(text), Repeat(u"&amp;#1", kCount));
    EXPECT_EQ(UtfToGb(text), text);
}

TEST(LargeInput, DenseReferencesRoundTrip) {
    const std::u16string encoded = Repeat(u"&#x4E2D;", kCount);
    // U+4E2D CJK "middle"
    const std::u16string decoded = Repeat(u"\u4E2D", kCount);
    EXPECT_EQ(Ascii(encoded), encoded);
    EXPECT_EQ(UtfToGb(encoded), decoded);
    EXPECT_EQ(ConvertUtfToGb(encoded), decoded);
    EXPECT_EQ(ConvertGbToUtf(decoded), encoded);
}

TEST(LargeInput, LongStretchesBetweenReferencesDecodeCompletely) {
    const std::u16string stretch(100'000, u'a');
    const std::u16string text = u"&#x41;" + stretch + u"&#x42;" + stretch + u"&#x43;";
    EXPECT_EQ(UtfToGb(text), u"A" + stretch + u"B" + stretch + u"C");
}

TEST(LargeInput, SemicolonFarAfterTheAmpersandStillDecides) {
    const std::u16string digits(100'000, u'7');
    EXPECT_EQ(Ascii(u"&#" + digits + u";"), u"&#" + digits + u";");
    EXPECT_EQ(Ascii(u"&#x" + digits + u"!;"), u"&amp;#x" + digits + u"!;");
    EXPECT_EQ(UtfToGb(u"&#x" + digits + u";"), u"&#x" + digits + u";");
}

TEST(LargeInput, SpreadReferencesInAHundredThousandUnits) {
    // U+4E2D CJK "middle" every 97 units
    std::u16string text;
    std::u16string expected;
    while (text.size() < 100'000) {
        text += u"&#x4E2D;" + std::u16string(89, u'b');
        expected += u"\u4E2D" + std::u16string(89, u'b');
    }
    EXPECT_EQ(UtfToGb(text), expected);
    EXPECT_EQ(Ascii(expected), text);
}

} // namespace
} // namespace morvane::engine::test
