// Ascii: which texts pass unchanged, which ampersands are escaped, and how
// characters outside U+0020..U+00FF are written.

#include "case_table.h"
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane::engine::test {
namespace {

using namespace std::string_view_literals;

class AsciiTable : public ::testing::TestWithParam<Case> {};

TEST_P(AsciiTable, GivesTheExpectedText) {
    EXPECT_EQ(Ascii(GetParam().input), GetParam().expected);
}

// Texts that come back exactly as they went in.
INSTANTIATE_TEST_SUITE_P(
    Passes, AsciiTable,
    ::testing::Values(
        Case{"Empty", u"", u""},
        Case{"PrintableAscii", u"<p align=\"left\">Hello, world! 1+1=2 ~</p>",
             u"<p align=\"left\">Hello, world! 1+1=2 ~</p>"},
        // U+00E9 e acute, U+00A0 no-break space, U+007F delete, U+00FF y diaeresis
        Case{"Latin1", u"\u00E9\u00A0\u007F\u00FF", u"\u00E9\u00A0\u007F\u00FF"},
        Case{"EntityLt", u"a &lt; b", u"a &lt; b"}, Case{"EntityGt", u"&gt;", u"&gt;"},
        Case{"EntityApos", u"&apos;", u"&apos;"}, Case{"EntityQuot", u"&quot;", u"&quot;"},
        Case{"EntityAmp", u"&amp;", u"&amp;"}, Case{"EntityNbsp", u"&nbsp;", u"&nbsp;"},
        Case{"EntityShy", u"hyphen&shy;ation", u"hyphen&shy;ation"},
        Case{"EntityAmpFollowedByText", u"&amp;amp;", u"&amp;amp;"},
        Case{"DecimalReference", u"&#65;", u"&#65;"}, Case{"HexReference", u"&#x41;", u"&#x41;"},
        Case{"HexReferenceCapitalX", u"&#X41;", u"&#X41;"},
        Case{"HexReferenceLowerDigits", u"&#x4e2d;", u"&#x4e2d;"},
        Case{"HexReferenceManyDigits", u"&#x000000000000000041;", u"&#x000000000000000041;"},
        Case{"DecimalReferenceManyDigits", u"&#0000000000000000000065;",
             u"&#0000000000000000000065;"},
        Case{"AlreadyEncoded", u"&#x4E2D;&#x6587;&#xD;&#xA;&amp;",
             u"&#x4E2D;&#x6587;&#xD;&#xA;&amp;"},
        Case{"SemicolonsAlone", u";;a;", u";;a;"}),
    CaseName);

// Ampersands that do not begin a kept reference or entity, decided by the text
// up to the first ";" after them.
INSTANTIATE_TEST_SUITE_P(
    Escapes, AsciiTable,
    ::testing::Values(
        Case{"BareNoSemicolon", u"&", u"&amp;"}, Case{"BetweenWords", u"a & b", u"a &amp; b"},
        Case{"EntityWithoutSemicolon", u"&lt", u"&amp;lt"},
        Case{"EntityWrongCase", u"&LT;", u"&amp;LT;"},
        Case{"UnknownEntity", u"&copy;", u"&amp;copy;"},
        Case{"ShyWrongCase", u"&SHY;", u"&amp;SHY;"}, Case{"ShyLonger", u"&shyx;", u"&amp;shyx;"},
        Case{"EntityWithBlank", u"&apos ;", u"&amp;apos ;"},
        Case{"FirstSemicolonDecides", u"&lt and more;", u"&amp;lt and more;"},
        Case{"AmpersandBeforeEntity", u"&&lt;", u"&amp;&lt;"},
        Case{"AfterEntity", u"&lt;&", u"&lt;&amp;"}, Case{"NonHexDigits", u"&#xZZ;", u"&amp;#xZZ;"},
        Case{"NoDigitsHex", u"&#x;", u"&amp;#x;"}, Case{"NoDigitsDecimal", u"&#;", u"&amp;#;"},
        Case{"HexDigitsAfterDecimalMark", u"&#4E;", u"&amp;#4E;"},
        Case{"SignedDecimal", u"&#-1;", u"&amp;#-1;"}, Case{"PlusDecimal", u"&#+1;", u"&amp;#+1;"},
        Case{"BlankBeforeDigits", u"&# 1;", u"&amp;# 1;"},
        Case{"BlankAfterDigits", u"&#x41 ;", u"&amp;#x41 ;"},
        Case{"DecimalPoint", u"&#1.5;", u"&amp;#1.5;"}, Case{"Exponent", u"&#1e3;", u"&amp;#1e3;"},
        Case{"ReferenceRunsIntoNext", u"&#65&#66;", u"&amp;#65&#66;"},
        Case{"LineBreakBeforeSemicolon", u"&lt\n;", u"&amp;lt&#xA;;"},
        // U+FF11 fullwidth digit one is not a decimal digit
        Case{"FullwidthDigit", u"&#\uFF11;", u"&amp;#&#xFF11;;"},
        // U+4E2D CJK "middle"
        Case{"CjkInsideCandidate", u"&\u4E2D;", u"&amp;&#x4E2D;;"},
        Case{"CjkAroundBareAmpersand", u"\u4E2D&\u6587", u"&#x4E2D;&amp;&#x6587;"},
        Case{"ManyBare", u"&&&;", u"&amp;&amp;&amp;;"}),
    CaseName);

// Units outside U+0020..U+00FF become upper-case hexadecimal references
// without leading zeros.
INSTANTIATE_TEST_SUITE_P(
    References, AsciiTable,
    ::testing::Values(
        // U+4E2D U+6587: "Chinese text"
        Case{"Cjk", u"\u4E2D\u6587", u"&#x4E2D;&#x6587;"},
        // U+8FDB CJK "advance": four digits, never sign-extended
        Case{"HighBmpFourDigits", u"\u8FDB", u"&#x8FDB;"}, Case{"U8000", u"\u8000", u"&#x8000;"},
        Case{"UFFFF", u"\uFFFF", u"&#xFFFF;"}, Case{"U0100", u"\u0100", u"&#x100;"},
        Case{"U0001", u"\u0001", u"&#x1;"}, Case{"U001F", u"\u001F", u"&#x1F;"},
        Case{"Tab", u"\t", u"&#x9;"}, Case{"CrLf", u"a\r\nb", u"a&#xD;&#xA;b"},
        Case{"NulDropped", u"a\0b"sv, u"ab"}, Case{"OnlyNul", u"\0\0"sv, u""},
        // U+20000 CJK extension B, written as its surrogate pair
        Case{"PairOneReference", u"\xD840\xDC00", u"&#x20000;"},
        Case{"PairU10000", u"\xD800\xDC00", u"&#x10000;"},
        Case{"PairU10FFFF", u"\xDBFF\xDFFF", u"&#x10FFFF;"},
        Case{"LoneHigh",
             u"\xD840"
             u"a",
             u"&#xD840;a"},
        Case{"LoneLow", u"\xDC00", u"&#xDC00;"},
        Case{"LowBeforeHigh", u"\xDC00\xD840", u"&#xDC00;&#xD840;"},
        Case{"HighAtEnd", u"a\xD840", u"a&#xD840;"},
        Case{"NulSplitsPair", u"\xD840\0\xDC00"sv, u"&#xD840;&#xDC00;"}),
    CaseName);

} // namespace
} // namespace morvane::engine::test
