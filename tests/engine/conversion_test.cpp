// ConvertGbToUtf and ConvertUtfToGb: the encoder or decoder followed by their
// literal replacements, in order.

#include "case_table.h"
#include "engine/engine.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane::engine::test {
namespace {

using namespace std::string_view_literals;

class ConvertGbToUtfTable : public ::testing::TestWithParam<Case> {};
class ConvertUtfToGbTable : public ::testing::TestWithParam<Case> {};

TEST_P(ConvertGbToUtfTable, GivesTheExpectedText) {
    EXPECT_EQ(ConvertGbToUtf(GetParam().input), GetParam().expected);
}

TEST_P(ConvertUtfToGbTable, GivesTheExpectedText) {
    EXPECT_EQ(ConvertUtfToGb(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Page, ConvertGbToUtfTable,
    ::testing::Values(
        Case{"Empty", u"", u""},
        // U+4E2D U+6587: "Chinese text"
        Case{"DeclarationAndLines",
             u"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<p>\u4E2D\u6587</p>",
             u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<p>&#x4E2D;&#x6587;</p>"},
        // U+4EE3 U+7801 U+5B9E U+4F8B: "code example"
        Case{"Attribute", u"title=\"WAP\u4EE3\u7801\u5B9E\u4F8B\"",
             u"title=\"WAP&#x4EE3;&#x7801;&#x5B9E;&#x4F8B;\""},
        Case{"BareDeclarationKept", u"<?xml version=\"1.0\"?>", u"<?xml version=\"1.0\"?>"},
        Case{"DeclarationAnywhere", u"<a encoding=\"gb2312\"/>", u"<a encoding=\"utf-8\"/>"},
        Case{"BareAmpersand", u"a & b", u"a &amp; b"},
        Case{"EntitiesKept", u"&lt;&amp;&nbsp;&#65;", u"&lt;&amp;&nbsp;&#65;"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Whitespace, ConvertGbToUtfTable,
    ::testing::Values(
        Case{"TabIndentRemoved", u"\t\t<p>x</p>\r\n\t<br/>", u"<p>x</p>\r\n<br/>"},
        Case{"BlankIndentKept", u"  <p>x</p>", u"  <p>x</p>"}, Case{"LoneCr", u"a\rb", u"a&#xD;b"},
        Case{"LoneLf", u"a\nb", u"a&#xA;b"}, Case{"LfCr", u"\n\r", u"&#xA;&#xD;"},
        Case{"CrCrLf", u"\r\r\n", u"&#xD;\r\n"}, Case{"CrLfLf", u"\r\n\n", u"\r\n&#xA;"},
        Case{"TabBetweenCrAndLf", u"\r\t\n", u"\r\n"},
        Case{"NulBetweenCrAndLf", u"\r\0\n"sv, u"\r\n"},
        Case{"TypedTabReferenceRemoved", u"a&#x9;b", u"ab"},
        Case{"TypedLineBreakReferences", u"a&#xD;&#xA;b", u"a\r\nb"},
        Case{"TypedCrReferenceThenLf", u"&#xD;\n", u"\r\n"},
        Case{"CrThenTypedLfReference", u"\r&#xA;", u"\r\n"},
        Case{"OtherTabSpellingsKept", u"&#X9;&#x09;&#9;", u"&#X9;&#x09;&#9;"},
        Case{"TabInsideDeclaration", u"encoding=\"gb\t2312\"", u"encoding=\"gb 2312\""},
        Case{"NulInsideDeclaration", u"encoding=\"gb\0002312\""sv, u"encoding=\"utf-8\""},
        // The ampersand is decided with the blank that the tab becomes.
        Case{"TabInsideReference", u"&#x4\t1;", u"&amp;#x4 1;"},
        Case{"TabInsideEntity", u"&l\tt;", u"&amp;l t;"}),
    CaseName);

// A run of tabs between two characters separates them; beside a blank or a line
// break, or at either end of the text, it is spacing and goes.
INSTANTIATE_TEST_SUITE_P(
    TabRuns, ConvertGbToUtfTable,
    ::testing::Values(
        Case{"BetweenElementNameAndAttribute", u"<card\tid=\"c\">", u"<card id=\"c\">"},
        Case{"BetweenDeclarationAttributes", u"<?xml version=\"1.0\"\tencoding=\"gb2312\"?>",
             u"<?xml version=\"1.0\" encoding=\"utf-8\"?>"},
        // U+540D U+5B57 "name", U+5E74 U+9F84 "age"
        Case{"BetweenWords", u"\u540D\u5B57\t\u5E74\u9F84", u"&#x540D;&#x5B57; &#x5E74;&#x9F84;"},
        Case{"RunIsOneBlank", u"a\t\t\tb", u"a b"}, Case{"BesideBlankAfter", u"a\t b", u"a b"},
        Case{"BesideBlankBefore", u"a \t\tb", u"a b"}, Case{"AtStart", u"\t\ta", u"a"},
        Case{"AtEnd", u"a\t", u"a"}, Case{"AloneInText", u"\t", u""},
        Case{"TrailingBeforeLineBreak", u"a\t\r\n\tb", u"a\r\nb"},
        Case{"BeforeLoneLf", u"a\t\nb", u"a&#xA;b"},
        // The neighbours are those of the text as given: a "&#x9;" is one, and goes.
        Case{"BesideTabReference", u"a\t&#x9;b", u"a b"},
        Case{"NulIsANeighbour", u"a\t\0b"sv, u"a b"},
        Case{"BesideShy", u"&shy;\t&shy;", u"&shy; &shy;"}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    DeclarationsMatchedExactly, ConvertGbToUtfTable,
    ::testing::Values(Case{"UpperCase", u"encoding=\"GB2312\"", u"encoding=\"GB2312\""},
                      Case{"SingleQuotes", u"encoding='gb2312'", u"encoding='gb2312'"},
                      Case{"Blanks", u"encoding = \"gb2312\"", u"encoding = \"gb2312\""}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Page, ConvertUtfToGbTable,
    ::testing::Values(Case{"Empty", u"", u""},
                      Case{"BareDeclarationCompleted", u"<?xml version=\"1.0\"?>",
                           u"<?xml version=\"1.0\" encoding=\"gb2312\"?>"},
                      Case{"TwoBareDeclarations", u"<?xml version=\"1.0\"?><?xml version=\"1.0\"?>",
                           u"<?xml version=\"1.0\" encoding=\"gb2312\"?><?xml version=\"1.0\" "
                           u"encoding=\"gb2312\"?>"},
                      Case{"Utf8Declaration", u"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
                           u"<?xml version=\"1.0\" encoding=\"gb2312\"?>"},
                      // U+4E2D U+6587: "Chinese text"
                      Case{"References", u"<p>&#x4E2D;&#x6587;</p>&#xD;&#xA;&#x9;",
                           u"<p>\u4E2D\u6587</p>\r\n\t"},
                      Case{"Ampersands", u"a &amp; b &lt; c", u"a & b &lt; c"},
                      Case{"AmpersandNotRescanned", u"&amp;amp;", u"&amp;"},
                      Case{"TabsStay", u"\t<p/>", u"\t<p/>"},
                      Case{"UpperCaseUtf8", u"encoding=\"UTF-8\"", u"encoding=\"UTF-8\""},
                      Case{"GbDeclarationStays", u"encoding=\"gb2312\"", u"encoding=\"gb2312\""},
                      // Replacements see the decoded text.
                      Case{"DecodedAmpersand", u"&#x26;amp;", u"&"},
                      Case{"DecodedDeclaration", u"&#x3C;?xml version=\"1.0\"?&#x3E;",
                           u"<?xml version=\"1.0\" encoding=\"gb2312\"?>"},
                      Case{"DecodedHyphen", u"encoding=\"utf&#x2D;8\"", u"encoding=\"gb2312\""},
                      Case{"UnreadableKept", u"&#xZZ;&amp;", u"&#xZZ;&"},
                      Case{"DeclarationNextToAmpersand", u"&amp;<?xml version=\"1.0\"?>&amp;",
                           u"&<?xml version=\"1.0\" encoding=\"gb2312\"?>&"}),
    CaseName);

} // namespace
} // namespace morvane::engine::test
