// UtfToGb: readable references become their characters; everything else,
// unreadable references included, is copied as it stands.

#include "case_table.h"
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane::engine::test {
namespace {

using namespace std::string_view_literals;

class UtfToGbTable : public ::testing::TestWithParam<Case> {};

TEST_P(UtfToGbTable, GivesTheExpectedText) {
    EXPECT_EQ(UtfToGb(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Decodes, UtfToGbTable,
    ::testing::Values(
        Case{"Empty", u"", u""}, Case{"PlainText", u"abc", u"abc"},
        // U+4E2D U+6587: "Chinese text"
        Case{"UpperDigits", u"&#x4E2D;&#x6587;", u"\u4E2D\u6587"},
        Case{"LowerDigits", u"&#x4e2d;&#x6587;", u"\u4E2D\u6587"},
        Case{"BetweenText", u"A&#x41;B", u"AAB"}, Case{"Adjacent", u"&#x41;&#x42;", u"AB"},
        Case{"U8000", u"&#x8000;", u"\u8000"}, Case{"UFFFF", u"&#xFFFF;", u"\uFFFF"},
        Case{"Zero", u"&#x0;", u"\0"sv}, Case{"Tab", u"&#x9;", u"\t"},
        // U+5173 CJK "close" decodes like any other character
        Case{"U5173Between", u"X&#x5173;Y", u"X\u5173Y"},
        Case{"U5173AtEnd", u"X&#x5173;", u"X\u5173"}, Case{"U5173Alone", u"&#x5173;", u"\u5173"},
        Case{"LeadingZeros", u"&#x04E2D;", u"\u4E2D"},
        Case{"ManyLeadingZeros", u"&#x00000000000000000041;", u"A"},
        // U+10000 linear B syllable, written as a surrogate pair
        Case{"AboveFFFF", u"&#x10000;z&#x41;", u"\xD800\xDC00zA"},
        Case{"LastCharacter", u"&#x10FFFF;", u"\xDBFF\xDFFF"},
        // U+20000 CJK extension B from two code-unit references
        Case{"SurrogateUnits", u"&#xD840;&#xDC00;", u"\xD840\xDC00"},
        Case{"LoneSurrogateUnit", u"&#xDC00;", u"\xDC00"},
        Case{"ExtraSemicolon", u"&#x41;;", u"A;"}, Case{"AmpersandBefore", u"&&#x41;", u"&A"},
        Case{"MarkerInsideDigitsRunsOn", u"&#x&#x41;", u"&#xA"},
        Case{"DigitsThenMarker", u"&#x4&#x41;", u"&#x4A"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    LeavesAlone, UtfToGbTable,
    ::testing::Values(Case{"CapitalX", u"&#X4E2D;", u"&#X4E2D;"},
                      Case{"Decimal", u"&#20013;", u"&#20013;"}, Case{"Entity", u"&amp;", u"&amp;"},
                      Case{"NonHexDigits", u"&#xZZ;abc&#x41;", u"&#xZZ;abcA"},
                      Case{"NoDigits", u"&#x;x&#x42;", u"&#x;xB"},
                      Case{"Unterminated", u"A&#x41 text &#x42;", u"A&#x41 text B"},
                      Case{"UnterminatedAtEnd", u"tail &#x41", u"tail &#x41"},
                      Case{"MarkerAtEnd", u"ab&#x", u"ab&#x"}, Case{"PartialMarker", u"&#", u"&#"},
                      Case{"AboveLastCharacter", u"&#x110000;", u"&#x110000;"},
                      Case{"OverlongDigits", u"&#xFFFFFFFFFFFFFFFFFFFFFFFF41;",
                           u"&#xFFFFFFFFFFFFFFFFFFFFFFFF41;"},
                      Case{"BlankInDigits", u"&#x 41;", u"&#x 41;"},
                      Case{"BlankAfterDigits", u"&#x41 ;", u"&#x41 ;"},
                      Case{"Sign", u"&#x+41;", u"&#x+41;"},
                      Case{"LineBreakInDigits", u"&#x4\n1;", u"&#x4\n1;"},
                      // U+FF11 fullwidth digit one is not a hexadecimal digit
                      Case{"FullwidthDigit", u"&#x\uFF11;", u"&#x\uFF11;"}),
    CaseName);

} // namespace
} // namespace morvane::engine::test
