#include "tools/charset_names.h"

#include <algorithm>
#include <array>

namespace morvane::tools {
namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr std::array<std::string_view, 11> kGb2312Labels = {
    "gb2312", "gb_2312",  "gb_2312-80", "gb2312-80", "csgb2312", "csiso58gb231280",
    "euc-cn", "x-euc-cn", "euccn",      "iso-ir-58", "chinese"};
constexpr std::array<std::string_view, 6> kGbkLabels = {"gbk",   "x-gbk",       "cp936",
                                                        "ms936", "windows-936", "csgbk"};

} // namespace

bool SameCharsetName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

GbLabel ClassifyGbLabel(std::string_view name) {
    auto in = [name](const auto& labels) {
        return std::any_of(labels.begin(), labels.end(),
                           [name](std::string_view label) { return SameCharsetName(name, label); });
    };
    if (in(kGb2312Labels)) {
        return GbLabel::Gb2312;
    }
    if (in(kGbkLabels)) {
        return GbLabel::Gbk;
    }
    return SameCharsetName(name, "gb18030") ? GbLabel::Gb18030 : GbLabel::None;
}

bool IsUtf8Name(std::string_view name) {
    return SameCharsetName(name, "UTF-8") || SameCharsetName(name, "UTF8");
}

bool IsUtf16Name(std::string_view name) {
    return SameCharsetName(name, "UTF-16") || SameCharsetName(name, "UTF16");
}

bool IsUtf32Name(std::string_view name) {
    return SameCharsetName(name, "UTF-32") || SameCharsetName(name, "UTF32");
}

std::string ReaderCharset(std::string_view name) {
    return ClassifyGbLabel(name) == GbLabel::None ? std::string(name) : "GB18030";
}

} // namespace morvane::tools
