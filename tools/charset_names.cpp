#include "tools/charset_names.h"

#include <algorithm>
#include <array>
#include <utility>

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

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::any_of(names.begin(), names.end(),
                       [name](std::string_view known) { return SameCharsetName(name, known); });
}

GbLabel GbLabelOf(std::string_view name) {
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

} // namespace

bool SameCharsetName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

bool Charset::ReadsAs(const Charset& declared) const {
    if (SameCharsetName(name, declared.name)) {
        return true;
    }
    if (family != declared.family) {
        return false;
    }
    return family == CharsetFamily::Utf8 ||
           (family == CharsetFamily::Gb && label == declared.label);
}

Charset ClassifyCharset(std::string_view name) {
    Charset charset;
    charset.name = std::string(name);
    // A suffix asks iconv itself for a way of converting: the name goes to iconv as it is.
    if (const std::size_t suffix = name.find("//"); suffix != std::string_view::npos) {
        charset.family = CharsetFamily::Other;
        charset.ignoresFaults = SameCharsetName(name.substr(suffix), "//IGNORE");
        return charset;
    }
    if (IsOneOf(name, {"UTF-8", "UTF8"})) {
        charset.family = CharsetFamily::Utf8;
    } else if (IsOneOf(name, {"UTF-16", "UTF16", "UTF-16LE", "UTF16LE", "UTF-16BE", "UTF16BE"})) {
        charset.family = CharsetFamily::Utf16;
    } else if (IsOneOf(name, {"UTF-32", "UTF32", "UTF-32LE", "UTF32LE", "UTF-32BE", "UTF32BE"})) {
        charset.family = CharsetFamily::Utf32;
    } else if (const GbLabel label = GbLabelOf(name); label != GbLabel::None) {
        charset.family = CharsetFamily::Gb;
        charset.label = label;
    } else {
        charset.family = CharsetFamily::Other;
    }
    if (charset.family == CharsetFamily::Utf16 || charset.family == CharsetFamily::Utf32) {
        const std::string_view end = name.substr(name.size() - 2);
        charset.order = SameCharsetName(end, "LE")   ? ByteOrder::Little
                        : SameCharsetName(end, "BE") ? ByteOrder::Big
                                                     : ByteOrder::Unstated;
    }
    return charset;
}

Charset DeclaredCharset(std::string_view name) {
    Charset charset = ClassifyCharset(name);
    if (charset.family == CharsetFamily::Gb) {
        charset.name = "GB18030";
        charset.label = GbLabel::Gb18030;
        charset.reading = ByteReading::AsBrowsers;
    }
    return charset;
}

Charset WithByteOrder(Charset charset, std::string_view head) {
    const bool utf16 = charset.family == CharsetFamily::Utf16;
    if ((!utf16 && charset.family != CharsetFamily::Utf32) ||
        charset.order != ByteOrder::Unstated) {
        return charset;
    }
    const bool little = head.starts_with(utf16 ? std::string_view("\xFF\xFE", 2)
                                               : std::string_view("\xFF\xFE\0\0", 4));
    charset.name = std::string(utf16 ? "UTF-16" : "UTF-32") + (little ? "LE" : "BE");
    charset.order = little ? ByteOrder::Little : ByteOrder::Big;
    return charset;
}

} // namespace morvane::tools
