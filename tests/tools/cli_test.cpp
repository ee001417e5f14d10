// The driver's command line, its modes and its output failures, checked on the real binary.

#include "test_support.h"

#include "engine/engine.h"
#include "morvane/version.h"
#include "tools/cli_options.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <functional>

namespace morvane::tools::test {
namespace {

const std::string kVersionLine = std::string("morvane-convert ") + morvane::kVersion + "\n";

const std::string kHint = "Try 'morvane-convert --help' for more information.";

// --- --help and --version ---------------------------------------------------------------

struct InfoCase {
    std::vector<std::string> args;
    std::string expectedStart; // what standard output begins with
    friend void PrintTo(const InfoCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.args);
    }
};

class InfoTest : public testing::TestWithParam<InfoCase> {};

TEST_P(InfoTest, PrintsOnStandardOutputAndSucceeds) {
    const RunResult run = RunConvert(GetParam().args);
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with(GetParam().expectedStart)) << run.out;
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Options, InfoTest,
    testing::Values(InfoCase{{"--help"}, "Usage: morvane-convert MODE"},
                    InfoCase{{"--encode", "--help"}, "Usage: morvane-convert MODE"},
                    InfoCase{{"--help", "--no-such-option"}, "Usage: morvane-convert MODE"},
                    InfoCase{{"--version"}, kVersionLine},
                    InfoCase{{"--version", "a", "b"}, kVersionLine},
                    // One-letter options bundle as getopt_long allows; the first answer wins.
                    InfoCase{{"-hV"}, "Usage: morvane-convert MODE"},
                    InfoCase{{"-Vh"}, kVersionLine},
                    InfoCase{{"--encode", "-ih"}, "Usage: morvane-convert MODE"}));

TEST(VersionTest, IsExactlyOneLine) {
    EXPECT_EQ(RunConvert({"--version"}).out, kVersionLine);
}

// --- usage errors ------------------------------------------------------------------------

struct UsageCase {
    std::vector<std::string> args;
    std::string message; // the first line of standard error, after the program name
    friend void PrintTo(const UsageCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.args);
    }
};

class UsageErrorTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, ExitsWithTwoAndAHint) {
    const RunResult run = RunConvert(GetParam().args, "text");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err),
              (std::vector<std::string>{"morvane-convert: " + GetParam().message, kHint}));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, UsageErrorTest,
    testing::Values(
        UsageCase{{}, "no mode given: choose one of --gb-to-utf, --utf-to-gb, --encode, --decode"},
        UsageCase{{"page.wml"},
                  "no mode given: choose one of --gb-to-utf, --utf-to-gb, --encode, --decode"},
        UsageCase{{"--bogus"}, "unknown option '--bogus'"},
        UsageCase{{"--encode", "-x"}, "unknown option '-x'"},
        // A long option may be shortened (AbbreviationTest), but not lengthened.
        UsageCase{{"--encodes"}, "unknown option '--encodes'"},
        UsageCase{{"--gb-to-utf-8"}, "unknown option '--gb-to-utf-8'"},
        UsageCase{{"--enc=1"}, "option '--enc' takes no value"},
        UsageCase{{"--enc", "--dec"}, "choose one mode only, not both --encode and --decode"},
        UsageCase{{"--enc", "--out"}, "option '--out' needs a folder"},
        UsageCase{{"--encode", "--version=2"}, "option '--version' takes no value"},
        UsageCase{{"--gb-to-utf=1"}, "option '--gb-to-utf' takes no value"},
        UsageCase{{"--encode", "-ix"}, "unknown option '-x' in '-ix'"},
        UsageCase{{"--encode", "-io", "out", "a.wml"},
                  "choose either -o DIR or --in-place, not both"},
        // A value is refused in the words the user typed.
        UsageCase{{"--encode", "-o", ""}, "option '-o' needs a folder"},
        UsageCase{{"--encode", "-o"}, "option '-o' needs a folder"},
        UsageCase{{"--encode", "--output-dir", ""}, "option '--output-dir' needs a folder"},
        UsageCase{{"--encode", "--output-dir="}, "option '--output-dir' needs a folder"},
        UsageCase{{"--encode", "--decode"}, "choose one mode only, not both --encode and --decode"},
        UsageCase{{"--gb-to-utf", "--utf-to-gb"},
                  "choose one mode only, not both --gb-to-utf and --utf-to-gb"},
        UsageCase{{"--decode", "--decode", "--gb-to-utf"},
                  "choose one mode only, not both --decode and --gb-to-utf"},
        UsageCase{{"--encode", "--from-charset"}, "option '--from-charset' needs a charset name"},
        UsageCase{{"--encode", "--to-charset"}, "option '--to-charset' needs a charset name"},
        UsageCase{{"--encode", "--to-charset="}, "option '--to-charset' needs a charset name"},
        UsageCase{{"--encode", "--from-charset", ""},
                  "option '--from-charset' needs a charset name"},
        UsageCase{{"--encode", "a.wml", "b.wml"},
                  "more than one input file ('a.wml' and 'b.wml') needs -o DIR or --in-place"},
        UsageCase{{"--encode", "-", "-"},
                  "more than one input file ('-' and '-') needs -o DIR or --in-place"},
        UsageCase{{"--encode", "--", "a", "--decode"},
                  "more than one input file ('a' and '--decode') needs -o DIR or --in-place"}));

// --- the four modes ------------------------------------------------------------------------

// A small page with everything the conversions touch: a declaration, CR LF lines, tabs,
// ampersands bare and escaped, references, Latin-1 and CJK text and a character above U+FFFF.
// It is UTF-8 as it declares; only --utf-to-gb rewrites the declaration, to gb2312.
const std::string kSample = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                            "<p title=\"WAP代码实例\">\r\n"
                            "\t\tA & B &amp; C &lt;&#x4E2D;&#x6587;&gt; café\r\n"
                            "<?xml version=\"1.0\"?> encoding=\"utf-8\" \xF0\xA0\x80\x80\r\n"
                            "</p>";

struct ModeCase {
    std::string name;
    std::string option;
    std::function<std::u16string(std::u16string_view)> function;
    std::string charset; // what the result declares
    friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.option; }
};

class ModeTest : public testing::TestWithParam<ModeCase> {};

TEST_P(ModeTest, WritesTheEngineResultForStandardInput) {
    const RunResult run = RunConvert({GetParam().option}, kSample);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::u16string expected = GetParam().function(ToUtf16(kSample));
    if (GetParam().charset == "GB2312") {
        // U+20000, which GB2312 cannot hold, is written as a reference.
        const std::size_t at = expected.find(u"\U00020000");
        ASSERT_NE(at, std::u16string::npos);
        expected.replace(at, 2, u"&#x20000;");
    }
    EXPECT_EQ(run.out, FromUtf16(expected, GetParam().charset));
}

TEST_P(ModeTest, ReadsTheSameFromAFileAsFromStandardInput) {
    const ScratchDir dir;
    const std::string path = dir.Write("page.wml", kSample);
    const std::string viaStdin = RunConvert({GetParam().option}, kSample).out;
    EXPECT_EQ(RunConvert({GetParam().option, path}).out, viaStdin);
    EXPECT_EQ(RunConvert({path, GetParam().option}).out, viaStdin);
    EXPECT_EQ(RunConvert({GetParam().option, "-"}, kSample).out, viaStdin);
    EXPECT_EQ(RunConvert({"-", GetParam().option}, kSample).out, viaStdin);
}

TEST_P(ModeTest, EmptyInputGivesEmptyOutput) {
    const RunResult run = RunConvert({GetParam().option}, "");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTest,
    testing::Values(ModeCase{"GbToUtf", "--gb-to-utf", engine::ConvertGbToUtf, "UTF-8"},
                    ModeCase{"UtfToGb", "--utf-to-gb", engine::ConvertUtfToGb, "GB2312"},
                    ModeCase{"Encode", "--encode", engine::Ascii, "UTF-8"},
                    ModeCase{"Decode", "--decode", engine::UtfToGb, "UTF-8"}),
    [](const auto& info) { return info.param.name; });

// Results known by hand, so a driver that picks the wrong engine function or loses bytes
// shows up even where the expectation above would follow it.
struct KnownCase {
    std::vector<std::string> args;
    std::string input;
    std::string output;
    friend void PrintTo(const KnownCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.args) << " on " << testing::PrintToString(c.input);
    }
};

class KnownResultTest : public testing::TestWithParam<KnownCase> {};

TEST_P(KnownResultTest, WritesTheExpectedBytes) {
    const RunResult run = RunConvert(GetParam().args, GetParam().input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, KnownResultTest,
    testing::Values(KnownCase{{"--encode"}, "中", "&#x4E2D;"}, // U+4E2D
                    KnownCase{{"--encode"}, "a & b\t", "a &amp; b&#x9;"},
                    KnownCase{{"--decode"}, "&#x4E2D;&#x6587;", "中文"}, // U+4E2D U+6587
                    KnownCase{{"--decode"}, "&amp; &#X41;", "&amp; &#X41;"},
                    // U+4E2D U+6587 as GB2312 bytes, read as the declaration says
                    KnownCase{
                        {"--gb-to-utf"},
                        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<p>\xD6\xD0\xCE\xC4</p>",
                        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<p>&#x4E2D;&#x6587;</p>"},
                    KnownCase{{"--gb-to-utf"}, "\t\tx", "x"},
                    KnownCase{{"--utf-to-gb"}, "a &amp; b &lt; c", "a & b &lt; c"},
                    KnownCase{{"--utf-to-gb"},
                              "<?xml version=\"1.0\"?>",
                              "<?xml version=\"1.0\" encoding=\"gb2312\"?>"},
                    // A UTF-8 byte-order mark is not part of the page.
                    KnownCase{{"--encode"}, "\xEF\xBB\xBF<p/>", "<p/>"},
                    // "--" ends the options; "-" after it still means standard input.
                    KnownCase{{"--decode", "--", "-"}, "plain", "plain"}));

// A long option shortened to a start that no other shares is that option, as getopt_long
// reads it; its value follows as the whole option's would.
INSTANTIATE_TEST_SUITE_P(
    Abbreviations, KnownResultTest,
    testing::Values(KnownCase{{"--enc"}, "中", "&#x4E2D;"}, KnownCase{{"--d"}, "&#x4E2D;", "中"},
                    KnownCase{{"--gb"}, "\t\tx", "x"},
                    KnownCase{{"--u", "--from", "ISO-8859-1"}, "&amp;\xE9", "&\xC3\xA9"},
                    KnownCase{{"--dec", "--to=GB2312"}, "&#x4E2D;", "\xD6\xD0"},
                    KnownCase{{"--decode", "--ch"}, "<p/>", "<p/>"}));

// The matching itself, on option sets that share starts (the driver's own options all
// differ in their first letter, so it never meets an ambiguous one).
TEST(AbbreviationTest, MatchesAsGetoptLong) {
    using namespace std::string_view_literals;
    constexpr std::array names = {"--to-charset"sv, "--to"sv, "--tone"sv, "--check"sv};
    const struct {
        std::string_view typed;
        std::string_view option;
        std::vector<std::string_view> candidates;
    } cases[] = {
        {"--to", "--to", {"--to"}}, // an exact name wins over the longer ones it starts
        {"--to-", "--to-charset", {"--to-charset"}},
        {"--ton", "--tone", {"--tone"}},
        {"--c", "--check", {"--check"}},
        {"--t", "", {"--to-charset", "--to", "--tone"}},
        {"--x", "", {}},
        {"--checks", "", {}},
        {"--", "", {}},
        {"-c", "", {}},
    };
    for (const auto& c : cases) {
        const LongOptionMatch match = MatchLongOption(c.typed, names);
        EXPECT_EQ(match.option, c.option) << c.typed;
        EXPECT_EQ(match.candidates, c.candidates) << c.typed;
    }
}

TEST(LargeInputTest, PassesPlainTextThroughPipesAndPiecesUnchanged) {
    // Larger than the driver's read and write pieces, with characters above U+FFFF
    // (U+20000) at every offset modulo 4, so some straddle the boundaries of the pieces.
    std::string page;
    while (page.size() < 600'000) {
        page += "<p>中文 text</p>\r\n\xF0\xA0\x80\x80";
        page += std::string(page.size() % 7, 'x');
    }
    const RunResult run = RunConvert({"--decode"}, page);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == page) << "output differs, size " << run.out.size();
}

// The encoder's result goes out a stretch at a time, each cut just after a ";".
// An ampersand whose deciding ";" lies in a later stretch, or a long text with no
// ";" at all, must still be decided as in the whole text.
TEST(LargeInputTest, EncodesInStretchesAsTheWholeText) {
    std::string farSemicolon =
        "&lt" + std::string(300'000, 'x') + "&#x41" + "中" + std::string(200'000, 'y') + ";&amp;";
    std::string mixed;
    for (int k = 0; mixed.size() < 900'000; ++k) {
        mixed += "<p>中文&amp;a&b&#x4E2D;&#65;&&lt;</p>\r\n\xF0\xA0\x80\x80";
        mixed += std::string(static_cast<std::size_t>(k % 97), k % 2 == 0 ? ';' : 'z');
    }
    for (const std::string& page : {farSemicolon, std::string(400'000, '&'), mixed}) {
        const RunResult run = RunConvert({"--encode"}, page);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.out == FromUtf16(engine::Ascii(ToUtf16(page))))
            << "output differs, size " << run.out.size();
    }
}

// --- output failures -------------------------------------------------------------------------

struct OutputFailureCase {
    std::vector<std::string> args;
    OutputTarget target;
    std::string message;
    friend void PrintTo(const OutputFailureCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.args);
    }
};

class OutputFailureTest : public testing::TestWithParam<OutputFailureCase> {};

TEST_P(OutputFailureTest, ReportsTheWriteErrorAndExitsWithOne) {
    const RunResult run = RunConvert(GetParam().args, "<p>中文</p>\r\n", GetParam().target);
    EXPECT_EQ(run.status, 1) << "a status above 128 means a signal ended the process";
    EXPECT_EQ(Lines(run.err), std::vector<std::string>{"morvane-convert: " + GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Targets, OutputFailureTest,
    testing::Values(
        OutputFailureCase{{"--decode"},
                          OutputTarget::DevFull,
                          "-: cannot write to standard output: No space left on device"},
        OutputFailureCase{{"--version"},
                          OutputTarget::DevFull,
                          "cannot write to standard output: No space left on device"}));

// A reader that leaves early ends the run as it ends cat: by SIGPIPE, without a word.
class ClosedPipeTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ClosedPipeTest, EndsBySigpipeWithoutAMessage) {
    const RunResult run = RunConvert(GetParam(), "<p>中文</p>\r\n", OutputTarget::ClosedPipe);
    EXPECT_EQ(run.status, 128 + SIGPIPE);
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ClosedPipeTest,
    testing::Values(std::vector<std::string>{"--encode"},
                    std::vector<std::string>{"--decode", "--to-charset", "GB2312"},
                    std::vector<std::string>{"--help"}, std::vector<std::string>{"-V"}));

} // namespace
} // namespace morvane::tools::test

namespace morvane::tools::test {
namespace {

// --- messages -----------------------------------------------------------------------------

// A control character in a file name (a line break, a terminal escape, C1 in UTF-8) is
// written as \xHH for each of its bytes, so that one message stays one line and nothing in
// a name acts on the terminal.
TEST(MessageTest, ControlCharactersInAFileNameAreEscaped) {
    RunResult run = RunConvert({"--encode", "a\nb\x1B[31m\x7F\xC2\x9B.wml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "morvane-convert: a\\x0Ab\\x1B[31m\\x7F\\xC2\\x9B.wml: cannot open: No "
                       "such file or directory\n");

    const ScratchDir dir;
    const std::string broken = dir.Write("new\nline\t.wml", "<p>a & b</p>");
    const std::string bad = dir.Write("bad\r.wml", "\xFF");
    run = RunConvert({"--decode", "--check", "-i", broken, bad});
    EXPECT_EQ(run.status, 1);
    const std::string folder = dir.Path().string();
    EXPECT_EQ(Lines(run.err),
              (std::vector<std::string>{
                  folder + "/new\\x0Aline\\x09.wml:1:7: xmlParseEntityRef: no name",
                  "morvane-convert: " + folder +
                      "/bad\\x0D.wml:1:1: the input is not valid UTF-8: byte 0xFF at byte offset "
                      "0 (read as UTF-8, as nothing in the page names another charset; if it is "
                      "in another charset, name it with --from-charset)"}));
    // Names without control characters, UTF-8 included, are written as they are.
    run = RunConvert({"--encode", "页面 a\\b.wml"});
    EXPECT_EQ(run.err, "morvane-convert: 页面 a\\b.wml: cannot open: No such file or directory\n");
}

} // namespace
} // namespace morvane::tools::test
