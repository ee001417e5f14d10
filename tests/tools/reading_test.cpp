// How a page's own first bytes decide how it is read: a declaration that its
// own bytes could not have been written in is refused, a declaration that
// does not start the page is named as such, and a page under a GB label reads
// as browsers read it.

#include "test_support.h"

#include <gtest/gtest.h>

namespace morvane::tools::test {
namespace {

std::string Declared(const std::string& encoding, const std::string& rest) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n" + rest;
}

class ImpossibleDeclarationTest : public testing::TestWithParam<std::string> {};

// A declaration read as ASCII bytes can only name an encoding that reads those bytes as
// ASCII; read as anything else the page would turn into other characters.
TEST_P(ImpossibleDeclarationTest, IsRefusedAndTheFileKept) {
    const ScratchDir dir;
    const std::string page = Declared(GetParam(), "<p>hello!</p>\n");
    const std::string file = dir.Write("x.wml", page);
    const RunResult run = RunConvert({"--gb-to-utf", "-i", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "morvane-convert: " + file + ":1:21: the page declares encoding \"" +
                           GetParam() +
                           "\" in ASCII bytes, which that encoding does not read as ASCII (and "
                           "no byte-order mark starts the page); name the charset its bytes are "
                           "in with --from-charset\n");
    EXPECT_EQ(ReadFileBytes(file), page);
}

INSTANTIATE_TEST_SUITE_P(Encodings, ImpossibleDeclarationTest,
                         testing::Values("UTF-16LE", "UTF-16BE", "UCS-2", "UCS-2LE", "UNICODE",
                                         "UTF-32", "UCS-4", "IBM037", "cp1047", "EBCDIC-US"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, '-');
                             return name;
                         });

TEST(PossibleDeclarationTest, AsciiCompatibleEncodingsAreRead) {
    for (const std::string encoding : {"gbk", "ISO-2022-CN", "ISO-8859-1", "Big5", "EUC-JP"}) {
        const RunResult run = RunConvert({"--decode"}, Declared(encoding, "<p>hi</p>"));
        EXPECT_EQ(run.status, 0) << encoding << ": " << run.err;
        EXPECT_EQ(run.out, Declared(encoding, "<p>hi</p>")) << encoding;
    }
}

TEST(LateDeclarationTest, TheMessageSaysItIsNotAtTheStart) {
    for (const std::string before : {"\n", "  ", "\r\n\t"}) {
        const RunResult run =
            RunConvert({"--gb-to-utf"}, before + Declared("gbk", "<p>\xD6\xD0</p>"));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("(read as UTF-8, as the XML declaration at line "),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find(" is not at the start of the page and so names no charset; "),
                  std::string::npos)
            << run.err;
    }
}

// The same holds for what is written: a result is written in the encoding its declaration
// names only where a reader of those bytes finds that declaration again.
TEST(ResultDeclarationTest, IsWrittenOnlyWhereAReaderFindsItAgain) {
    for (const std::string encoding : {"IBM037", "cp1047", "UTF-7"}) {
        const RunResult run =
            RunConvert({"--decode", "--from-charset", "UTF-8"}, Declared(encoding, "<p/>"));
        EXPECT_EQ(run.status, 1) << encoding;
        EXPECT_EQ(run.out, "") << encoding;
        EXPECT_EQ(run.err, "morvane-convert: -: the result declares encoding \"" + encoding +
                               "\", in which no reader could find that declaration (written in "
                               "it, the declaration does not read as ASCII and no byte-order "
                               "mark says otherwise); name an output charset with --to-charset\n");
    }
    // A byte-order mark, or UTF-16 whose "<?" tells its byte order, is found.
    for (const std::string encoding : {"UTF-16LE", "UTF-16BE", "UTF-16", "UTF-32", "gbk"}) {
        const RunResult run =
            RunConvert({"--decode", "--from-charset", "UTF-8"}, Declared(encoding, "<p/>"));
        EXPECT_EQ(run.status, 0) << encoding << ": " << run.err;
        const RunResult back = RunConvert({"--decode"}, run.out);
        EXPECT_EQ(back.status, 0) << encoding << ": " << back.err;
    }
    // --to-charset writes what the user asked for.
    const RunResult asked = RunConvert(
        {"--decode", "--from-charset", "UTF-8", "--to-charset", "IBM037"}, Declared("IBM037", ""));
    EXPECT_EQ(asked.status, 0) << asked.err;
    EXPECT_EQ(asked.out, FromUtf16(ToUtf16(Declared("IBM037", "")), "IBM037"));
}

// Found by fuzz_page: a note that quotes a declaration broken over lines stays one line.
TEST(ResultDeclarationTest, ANoteQuotesADeclarationOnOneLine) {
    const RunResult run =
        RunConvert({"--gb-to-utf"}, "<?xml version=\"1.0\" encoding=\r\n\"gbk\"?><p/>");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "morvane-convert: -:1:21: note: the declaration encoding=  \"gbk\" is left "
                       "as it is (only encoding=\"gb2312\" is rewritten to utf-8)\n");
}

struct BrowserCase {
    std::string name;
    std::string bytes;     // in the page, under each GB label
    std::string reference; // what the UTF-8 form holds for them
    friend void PrintTo(const BrowserCase& c, std::ostream* os) { *os << c.name; }
};

class GbAsBrowsersTest : public testing::TestWithParam<BrowserCase> {};

// What glibc's GB18030 refuses or reads otherwise than browsers do.
TEST_P(GbAsBrowsersTest, EveryGbLabelReadsTheBytesAsBrowsersDo) {
    for (const std::string label : {"gb2312", "gbk", "GB18030", "x-gbk"}) {
        const RunResult run =
            RunConvert({"--gb-to-utf"}, Declared(label, "<p>" + GetParam().bytes + "</p>"));
        EXPECT_EQ(run.status, 0) << label << ": " << run.err;
        EXPECT_NE(run.out.find("<p>" + GetParam().reference + "</p>"), std::string::npos)
            << label << ": " << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, GbAsBrowsersTest,
    testing::Values(BrowserCase{"Euro80", "\x80", "&#x20AC;"},
                    BrowserCase{"EuroAmongCharacters",
                                "\xD6\xD0\x80"
                                "a",
                                "&#x4E2D;&#x20AC;a"},
                    BrowserCase{"IdeographicSpaceA3A0", "\xA3\xA0", "&#x3000;"},
                    BrowserCase{"MovedVerticalForm", "\x84\x31\x82\x36", "&#xFE10;"},
                    BrowserCase{"MovedLastVerticalForm", "\x84\x31\x83\x35", "&#xFE19;"},
                    BrowserCase{"MovedIdeograph", "\x82\x35\x90\x37", "&#x9FB4;"},
                    BrowserCase{"MovedLastIdeograph", "\x82\x35\x91\x34", "&#x9FBB;"},
                    BrowserCase{"NeighbourStaysAsItWas", "\x84\x31\x83\x36", "&#xFE1A;"}),
    [](const auto& info) { return info.param.name; });

TEST(GbAsBrowsersTest, WhatBrowsersRefuseIsStillRefused) {
    const RunResult run = RunConvert({"--gb-to-utf"}, Declared("gbk", "\xFF"));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("byte 0xFF"), std::string::npos) << run.err;
}

} // namespace
} // namespace morvane::tools::test
