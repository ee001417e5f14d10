// Input and output charsets, the GB2312 sample page, and every input and encoding error,
// checked on the real binary against iconv as the reference.

#include "test_support.h"

#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace morvane::tools::test {
namespace {

const std::string kGbPage = std::string(MORVANE_TOOLS_DATA) + "/page-gb2312.wml";

// --- the GB2312 page -----------------------------------------------------------------------

TEST(GbPageTest, SampleIsGb2312WithCrLfLines) {
    const std::string bytes = ReadFileBytes(kGbPage);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
}

TEST(GbPageTest, GbToUtfReadsGb2312AndWritesTheUtf8Form) {
    const std::string bytes = ReadFileBytes(kGbPage);
    const RunResult run = RunConvert({"--from-charset", "GB2312", "--gb-to-utf", kGbPage});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, FromUtf16(engine::ConvertGbToUtf(ToUtf16(bytes, "GB2312"))));
    EXPECT_TRUE(std::all_of(run.out.begin(), run.out.end(), [](char c) { return !(c & 0x80); }))
        << "the UTF-8 form of a page without Latin-1 letters is plain ASCII";
    EXPECT_NE(run.out.find("encoding=\"utf-8\"?>\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("&#x4EE3;"), std::string::npos) << "U+4EE3 of the card title";
}

TEST(GbPageTest, UtfToGbWritesGb2312AndRestoresThePage) {
    // The page has no tabs, no "&amp;" and a declaration with an encoding, so the two
    // conversions undo each other byte for byte.
    const std::string bytes = ReadFileBytes(kGbPage);
    const RunResult forth = RunConvert({"--gb-to-utf", "--from-charset=GB2312", kGbPage});
    ASSERT_EQ(forth.status, 0) << forth.err;
    const RunResult back = RunConvert({"--utf-to-gb", "--to-charset", "GB2312"}, forth.out);
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, FromUtf16(engine::ConvertUtfToGb(ToUtf16(forth.out)), "GB2312"));
    EXPECT_EQ(back.out, bytes);
}

// --- charsets -----------------------------------------------------------------------------

struct CharsetCase {
    std::string charset;
    std::string utf8Text; // the text, which the charset can hold
    friend void PrintTo(const CharsetCase& c, std::ostream* os) { *os << c.charset; }
};

class CharsetTest : public testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetTest, DecodesAndEncodesThroughTheCharset) {
    const std::string& charset = GetParam().charset;
    const std::u16string text = ToUtf16(GetParam().utf8Text);
    const std::string input = FromUtf16(text, charset);
    const RunResult run =
        RunConvert({"--decode", "--from-charset", charset, "--to-charset", charset}, input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, FromUtf16(engine::UtfToGb(text), charset));
}

TEST_P(CharsetTest, ReadsTheCharsetIntoTheUtf8Default) {
    const std::string& charset = GetParam().charset;
    const std::u16string text = ToUtf16(GetParam().utf8Text);
    const RunResult run =
        RunConvert({"--encode", "--from-charset", charset}, FromUtf16(text, charset));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, FromUtf16(engine::Ascii(text)));
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, CharsetTest,
    testing::Values(CharsetCase{"GB2312", "<p>中文 &#x4E2D; A&amp;B</p>\r\n"},
                    CharsetCase{"GBK", "<p>中文繁體 &#x9AD4;</p>\r\n"},
                    CharsetCase{"GB18030", "<p>\xF0\xA0\x80\x80 € &#x20AC;</p>"},
                    CharsetCase{"UTF-16", "<p>\xF0\xA0\x80\x80 中 &#xD840;&#xDC00;</p>"},
                    CharsetCase{"UTF-16BE", "<p>中&#x6587;</p>"},
                    CharsetCase{"ISO-8859-1", "<p>caf\xC3\xA9 &#xE9;</p>"},
                    CharsetCase{"utf8", "<p>中 &#x6587;</p>"},
                    CharsetCase{"utf-8", "<p>中 &#x6587;</p>"},
                    CharsetCase{"ISO-2022-JP", "<p>日本 &#x8A9E;</p>"}),
    [](const auto& info) {
        std::string name;
        for (const char c : info.param.charset) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

// --- input read in pieces ------------------------------------------------------------------

// The driver reads its input in pieces of this many bytes; a character that the end of a piece
// cuts must come out whole.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

struct PieceCase {
    std::string name;
    std::string charset;
    std::size_t fillerBytes; // ASCII bytes (in the charset) before the character
    std::string utf8Tail;    // the character and what follows it
    std::size_t asciiWidth;  // bytes per ASCII character in the charset
    friend void PrintTo(const PieceCase& c, std::ostream* os) { *os << c.name; }
};

class PieceBoundaryTest : public testing::TestWithParam<PieceCase> {};

TEST_P(PieceBoundaryTest, CharacterCutByAPieceEndComesOutWhole) {
    const PieceCase& c = GetParam();
    const std::string utf8 = std::string(c.fillerBytes / c.asciiWidth, 'x') + c.utf8Tail;
    const std::string input = FromUtf16(ToUtf16(utf8), c.charset);
    const RunResult run = RunConvert({"--decode", "--from-charset", c.charset}, input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == utf8) << "output of " << run.out.size() << " bytes differs";
}

INSTANTIATE_TEST_SUITE_P(
    Charsets, PieceBoundaryTest,
    testing::Values(
        PieceCase{"Utf8ThreeByteAfterOne", "UTF-8", kPieceBytes - 1, "中文", 1},
        PieceCase{"Utf8ThreeByteAfterTwo", "UTF-8", kPieceBytes - 2, "中文", 1},
        PieceCase{"Utf8FourByteAfterThree", "UTF-8", kPieceBytes - 3, "\xF0\xA0\x80\x80z", 1},
        PieceCase{"Utf8SecondPieceCut", "UTF-8", 2 * kPieceBytes - 1, "é中", 1},
        PieceCase{"Gb2312AfterOne", "GB2312", kPieceBytes - 1, "中文", 1},
        PieceCase{"Gb18030FourByteAfterTwo", "GB18030", kPieceBytes - 2, "\xF0\xA0\x80\x80", 1},
        PieceCase{"Utf16PairAfterTwo", "UTF-16LE", kPieceBytes - 2, "\xF0\xA0\x80\x80", 2},
        PieceCase{"Iso2022EscapeCut", "ISO-2022-JP", kPieceBytes - 1, "日本 x", 1}),
    [](const auto& info) { return info.param.name; });

TEST(PieceBoundaryTest, FaultsAfterTheFirstPieceGiveOffsetsInTheWholeInput) {
    const std::string filler(kPieceBytes + 5, 'x');
    RunResult run = RunConvert({"--encode"}, filler + "\xFF");
    EXPECT_EQ(run.err, "morvane-convert: the input is not valid UTF-8: byte 0xFF at byte offset " +
                           std::to_string(kPieceBytes + 5) + "\n");
    run = RunConvert({"--encode"}, filler + "\xE4\xB8");
    EXPECT_EQ(run.err, "morvane-convert: the input ends in the middle of a UTF-8 character (it "
                       "starts at byte offset " +
                           std::to_string(kPieceBytes + 5) + ")\n");
    run = RunConvert({"--encode", "--from-charset", "GB2312"}, filler + "\xD6\xD0\xFF");
    EXPECT_EQ(run.err, "morvane-convert: the input is not valid GB2312: byte 0xFF at byte "
                       "offset " +
                           std::to_string(kPieceBytes + 7) + "\n");
    EXPECT_EQ(run.out, "");
}

// --- errors -------------------------------------------------------------------------------

struct ErrorCase {
    std::string name;
    std::vector<std::string> args;
    std::string input;
    std::string message; // the whole of standard error, after the program name
    friend void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }
};

class ErrorTest : public testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTest, OneLineOnStandardErrorNothingOnStandardOutput) {
    const RunResult run = RunConvert(GetParam().args, GetParam().input);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "morvane-convert: " + GetParam().message + "\n");
}

const std::string kLongText(300'000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Inputs, ErrorTest,
    testing::Values(
        ErrorCase{"BadUtf8Byte",
                  {"--encode"},
                  "ab\xFF"
                  "cd",
                  "the input is not valid UTF-8: byte 0xFF at byte offset 2"},
        ErrorCase{"BadUtf8AfterLongAsciiRun",
                  {"--encode"},
                  std::string(40, 'a') + "\x80",
                  "the input is not valid UTF-8: byte 0x80 at byte offset 40"},
        ErrorCase{"OverlongUtf8",
                  {"--gb-to-utf"},
                  "a\xC0\xAF",
                  "the input is not valid UTF-8: byte 0xC0 at byte offset 1"},
        ErrorCase{"EncodedSurrogate",
                  {"--decode"},
                  "\xED\xA0\x80",
                  "the input is not valid UTF-8: byte 0xED at byte offset 0"},
        ErrorCase{"BrokenSequence",
                  {"--decode"},
                  "中\xE4"
                  "A",
                  "the input is not valid UTF-8: byte 0xE4 at byte offset 3"},
        ErrorCase{"BadUtf8AfterByteOrderMark",
                  {"--decode"},
                  "\xEF\xBB\xBF\xFF",
                  "the input is not valid UTF-8: byte 0xFF at byte offset 3"},
        ErrorCase{"Utf8EndsInsideCharacter",
                  {"--encode"},
                  "ab\xE4\xB8",
                  "the input ends in the middle of a UTF-8 character (it starts at byte offset 2)"},
        ErrorCase{"BadGb2312Byte",
                  {"--gb-to-utf", "--from-charset", "GB2312"},
                  "\xD6\xD0\xFF",
                  "the input is not valid GB2312: byte 0xFF at byte offset 2"},
        ErrorCase{"Gb2312EndsInsideCharacter",
                  {"--gb-to-utf", "--from-charset", "GB2312"},
                  "\xD6\xD0\xD6",
                  "the input ends in the middle of a GB2312 character (it starts at byte offset "
                  "2)"},
        ErrorCase{"UnknownInputCharset",
                  {"--encode", "--from-charset", "NO-SUCH-SET"},
                  "x",
                  "unknown charset 'NO-SUCH-SET' (see 'iconv --list')"},
        ErrorCase{"UnknownOutputCharset",
                  {"--encode", "--to-charset", "NO-SUCH-SET"},
                  "x",
                  "unknown charset 'NO-SUCH-SET' (see 'iconv --list')"},
        ErrorCase{"UnknownCharsetBeforeUnreadableFile",
                  {"--encode", "--from-charset", "NOPE", "/no/such/file"},
                  "",
                  "unknown charset 'NOPE' (see 'iconv --list')"},
        ErrorCase{"MissingFile",
                  {"--encode", "/no/such/file"},
                  "",
                  "cannot read '/no/such/file': No such file or directory"},
        ErrorCase{"Directory", {"--decode", "/"}, "", "cannot read '/': Is a directory"},
        // Characters the output charset cannot hold, found by the decoder-independent path:
        // the decoder copies text without references as it is.
        ErrorCase{"NotInGb2312",
                  {"--decode", "--to-charset", "GB2312"},
                  "a\r\nbc€",
                  "cannot write the character U+20AC (line 2, column 3 of the converted text) "
                  "in GB2312"},
        ErrorCase{"AboveFfffNotInLatin1",
                  {"--decode", "--to-charset", "ISO-8859-1"},
                  "\xF0\xA0\x80\x80\xF0\xA0\x80\x80 x\xC3\xA9\xF0\xA0\x80\x81",
                  "cannot write the character U+20000 (line 1, column 1 of the converted text) "
                  "in ISO-8859-1"},
        ErrorCase{"NotInGb2312AfterLongText",
                  {"--decode", "--to-charset", "GB2312"},
                  kLongText + "€",
                  "cannot write the character U+20AC (line 1, column 300001 of the converted "
                  "text) in GB2312"},
        // Lone surrogates made by the decoder from references.
        ErrorCase{"LoneHighSurrogate",
                  {"--decode"},
                  "&#xD800;",
                  "cannot write the lone surrogate U+D800 (line 1, column 1 of the converted "
                  "text) in UTF-8"},
        ErrorCase{"LoneLowSurrogate",
                  {"--decode"},
                  "中\nx&#xDC00;",
                  "cannot write the lone surrogate U+DC00 (line 2, column 2 of the converted "
                  "text) in UTF-8"},
        ErrorCase{"LoneSurrogateAfterLongText",
                  {"--decode"},
                  kLongText + "\xF0\xA0\x80\x80&#xD800;",
                  "cannot write the lone surrogate U+D800 (line 1, column 300002 of the "
                  "converted text) in UTF-8"},
        ErrorCase{"LoneSurrogateNotInGb18030",
                  {"--decode", "--to-charset", "GB18030"},
                  "ab&#xDBFF;",
                  "cannot write the lone surrogate U+DBFF (line 1, column 3 of the converted "
                  "text) in GB18030"}),
    [](const auto& info) { return info.param.name; });

TEST(PairedReferencesTest, DecodeToACharacterAboveFfff) {
    // Two references that form a surrogate pair are one character, U+20000, which UTF-8 holds.
    const RunResult run = RunConvert({"--decode"}, "&#xD840;&#xDC00;");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "\xF0\xA0\x80\x80");
}

} // namespace
} // namespace morvane::tools::test
