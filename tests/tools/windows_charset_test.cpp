// The driver's charsets on Windows: its iconv over the Windows code pages,
// checked against the bytes each charset defines for a few characters, where
// it stops on bytes it cannot read or characters it cannot write, and whole
// pages through the pipeline. Wine has no code page 54936 (GB18030): there the
// tests show the refusal instead of the readings.

#include "test_support.h"

#include "tools/charset_names.h"
#include "tools/decode.h"
#include "tools/driver_error.h"
#include "tools/encode.h"
#include "tools/page.h"
#include "tools/page_bytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <optional>
#include <windows.h>

namespace morvane::tools::test {
namespace {

const iconv_t kFailed = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

struct Reading {
    const char* charset;
    std::string_view bytes;
    std::u16string_view text;
};

class CharsetReadingTest : public testing::TestWithParam<Reading> {};

TEST_P(CharsetReadingTest, ReadsAndWritesTheCharsetsOwnBytes) {
    const Reading& reading = GetParam();
    EXPECT_EQ(ToUtf16(reading.bytes, reading.charset), reading.text);
    EXPECT_EQ(FromUtf16(reading.text, reading.charset), reading.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, CharsetReadingTest,
    testing::Values(
        Reading{"GB2312", "a\xD6\xD0\xCE\xC4", u"a\u4E2D\u6587"},
        Reading{"euc-cn", "\xA1\xA4", u"\u00B7"},
        Reading{"GBK", "\x81\x40\xD6\xD0", u"\u4E02\u4E2D"}, Reading{"CP936", "\x80", u"\u20AC"},
        Reading{"BIG5", "\xA4\xA4\xA4\xE5", u"\u4E2D\u6587"},
        Reading{"SHIFT_JIS", "\x92\x86\x95\xB6", u"\u4E2D\u6587"},
        Reading{"EUC-KR", "\xC7\xD1", u"\uD55C"},
        Reading{"ISO-8859-1", "\xE9\xFF", u"\u00E9\u00FF"},
        Reading{"WINDOWS-1252", "\x80\xE9", u"\u20AC\u00E9"}, Reading{"CP437", "\x82", u"\u00E9"},
        Reading{"KOI8-R", "\xC1", u"\u0430"}, Reading{"US-ASCII", "plain", u"plain"},
        Reading{"UTF-8", "\xE4\xB8\xAD\xF0\x9F\x98\x80", u"\u4E2D\U0001F600"},
        Reading{"UTF-16BE", std::string_view("\x4E\x2D\xD8\x3D\xDE\x00", 6), u"\u4E2D\U0001F600"},
        Reading{"UTF-32LE", std::string_view("\x2D\x4E\0\0\x00\xF6\x01\0", 8), u"\u4E2D\U0001F600"},
        Reading{"utf-16le//IGNORE", std::string_view("A\0", 2), u"A"}));

struct Stop {
    const char* charset;
    std::string_view bytes;
    std::size_t at; ///< where reading stops
};

class CharsetStopTest : public testing::TestWithParam<Stop> {};

TEST_P(CharsetStopTest, StopsAtTheFirstByteItCannotRead) {
    EXPECT_EQ(IconvStop(GetParam().bytes, GetParam().charset), GetParam().at);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CharsetStopTest,
    testing::Values(Stop{"GB2312", "ab\xD6", 2},         // cut by the end
                    Stop{"GB2312", "a\xAA\xA1", 1},      // a user-defined row, not GB2312
                    Stop{"GB2312", "\xD6\xD0\x80", 2},   // 0x80 alone
                    Stop{"GBK", "a\xD6\xD0\x81\x20", 3}, // a lead byte, then no trail byte
                    Stop{"BIG5", "\xA4\xA4\xA4", 2},     // cut by the end
                    Stop{"US-ASCII", "ab\x80", 2},       // not ASCII
                    Stop{"UTF-8", "ok\xC0\x80", 2},      // an overlong form
                    Stop{"UTF-8", "ok\xE4\xB8", 2},      // cut by the end
                    Stop{"UTF-16LE",
                         std::string_view("A\0\x00\xD8"
                                          "B\0",
                                          6),
                         2},                                                  // lone high
                    Stop{"UTF-32BE", std::string_view("\0\x11\0\0", 4), 0})); // past U+10FFFF

struct Unwritable {
    const char* charset;
    std::u16string_view text;
    std::size_t written; ///< units written before the stop
};

class UnwritableTest : public testing::TestWithParam<Unwritable> {};

TEST_P(UnwritableTest, StopsAtTheFirstCharacterItCannotWrite) {
    const iconv_t out = iconv_open(GetParam().charset, "UTF-16LE");
    ASSERT_NE(out, kFailed);
    std::u16string text(GetParam().text);
    char* in = reinterpret_cast<char*>(text.data());
    std::size_t inLeft = text.size() * 2;
    char bytes[64];
    char* to = bytes;
    std::size_t toLeft = sizeof bytes;
    EXPECT_EQ(iconv(out, &in, &inLeft, &to, &toLeft), static_cast<std::size_t>(-1));
    EXPECT_EQ(errno, EILSEQ);
    EXPECT_EQ((in - reinterpret_cast<char*>(text.data())) / 2,
              static_cast<std::ptrdiff_t>(GetParam().written));
    iconv_close(out);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UnwritableTest,
    testing::Values(Unwritable{"ISO-8859-1", u"ab\u4E2D", 2},
                    // no best fit: U+0100 is not written as the 'A' it resembles
                    Unwritable{"WINDOWS-1252", u"x\u0100", 1},
                    // GBK's extra characters are not GB2312's
                    Unwritable{"GB2312", u"\u4E2D\u4E02", 1}, Unwritable{"US-ASCII", u"a\u00E9", 1},
                    Unwritable{"UTF-8",
                               u"a\xD800"
                               u"b",
                               1}));

TEST(CharsetRoomTest, StopsWhereTheOutputIsFull) {
    const iconv_t cd = iconv_open("UTF-16LE", "GBK");
    ASSERT_NE(cd, kFailed);
    char gb[] = "\xD6\xD0\xCE\xC4";
    char* in = gb;
    std::size_t inLeft = 4;
    char16_t text[1];
    char* out = reinterpret_cast<char*>(text);
    std::size_t outLeft = sizeof text;
    EXPECT_EQ(iconv(cd, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1));
    EXPECT_EQ(errno, E2BIG);
    EXPECT_EQ(inLeft, 2U);
    EXPECT_EQ(text[0], u'\u4E2D');
    iconv_close(cd);
}

class RefusedCharsetTest : public testing::TestWithParam<const char*> {};

TEST_P(RefusedCharsetTest, IsRefusedByName) {
    try {
        TextDecoder decoder(ClassifyCharset(GetParam()));
        FAIL() << GetParam() << " was accepted";
    } catch (const DriverError& error) {
        EXPECT_NE(std::string(error.what()).find(std::string("'") + GetParam() + "'"),
                  std::string::npos)
            << error.what();
    }
}

// Stateful charsets, whose bytes depend on the ones before, and names no code page has.
INSTANTIATE_TEST_SUITE_P(Names, RefusedCharsetTest,
                         testing::Values("ISO-2022-JP", "UTF-7", "CP50220", "NO-SUCH-CHARSET",
                                         "CP99999"));

TEST(Gb18030Test, ReadsFourByteCodesOrWithoutItsCodePageReadsGbkAndRefusesThem) {
    if (::IsValidCodePage(54936) == 0) {
        // Pages declared gb2312, GBK or GB18030 are read as GB18030: without its code
        // page they are read through GBK's, a four-byte code refused where it stands.
        EXPECT_EQ(ToUtf16("a\x80\xD6\xD0\x81\x40", "GB18030"), u"a\u20AC\u4E2D\u4E02");
        EXPECT_EQ(IconvStop("ab\x81\x30\x81\x30", "GB18030"), 2U);
        try {
            TextEncoder encoder(ClassifyCharset("GB18030"));
            FAIL() << "GB18030 was written without its code page";
        } catch (const DriverError& error) {
            EXPECT_STREQ(error.what(), "charset 'GB18030' needs a Windows code page that this "
                                       "system does not have");
        }
        GTEST_SKIP() << "this system (Wine 8.0) has no code page 54936, GB18030";
    }
    EXPECT_EQ(ToUtf16("\x81\x30\x81\x30\x95\x32\x82\x36", "GB18030"), u"\u0080\U00020000");
    EXPECT_EQ(IconvStop("a\x81\x30", "GB18030"), 1U);
}

/// The charset a test names, or none ("") for a page's own.
std::optional<Charset> Named(std::string_view name) {
    return name.empty() ? std::nullopt : std::optional<Charset>(ClassifyCharset(name));
}

struct PageCase {
    Mode mode;
    const char* from;
    const char* to;
    std::string_view page;
    std::string_view result;
};

class WindowsPageTest : public testing::TestWithParam<PageCase> {};

TEST_P(WindowsPageTest, ConvertsThroughTheCodePages) {
    const PageCase& c = GetParam();
    std::string input(c.page);
    std::size_t served = 0;
    PageBytes bytes(
        [&](char* data, std::size_t size) {
            const std::size_t part = std::min(size, input.size() - served);
            std::copy_n(input.data() + served, part, data);
            served += part;
            return part;
        },
        input.size(), 256);
    std::string result;
    ConvertPage(
        bytes, "page.wml", PageOptions{c.mode, Named(c.from), Named(c.to)},
        [&result](std::string_view piece) { result.append(piece); }, [](const std::string&) {});
    EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, WindowsPageTest,
    testing::Values(
        PageCase{Mode::GbToUtf, "GB2312", "", "<p>\xD6\xD0\xCE\xC4</p>", "<p>&#x4E2D;&#x6587;</p>"},
        PageCase{Mode::Decode, "", "BIG5", "<p>&#x4E2D;&#x6587;</p>", "<p>\xA4\xA4\xA4\xE5</p>"},
        // a character the output charset lacks stays a reference
        PageCase{Mode::Decode, "", "ISO-8859-1", "<p>&#xE9;&#x4E2D;</p>", "<p>\xE9&#x4E2D;</p>"}));

} // namespace
} // namespace morvane::tools::test
