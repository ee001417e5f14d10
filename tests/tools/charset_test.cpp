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
                    CharsetCase{"GB18030", "<p>\xF0\xA0\x80\x80 中 &#x4E2D;</p>"},
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

// How a decoding error ends when the charset came from the page or from the default.
const std::string kUtf8Default = " (read as UTF-8, as nothing in the page names another charset; "
                                 "if it is in another charset, name it with --from-charset)";

TEST(PieceBoundaryTest, FaultsAfterTheFirstPieceGiveOffsetsInTheWholeInput) {
    const std::string filler(kPieceBytes + 5, 'x');
    const std::string column = std::to_string(kPieceBytes + 6);
    RunResult run = RunConvert({"--encode"}, "\n" + filler + "\xFF");
    EXPECT_EQ(run.err, "morvane-convert: -:2:" + column +
                           ": the input is not valid UTF-8: byte 0xFF at byte offset " +
                           std::to_string(kPieceBytes + 6) + kUtf8Default + "\n");
    run = RunConvert({"--encode"}, filler + "\xE4\xB8");
    EXPECT_EQ(run.err, "morvane-convert: -:1:" + column +
                           ": the input ends in the middle of a UTF-8 character (it starts at "
                           "byte offset " +
                           std::to_string(kPieceBytes + 5) + ")" + kUtf8Default + "\n");
    run = RunConvert({"--encode", "--from-charset", "GB2312"}, filler + "\xD6\xD0\xFF");
    EXPECT_EQ(run.err, "morvane-convert: -:1:" + std::to_string(kPieceBytes + 7) +
                           ": the input is not valid GB2312: byte 0xFF at byte offset " +
                           std::to_string(kPieceBytes + 7) +
                           " (read as GB2312, as --from-charset says)\n");
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

const std::string kGb2312Option = " (read as GB2312, as --from-charset says)";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ErrorTest,
    testing::Values(
        ErrorCase{"BadUtf8Byte",
                  {"--encode"},
                  "ab\xFF"
                  "cd",
                  "-:1:3: the input is not valid UTF-8: byte 0xFF at byte offset 2" + kUtf8Default},
        ErrorCase{"BadUtf8AfterLongAsciiRun",
                  {"--encode"},
                  std::string(40, 'a') + "\x80",
                  "-:1:41: the input is not valid UTF-8: byte 0x80 at byte offset 40" +
                      kUtf8Default},
        ErrorCase{"OverlongUtf8",
                  {"--gb-to-utf"},
                  "a\xC0\xAF",
                  "-:1:2: the input is not valid UTF-8: byte 0xC0 at byte offset 1" + kUtf8Default},
        ErrorCase{"EncodedSurrogate",
                  {"--decode"},
                  "\xED\xA0\x80",
                  "-:1:1: the input is not valid UTF-8: byte 0xED at byte offset 0" + kUtf8Default},
        // Lines end at LF, CR LF or a lone CR; a column is a character.
        ErrorCase{"BrokenSequence",
                  {"--decode"},
                  "a\r\nb\rc\n中\xE4"
                  "A",
                  "-:4:2: the input is not valid UTF-8: byte 0xE4 at byte offset 10" +
                      kUtf8Default},
        ErrorCase{"BadUtf8AfterByteOrderMark",
                  {"--decode"},
                  "\xEF\xBB\xBF\xFF",
                  "-:1:1: the input is not valid UTF-8: byte 0xFF at byte offset 3 (read as "
                  "UTF-8, as its byte-order mark says; if it is in another charset, name it with "
                  "--from-charset)"},
        ErrorCase{"Utf8EndsInsideCharacter",
                  {"--encode"},
                  "ab\xE4\xB8",
                  "-:1:3: the input ends in the middle of a UTF-8 character (it starts at byte "
                  "offset 2)" +
                      kUtf8Default},
        ErrorCase{"BadGb2312Byte",
                  {"--gb-to-utf", "--from-charset", "GB2312"},
                  "\xD6\xD0\xFF",
                  "-:1:2: the input is not valid GB2312: byte 0xFF at byte offset 2" +
                      kGb2312Option},
        ErrorCase{"Gb2312EndsInsideCharacter",
                  {"--gb-to-utf", "--from-charset", "GB2312"},
                  "\xD6\xD0\xD6",
                  "-:1:2: the input ends in the middle of a GB2312 character (it starts at byte "
                  "offset 2)" +
                      kGb2312Option},
        ErrorCase{"Iso2022CnEndsInsideCharacter",
                  {"--encode", "--from-charset", "ISO-2022-CN"},
                  "\x1B$)A\x0E\x56",
                  "-:1:1: the input ends in the middle of an ISO-2022-CN character (it starts at "
                  "byte offset 5) (read as ISO-2022-CN, as --from-charset says)"},
        ErrorCase{"BadByteUnderGbDeclaration",
                  {"--gb-to-utf"},
                  "<?xml version='1.0' encoding='GBK'?>\n\xD6\xD0\xFF",
                  "-:2:2: the input is not valid GB18030: byte 0xFF at byte offset 39 (read as "
                  "GB18030, as its XML declaration says; if it is in another charset, name it "
                  "with --from-charset)"},
        ErrorCase{"UnknownDeclaredCharset",
                  {"--gb-to-utf"},
                  "<?xml version=\"1.0\" encoding=\"x-no-such\"?>",
                  "-: the page declares encoding \"x-no-such\", which this system cannot read; "
                  "name its charset with --from-charset"},
        ErrorCase{"DeclaredUtf16WithoutMark",
                  {"--decode"},
                  "<?xml version=\"1.0\" encoding=\"UTF-16\"?><p/>",
                  "-:1:21: the page declares encoding \"UTF-16\" in ASCII bytes, which that "
                  "encoding does not read as ASCII (and no byte-order mark starts the page); name "
                  "the charset its bytes are in with --from-charset"},
        // A lone surrogate in UTF-16 input is named as such, wherever it stands.
        ErrorCase{"LoneSurrogateInUtf16",
                  {"--decode"},
                  std::string("\xFF\xFE"
                              "a\0\n\0\0\xDC"
                              "b\0",
                              10),
                  "-:2:1: the UTF-16LE input holds a lone surrogate U+DC00 (byte offset 6) (read "
                  "as UTF-16LE, as its byte-order mark says; if it is in another charset, name it "
                  "with --from-charset)"},
        ErrorCase{"LoneSurrogateEndsUtf16",
                  {"--decode", "--from-charset", "UTF-16BE"},
                  std::string("\0a\xD8\0", 4),
                  "-:1:2: the UTF-16BE input ends with a lone surrogate U+D800 (byte offset 2) "
                  "(read as UTF-16BE, as --from-charset says)"},
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
        ErrorCase{"UnknownDeclaredOutputCharset",
                  {"--decode", "--from-charset", "UTF-8"},
                  "<?xml version=\"1.0\" encoding=\"x-no-such\"?>",
                  "-: the result declares encoding \"x-no-such\", which this system cannot write; "
                  "name an output charset with --to-charset"},
        ErrorCase{"MissingFile",
                  {"--encode", "/no/such/file"},
                  "",
                  "/no/such/file: cannot open: No such file or directory"},
        ErrorCase{"Directory", {"--decode", "/"}, "", "/: cannot read: Is a directory"},
        // A charset in which even the reference cannot be written.
        ErrorCase{"NotEvenAReference",
                  {"--decode", "--to-charset", "ISO646-GB"},
                  "a\n&#x4E2D;",
                  "-:2:1: cannot write the character U+4E2D in ISO646-GB, not even as the "
                  "reference &#x4E2D;; choose another output charset with --to-charset"}),
    [](const auto& info) { return info.param.name; });

// An escape character is written as a reference where it would start a shift sequence (the
// ISO-2022 charsets: "ESC $ B" would switch to JIS X 0208 and a last ESC would cut the page),
// and as itself where the charset reads it back as itself.
TEST(EscapeTest, IsAReferenceOnlyWhereItWouldStartAShiftSequence) {
    const struct {
        std::string charset;
        std::string out;
    } cases[] = {
        {"ISO-2022-JP", "a&#x1B;$Bb&#x1B;"},
        {"ISO-2022-CN", "a&#x1B;$Bb&#x1B;"},
        {"ISO-8859-1", "a\x1B$Bb\x1B"},
    };
    for (const auto& c : cases) {
        const RunResult run =
            RunConvert({"--decode", "--to-charset", c.charset}, "a&#x1B;$Bb&#x1B;");
        EXPECT_EQ(run.status, 0) << c.charset << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.charset;
    }
}

TEST(PairedReferencesTest, DecodeToACharacterAboveFfff) {
    // Two references that form a surrogate pair are one character, U+20000, which UTF-8 holds.
    const RunResult run = RunConvert({"--decode"}, "&#xD840;&#xDC00;");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "\xF0\xA0\x80\x80");
}

} // namespace
} // namespace morvane::tools::test
