// Real page files through the driver: their own line breaks, the encodings
// they declare, and nothing lost. The written bytes are checked with readers
// that share no code with the driver: Python's codecs and xmllint.

#include "test_support.h"

#include "engine/engine.h"

#include <gtest/gtest.h>

namespace morvane::tools::test {
namespace {

struct PageCase {
    std::string name;
    std::vector<std::string> args;
    std::string input;
    std::string output;
    friend void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }
};

class PageTest : public testing::TestWithParam<PageCase> {};

TEST_P(PageTest, WritesTheExpectedBytesWithoutAWord) {
    const RunResult run = RunConvert(GetParam().args, GetParam().input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, GetParam().output);
}

const auto kCaseName = [](const auto& info) { return info.param.name; };

// The file's own line breaks stay real breaks of the same kind in the page modes.
INSTANTIATE_TEST_SUITE_P(
    LineBreaks, PageTest,
    testing::Values(
        // U+4E2D as GB2312 bytes
        PageCase{"LfPage",
                 {"--gb-to-utf"},
                 "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<p>\xD6\xD0</p>\n",
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<p>&#x4E2D;</p>\n"},
        PageCase{"MixedBreaksKeptEach", {"--gb-to-utf"}, "a\nb\r\nc\rd\n\r", "a\nb\r\nc\rd\n\r"},
        PageCase{"TrailingTabBeforeLf", {"--gb-to-utf"}, "<p>\t\n\tx</p>", "<p>\nx</p>"},
        PageCase{"UtfToGbLf", {"--utf-to-gb"}, "<p>&#x41;</p>\n<p/>\r", "<p>A</p>\n<p/>\r"},
        // References that the page held become what the engine makes of them; the file's
        // own breaks around them stay as they were.
        PageCase{"TypedBreakReferencesBesideLf",
                 {"--gb-to-utf"},
                 "a&#xD;&#xA;b\nc&#xA;\nd",
                 "a\r\nb\nc&#xA;\nd"},
        PageCase{"DecodedBreakReferencesBesideLf",
                 {"--utf-to-gb"},
                 "x&#xA;\ny&#xD;\r\nz",
                 "x\n\ny\r\r\nz"},
        // The encoder and decoder alone see the text as it is.
        PageCase{"EncodeWritesLfAsReference", {"--encode"}, "a\nb", "a&#xA;b"},
        PageCase{"DecodeKeepsLf", {"--decode"}, "a\n&#xA;", "a\n\n"}),
    kCaseName);

// The input's byte-order mark or declaration says how it is read; the mark is dropped.
INSTANTIATE_TEST_SUITE_P(
    Sniffing, PageTest,
    testing::Values(
        PageCase{"Utf8Mark", {"--encode"}, "\xEF\xBB\xBF<p>\xE4\xB8\xAD</p>", "<p>&#x4E2D;</p>"},
        PageCase{"Utf16LeMark",
                 {"--encode"},
                 std::string("\xFF\xFE<\0p\0>\0\x2D\x4E", 10),
                 "<p>&#x4E2D;"},
        PageCase{"Utf16BeMark",
                 {"--encode"},
                 std::string("\xFE\xFF\0<\0p\0>\x4E\x2D", 10),
                 "<p>&#x4E2D;"},
        PageCase{"Gb18030Mark", {"--encode"}, "\x84\x31\x95\x33<p>\xD6\xD0", "<p>&#x4E2D;"},
        // A1A4 reads as U+00B7 under every GB label, as browsers read it; written back
        // under gb2312 it is a reference, since GB2312 readers take A1A4 for U+30FB.
        PageCase{"GbLabelAnyCaseAnyQuote",
                 {"--decode"},
                 "<?xml version='1.0' encoding='GB_2312-80'?><p>\xA1\xA4\xD6\xD0</p>",
                 "<?xml version='1.0' encoding='GB_2312-80'?><p>&#xB7;\xD6\xD0</p>"},
        PageCase{"Latin1Declared",
                 {"--decode"},
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>caf\xE9 &#x4E2D;",
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>caf\xE9 &#x4E2D;"},
        PageCase{"OptionOverridesDeclaration",
                 {"--decode", "--from-charset", "ISO-8859-1"},
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xE9",
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xC3\xA9"}),
    kCaseName);

// Nothing is lost: what the output cannot hold, and references that name no character,
// are written as references.
INSTANTIATE_TEST_SUITE_P(
    NothingLost, PageTest,
    testing::Values(
        PageCase{
            "LoneSurrogateReference", {"--decode"}, "a&#xD800;b&#xdc00;", "a&#xD800;b&#xDC00;"},
        PageCase{"NulReference", {"--decode"}, "a&#x0;b", "a&#x0;b"},
        // U+1F600, as older encoders wrote it
        PageCase{"PairOfReferences", {"--decode"}, "&#xD83D;&#xDE00;", "\xF0\x9F\x98\x80"},
        PageCase{"PairUnderGb2312",
                 {"--utf-to-gb"},
                 "<?xml version=\"1.0\"?>&#xD83D;&#xDE00;&#x9555;\xC3\xA9",
                 "<?xml version=\"1.0\" encoding=\"gb2312\"?>&#x1F600;&#x9555;\xA8\xA6"},
        PageCase{"Gb18030FourByteCodes",
                 {"--decode", "--to-charset", "gb18030"},
                 "\xF0\x9F\x98\x80\xC2\x80",
                 "\x94\x39\xFC\x36\x81\x30\x81\x30"},
        PageCase{"LeadingFeffReference", {"--decode"}, "&#xFEFF;x", "&#xFEFF;x"},
        PageCase{"IgnoreSkipsWhatItCannotWrite",
                 {"--decode", "--to-charset", "ISO-8859-1//IGNORE"},
                 "a\xE4\xB8\xAD"
                 "b\xC3\xA9",
                 "ab\xE9"},
        // iconv's own suffixes are the user's choice: no character is reported as unwritable.
        PageCase{"TranslitWritesWhatIconvMakes",
                 {"--decode", "--to-charset", "ASCII//TRANSLIT"},
                 "caf\xC3\xA9",
                 "caf?"},
        PageCase{"IgnoreOnInput",
                 {"--decode", "--from-charset", "UTF-8//IGNORE"},
                 "a\xFF"
                 "b",
                 "ab"},
        PageCase{"Utf16ResultHasAMark",
                 {"--decode", "--from-charset", "UTF-8"},
                 "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
                 FromUtf16(u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>", "UTF-16LE")}),
    kCaseName);

// --- notes --------------------------------------------------------------------------------

struct NoteCase {
    std::string name;
    std::vector<std::string> args;
    std::string input;
    std::string note; // standard error, after the program name
    friend void PrintTo(const NoteCase& c, std::ostream* os) { *os << c.name; }
};

class NoteTest : public testing::TestWithParam<NoteCase> {};

TEST_P(NoteTest, SaysWhyTheBytesMayNotMatchAndSucceeds) {
    const RunResult run = RunConvert(GetParam().args, GetParam().input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, GetParam().note.empty() ? "" : "morvane-convert: " + GetParam().note + "\n");
    EXPECT_FALSE(run.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, NoteTest,
    testing::Values(
        NoteCase{"GbLabelNotRewritten",
                 {"--gb-to-utf"},
                 "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<p>caf\xA8\xA6</p>",
                 "-:1:21: note: the declaration encoding=\"GB2312\" is left as it is (only "
                 "encoding=\"gb2312\" is rewritten to utf-8)"},
        NoteCase{"BlanksAroundEquals",
                 {"--gb-to-utf"},
                 "<?xml version=\"1.0\" encoding = \"gbk\"?><p>\xD6\xD0</p>",
                 "-:1:21: note: the declaration encoding = \"gbk\" is left as it is (only "
                 "encoding=\"gb2312\" is rewritten to utf-8)"},
        NoteCase{"Utf8LabelNotRewritten",
                 {"--utf-to-gb"},
                 "<?xml version=\"1.0\" encoding='utf-8'?>",
                 "-:1:21: note: the declaration encoding='utf-8' is left as it is (only "
                 "encoding=\"utf-8\" is rewritten to gb2312)"},
        NoteCase{"DeclarationNotCompleted",
                 {"--utf-to-gb"},
                 "<?xml version='1.0'?><p/>",
                 "-:1:1: note: the XML declaration is left without an encoding (only <?xml "
                 "version=\"1.0\"?> is completed with encoding=\"gb2312\")"},
        NoteCase{"OptionAgainstDeclaration",
                 {"--gb-to-utf", "--to-charset", "GB2312"},
                 "<?xml version=\"1.0\" encoding=\"gb2312\"?><p/>",
                 "-:1:21: note: the result is written in GB2312 (--to-charset), but its "
                 "declaration names utf-8"},
        NoteCase{"OptionOnPageWithoutDeclaration",
                 {"--utf-to-gb", "--to-charset", "GBK"},
                 "<p/>",
                 "-:1:1: note: the result is written in GBK (--to-charset), but it declares no "
                 "encoding, so it reads as UTF-8"},
        // Said once, also where the encoder's result is written a stretch at a time.
        NoteCase{"EncodeNotesOnce",
                 {"--encode", "--to-charset", "ISO-8859-1"},
                 "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + std::string(200'000, 'x'),
                 "-:1:21: note: the result is written in ISO-8859-1 (--to-charset), but its "
                 "declaration names utf-8"},
        NoteCase{"EncodeStretchesNoteOnce",
                 {"--encode", "--to-charset", "UTF-8"},
                 "<?xml version=\"1.0\" encoding=\"gbk\"?>" + std::string(200'000, 'x'),
                 "-:1:21: note: the result is written in UTF-8 (--to-charset), but its "
                 "declaration names gbk"},
        NoteCase{"OptionMatchingDeclaration",
                 {"--utf-to-gb", "--to-charset", "csGB2312"},
                 "<?xml version=\"1.0\"?><p/>",
                 ""},
        NoteCase{"NoPageNoNote", {"--decode", "--to-charset", "GBK"}, "<p/>", ""}),
    kCaseName);

// --- independent readers ------------------------------------------------------------------

// Every character XML allows in the Basic Multilingual Plane from U+00A0 on, and a few
// beyond it, under each GB label: every reader of the label must read the written bytes as
// the same text, which with its references resolved is the text given.
struct LabelCase {
    std::string label;
    std::vector<std::string> codecs; // Python's readers of the label
};

class GbLabelTest : public testing::TestWithParam<LabelCase> {};

TEST_P(GbLabelTest, EveryReaderReadsTheSameCharacters) {
    std::u16string body;
    for (char32_t c = 0xA0; c <= 0xFFFD; ++c) {
        if (c < 0xD800 || c >= 0xE000) {
            body += static_cast<char16_t>(c);
        }
    }
    body += u"\U00020000\U0001F600";
    const std::u16string page = u"<?xml version=\"1.0\" encoding=\"" +
                                std::u16string(GetParam().label.begin(), GetParam().label.end()) +
                                u"\"?><p>" + body + u"</p>";
    const RunResult run = RunConvert({"--decode", "--from-charset", "UTF-8"}, FromUtf16(page));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(XmllintErrors(run.out), "");
    for (const std::string& codec : GetParam().codecs) {
        const std::string read = PythonDecode(run.out, codec);
        EXPECT_TRUE(engine::UtfToGb(ToUtf16(read)) == page) << codec << " reads other characters";
    }
    if (GetParam().label == "gb2312") {
        // The bytes stay in the two-byte GB2312 range, rows A1..F7 and cells A1..FE.
        for (std::size_t k = 0; k < run.out.size(); ++k) {
            const auto lead = static_cast<unsigned char>(run.out[k]);
            if (lead >= 0x80) {
                ASSERT_TRUE(k + 1 < run.out.size() && lead >= 0xA1 && lead <= 0xF7 &&
                            static_cast<unsigned char>(run.out[k + 1]) >= 0xA1)
                    << "byte offset " << k;
                ++k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Labels, GbLabelTest,
                         testing::Values(LabelCase{"gb2312", {"gb2312", "gbk", "gb18030"}},
                                         LabelCase{"GBK", {"gbk", "gb18030"}},
                                         LabelCase{"gb18030", {"gb18030"}}),
                         [](const auto& info) { return info.param.label; });

// The pages of the first report, checked as a WAP gateway's XML reader would.
TEST(WellFormedTest, ConvertedPagesStayWellFormed) {
    const std::string gbPage = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
                               "<wml>\n<card\tid=\"c\" title=\"\xD6\xD0\">\n"
                               "\t<p>caf\xA8\xA6\tb \xA1\xA4</p>\n</card>\n</wml>\n";
    ASSERT_EQ(XmllintErrors(gbPage), "");
    const RunResult utf = RunConvert({"--gb-to-utf"}, gbPage);
    ASSERT_EQ(utf.status, 0) << utf.err;
    EXPECT_EQ(XmllintErrors(utf.out), "");
    EXPECT_NE(utf.out.find("<card id=\"c\""), std::string::npos) << utf.out;
    const RunResult gb = RunConvert({"--utf-to-gb"}, utf.out);
    ASSERT_EQ(gb.status, 0) << gb.err;
    EXPECT_EQ(XmllintErrors(gb.out), "");
    EXPECT_EQ(PythonDecode(gb.out, "gb2312"), PythonDecode(gb.out, "gb18030"));
}

} // namespace
} // namespace morvane::tools::test
