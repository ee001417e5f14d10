// The driver's own UTF-8 codec against glibc's iconv: seeded random texts that mix ASCII runs
// (the block fast path) with every sequence length, and hand-made faulty inputs.

#include "test_support.h"

#include "tools/utf8_codec.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace morvane::tools::test {
namespace {

using namespace std::string_view_literals;

// A random text of code points: ASCII runs of random length between characters from each
// UTF-8 length class, so the block paths start and stop at every alignment.
std::u16string RandomText(std::mt19937& random, std::size_t length) {
    std::u16string text;
    std::uniform_int_distribution<int> kind(0, 5);
    std::uniform_int_distribution<int> run(0, 40);
    while (text.size() < length) {
        switch (kind(random)) {
        case 0:
        case 1:
            text.append(static_cast<std::size_t>(run(random)),
                        static_cast<char16_t>(0x20 + run(random)));
            break;
        case 2:
            text += static_cast<char16_t>(std::uniform_int_distribution<int>(0, 0x7FF)(random));
            break;
        case 3:
            text +=
                static_cast<char16_t>(std::uniform_int_distribution<int>(0x800, 0xD7FF)(random));
            break;
        case 4:
            text +=
                static_cast<char16_t>(std::uniform_int_distribution<int>(0xE000, 0xFFFF)(random));
            break;
        default:
            text +=
                static_cast<char16_t>(std::uniform_int_distribution<int>(0xD800, 0xDBFF)(random));
            text +=
                static_cast<char16_t>(std::uniform_int_distribution<int>(0xDC00, 0xDFFF)(random));
            break;
        }
    }
    return text;
}

std::u16string Decode(std::string_view bytes, Utf8DecodeResult* result) {
    std::u16string text(bytes.size(), u'\0');
    *result = DecodeUtf8(bytes, text.data());
    text.resize(result->written);
    return text;
}

std::string Encode(std::u16string_view text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(EncodeUtf8(text, bytes.data()));
    return bytes;
}

TEST(Utf8CodecTest, RandomTextsMatchIconvBothWays) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        const std::u16string text = RandomText(random, static_cast<std::size_t>(round * 7));
        const std::string bytes = FromUtf16(text);
        Utf8DecodeResult result;
        EXPECT_EQ(Decode(bytes, &result), text) << "round " << round;
        EXPECT_EQ(result.status, Utf8Status::Ok);
        EXPECT_EQ(Encode(text), bytes) << "round " << round;
        EXPECT_EQ(FindLoneSurrogate(text), std::u16string_view::npos);
    }
}

TEST(Utf8CodecTest, CorruptedTextsFailWhereIconvFails) {
    // One byte of a valid text replaced (and every third time the text cut after it): both
    // codecs accept the result, or both stop at the same offset. glibc calls some cut-short
    // sequences "incomplete" that no continuation could repair, so the kind of fault is
    // checked by the hand-made table below, not here.
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        std::string bytes = FromUtf16(RandomText(random, 60));
        const auto at = std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random);
        bytes[at] = static_cast<char>(std::uniform_int_distribution<int>(0x80, 0xFF)(random));
        if (round % 3 == 0) {
            bytes.resize(at + 1);
        }
        Utf8DecodeResult result;
        const std::u16string text = Decode(bytes, &result);
        const std::optional<std::size_t> iconvStop = IconvStop(bytes);
        if (result.status == Utf8Status::Ok) {
            EXPECT_EQ(iconvStop, std::nullopt) << "round " << round;
            EXPECT_EQ(text, ToUtf16(bytes)) << "round " << round;
        } else {
            EXPECT_EQ(iconvStop, result.consumed) << "round " << round;
            // The text before the fault is decoded, so a reader in pieces can go on from there.
            EXPECT_EQ(text, ToUtf16(bytes.substr(0, result.consumed))) << "round " << round;
        }
    }
}

struct BadCase {
    std::string bytes;
    Utf8Status status;
    std::size_t offset;
    friend void PrintTo(const BadCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.bytes);
    }
};

class Utf8FaultTest : public testing::TestWithParam<BadCase> {};

TEST_P(Utf8FaultTest, ReportsTheStartOfTheFaultySequence) {
    Utf8DecodeResult result;
    Decode(GetParam().bytes, &result);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_EQ(result.consumed, GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Utf8FaultTest,
    testing::Values(BadCase{"\x80", Utf8Status::Invalid, 0},
                    BadCase{"abc\xBF", Utf8Status::Invalid, 3},
                    BadCase{"\xC1\xBF", Utf8Status::Invalid, 0},         // overlong U+007F
                    BadCase{"\xE0\x9F\xBF", Utf8Status::Invalid, 0},     // overlong U+07FF
                    BadCase{"\xF0\x8F\xBF\xBF", Utf8Status::Invalid, 0}, // overlong U+FFFF
                    BadCase{"\xED\xBF\xBF", Utf8Status::Invalid, 0},     // U+DFFF
                    BadCase{"\xF4\x90\x80\x80", Utf8Status::Invalid, 0}, // U+110000
                    BadCase{"\xF5\x80\x80\x80", Utf8Status::Invalid, 0},
                    BadCase{"\xFE", Utf8Status::Invalid, 0},
                    BadCase{"\xE4\xB8"
                            "A",
                            Utf8Status::Invalid, 0},
                    BadCase{"\xF0\x9F\x98"
                            "A",
                            Utf8Status::Invalid, 0},
                    BadCase{std::string(16, 'a') + "\xC3", Utf8Status::Truncated, 16},
                    BadCase{std::string(33, 'a') + "\xE4\xB8", Utf8Status::Truncated, 33},
                    BadCase{"\xF0\x9F\x98", Utf8Status::Truncated, 0},
                    BadCase{"\xE0\x80", Utf8Status::Invalid, 0},
                    BadCase{std::string(31, 'a') + "\xFF" + std::string(20, 'b'),
                            Utf8Status::Invalid, 31}));

TEST(Utf8CodecTest, EdgesOfEachLengthDecode) {
    for (const char32_t cp :
         {0x0U, 0x7FU, 0x80U, 0x7FFU, 0x800U, 0xD7FFU, 0xE000U, 0xFFFFU, 0x10000U, 0x10FFFFU}) {
        std::u16string text;
        if (cp > 0xFFFF) {
            text += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(cp);
        }
        const std::string bytes = FromUtf16(text);
        Utf8DecodeResult result;
        EXPECT_EQ(Decode(bytes, &result), text) << std::hex << static_cast<unsigned>(cp);
        EXPECT_EQ(Encode(text), bytes) << std::hex << static_cast<unsigned>(cp);
    }
}

struct SurrogateCase {
    std::u16string text;
    std::size_t lone;
    friend void PrintTo(const SurrogateCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.lone);
    }
};

class LoneSurrogateTest : public testing::TestWithParam<SurrogateCase> {};

constexpr std::size_t kNone = std::u16string_view::npos;

TEST_P(LoneSurrogateTest, FindsTheFirstUnpairedUnit) {
    EXPECT_EQ(FindLoneSurrogate(GetParam().text), GetParam().lone);
    // With U+0000 searched for too, a U+0000 put in front of the text in a block of its own,
    // or in the same block, is found first; one after the texts is found where nothing else is.
    EXPECT_EQ(FindLoneSurrogateOrNul(GetParam().text), GetParam().lone);
    for (const std::u16string_view front : {u"\0"sv, u"0123456789\0"sv}) {
        EXPECT_EQ(FindLoneSurrogateOrNul(std::u16string(front) + GetParam().text),
                  front.size() - 1);
    }
    const std::u16string behind = GetParam().text + u'\0';
    EXPECT_EQ(FindLoneSurrogateOrNul(behind),
              GetParam().lone == kNone ? GetParam().text.size() : GetParam().lone);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LoneSurrogateTest,
    testing::Values(SurrogateCase{u"", kNone}, SurrogateCase{u"abc\u4E2D", kNone},
                    SurrogateCase{u"\xD800", 0}, SurrogateCase{u"a\xDC00", 1},
                    SurrogateCase{u"\xD840\xDC00", kNone}, SurrogateCase{u"\xDC00\xD800", 0},
                    SurrogateCase{u"\xD800\xD800\xDC00", 0},
                    SurrogateCase{u"1234567\xD840\xDC00", kNone}, // pair across a block edge
                    SurrogateCase{u"1234567\xD840"
                                  "b12345678",
                                  7},
                    SurrogateCase{u"0123456789abcdef0123\xDFFF", 20},
                    SurrogateCase{u"0123456789abcdef012\xDBFF", 19}));

} // namespace
} // namespace morvane::tools::test
