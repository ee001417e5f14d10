// The values the pipeline's stages hand one another: a charset name classified
// once into the family that picks its codec, and a failure that carries its
// kind and place, from which the run decides and the message is made.

#include "test_support.h"

#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/page.h"
#include "tools/page_bytes.h"
#include "tools/sniff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace morvane::tools::test {
namespace {

struct ClassCase {
    std::string name;
    CharsetFamily family;
    GbLabel label;
    ByteOrder order;
    bool ignoresFaults;
};

TEST(CharsetClassTest, NamesGiveTheirFamily) {
    using F = CharsetFamily;
    using O = ByteOrder;
    const ClassCase cases[] = {
        {"UTF-8", F::Utf8, GbLabel::None, O::Unstated, false},
        {"utf8", F::Utf8, GbLabel::None, O::Unstated, false},
        {"UTF-8//IGNORE", F::Other, GbLabel::None, O::Unstated, true},
        {"utf-8//ignore", F::Other, GbLabel::None, O::Unstated, true},
        {"ASCII//TRANSLIT", F::Other, GbLabel::None, O::Unstated, false},
        {"GB2312//IGNORE", F::Other, GbLabel::None, O::Unstated, true},
        {"UTF-16", F::Utf16, GbLabel::None, O::Unstated, false},
        {"utf-16le", F::Utf16, GbLabel::None, O::Little, false},
        {"UTF16BE", F::Utf16, GbLabel::None, O::Big, false},
        {"UTF-32", F::Utf32, GbLabel::None, O::Unstated, false},
        {"UTF-32LE", F::Utf32, GbLabel::None, O::Little, false},
        {"gb2312", F::Gb, GbLabel::Gb2312, O::Unstated, false},
        {"GB_2312-80", F::Gb, GbLabel::Gb2312, O::Unstated, false},
        {"csGB2312", F::Gb, GbLabel::Gb2312, O::Unstated, false},
        {"EUC-CN", F::Gb, GbLabel::Gb2312, O::Unstated, false},
        {"x-gbk", F::Gb, GbLabel::Gbk, O::Unstated, false},
        {"CP936", F::Gb, GbLabel::Gbk, O::Unstated, false},
        {"GB18030", F::Gb, GbLabel::Gb18030, O::Unstated, false},
        {"ISO-2022-JP", F::Other, GbLabel::None, O::Unstated, false},
        {"ISO-8859-1", F::Other, GbLabel::None, O::Unstated, false},
        {"UCS-2", F::Other, GbLabel::None, O::Unstated, false},
        {"gb2312-x", F::Other, GbLabel::None, O::Unstated, false},
    };
    for (const ClassCase& c : cases) {
        const Charset charset = ClassifyCharset(c.name);
        EXPECT_EQ(charset.name, c.name);
        EXPECT_EQ(charset.family, c.family) << c.name;
        EXPECT_EQ(charset.label, c.label) << c.name;
        EXPECT_EQ(charset.order, c.order) << c.name;
        EXPECT_EQ(charset.ignoresFaults, c.ignoresFaults) << c.name;
        EXPECT_EQ(charset.reading, ByteReading::AsNamed) << c.name;
    }
}

// A page that declares any GB label is read as browsers read GB18030; an option's label is
// read as iconv reads it.
TEST(CharsetClassTest, DeclaredGbLabelsReadAsBrowsersDo) {
    for (const std::string label : {"gb2312", "GBK", "x-gbk", "gb18030", "chinese"}) {
        const Charset declared = DeclaredCharset(label);
        EXPECT_EQ(declared.name, "GB18030") << label;
        EXPECT_EQ(declared.reading, ByteReading::AsBrowsers) << label;
    }
    EXPECT_EQ(DeclaredCharset("Big5").name, "Big5");
    EXPECT_EQ(DeclaredCharset("Big5").reading, ByteReading::AsNamed);
}

TEST(CharsetClassTest, AByteOrderMarkSpellsOutTheOrder) {
    const struct {
        std::string name;
        std::string head;
        std::string ordered;
    } cases[] = {
        {"UTF-16", "\xFF\xFEx", "UTF-16LE"},
        {"UTF-16", "\xFE\xFFx", "UTF-16BE"},
        {"UTF-16", "x", "UTF-16BE"},
        {"UTF-32", std::string("\xFF\xFE\0\0", 4), "UTF-32LE"},
        {"UTF-16BE", "\xFF\xFEx", "UTF-16BE"}, // a stated order stays
        {"GBK", "\xFF\xFEx", "GBK"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithByteOrder(ClassifyCharset(c.name), c.head).name, c.ordered) << c.name;
    }
}

// Whether bytes written in one charset read right under a declaration of another.
TEST(CharsetClassTest, ReadsAsTheSameLabel) {
    const struct {
        std::string written;
        std::string declared;
        bool same;
    } cases[] = {
        {"UTF8", "utf-8", true},
        {"csGB2312", "gb2312", true},
        {"cp936", "GBK", true},
        {"GBK", "gb2312", false},
        {"GB18030", "gbk", false},
        {"latin1", "LATIN1", true},
        {"UTF-8//IGNORE", "utf-8", false},
        {"UTF-16", "UTF-16LE", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyCharset(c.written).ReadsAs(ClassifyCharset(c.declared)), c.same)
            << c.written << " under " << c.declared;
    }
}

// --- failures -----------------------------------------------------------------------------

struct FailureCase {
    std::string name;
    Mode mode;
    std::optional<std::string> toCharset;
    std::string page;
    FailureKind kind;
    std::optional<TextPlace> place;
    std::uint64_t byteOffset;
    std::uint32_t value;
    ChosenBy chosenBy;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

/// The failure ConvertPage throws for `c.page`, read from memory in small pieces.
std::optional<Failure> FailureOf(const FailureCase& c) {
    PageOptions options;
    options.mode = c.mode;
    if (c.toCharset) {
        options.toCharset = ClassifyCharset(*c.toCharset);
    }
    std::size_t at = 0;
    PageBytes bytes(
        [&c, &at](char* data, std::size_t size) {
            const std::size_t part = std::min({size, c.page.size() - at, std::size_t{7}});
            std::copy_n(c.page.data() + at, part, data);
            at += part;
            return part;
        },
        c.page.size(), kSniffBytes);
    try {
        ConvertPage(
            bytes, "page.wml", options, [](std::string_view) {}, [](const std::string&) {});
    } catch (const DriverError& error) {
        return error.What();
    }
    return std::nullopt;
}

class FailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, CarriesItsKindAndPlace) {
    const FailureCase& c = GetParam();
    const std::optional<Failure> failure = FailureOf(c);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->kind, c.kind);
    EXPECT_EQ(failure->file, "page.wml");
    ASSERT_EQ(failure->place.has_value(), c.place.has_value());
    if (c.place) {
        EXPECT_EQ(failure->place->line, c.place->line);
        EXPECT_EQ(failure->place->column, c.place->column);
    }
    EXPECT_EQ(failure->byteOffset, c.byteOffset);
    EXPECT_EQ(failure->value, c.value);
    EXPECT_EQ(failure->chosenBy, c.chosenBy);
}

// "a;" written 40,000 times: the --encode result that follows is in the second of the pieces
// the encoder takes, and its place still counts from the start of the page.
const std::string kLongStart = [] {
    std::string text;
    for (int k = 0; k < 40'000; ++k) {
        text += "a;";
    }
    return text;
}();

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailureTest,
    testing::Values(
        FailureCase{"InvalidUtf8", Mode::Encode, std::nullopt, "ab\ncd\xFF",
                    FailureKind::InvalidBytes, TextPlace{2, 3}, 5, 0xFF, ChosenBy::Default},
        FailureCase{"InvalidUnderDeclaration", Mode::GbToUtf, std::nullopt,
                    "<?xml version='1.0' encoding='gbk'?>\n\xFF", FailureKind::InvalidBytes,
                    TextPlace{2, 1}, 37, 0xFF, ChosenBy::Declaration},
        FailureCase{"LateDeclaration", Mode::GbToUtf, std::nullopt,
                    "\n<?xml version='1.0' encoding='gbk'?>\xD6\xD0", FailureKind::InvalidBytes,
                    TextPlace{2, 37}, 37, 0xD6, ChosenBy::LateDeclaration},
        FailureCase{"EndsInsideUtf8", Mode::Decode, std::nullopt, "a\xE4\xB8",
                    FailureKind::EndsInsideCharacter, TextPlace{1, 2}, 1, 0, ChosenBy::Default},
        FailureCase{"LoneSurrogateUtf16", Mode::Decode, std::nullopt,
                    std::string("\xFF\xFE"
                                "a\0\0\xDC",
                                6),
                    FailureKind::LoneSurrogate, TextPlace{1, 2}, 4, 0xDC00,
                    ChosenBy::ByteOrderMark},
        FailureCase{"ImpossibleDeclaration", Mode::Decode, std::nullopt,
                    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>",
                    FailureKind::ImpossibleDeclaration, TextPlace{1, 21}, 0, 0, ChosenBy::Unsaid},
        FailureCase{"UnreadableDeclared", Mode::Decode, std::nullopt,
                    "<?xml version=\"1.0\" encoding=\"x-no-such\"?>",
                    FailureKind::UnreadableDeclared, std::nullopt, 0, 0, ChosenBy::Unsaid},
        FailureCase{"NotEvenAReference", Mode::Decode, "ISO646-GB", "a\n&#x4E2D;",
                    FailureKind::NotEvenAReference, TextPlace{2, 1}, 0, 0x4E2D, ChosenBy::Unsaid},
        FailureCase{"NotEvenAReferenceInSecondPiece", Mode::Encode, "ISO646-GB", kLongStart + "xy#",
                    FailureKind::NotEvenAReference, TextPlace{1, 80'003}, 0, '#',
                    ChosenBy::Unsaid}),
    [](const auto& info) { return info.param.name; });

// The run decides from the kind, not from the words: a page whose name holds "incomplete"
// fails as any other, and its target is named as left as it was only when part of a result
// was written.
TEST(FailureTest, AFileNameIsNotReadAsTheFailure) {
    const ScratchDir dir;
    const std::string file = dir.Write("incomplete.wml", "\xFF");
    const RunResult run = RunConvert({"--encode", "-i", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "morvane-convert: " + file +
                           ":1:1: the input is not valid UTF-8: byte 0xFF at byte offset 0 (read "
                           "as UTF-8, as nothing in the page names another charset; if it is in "
                           "another charset, name it with --from-charset)\n");
}

} // namespace
} // namespace morvane::tools::test
