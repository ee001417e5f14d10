// The slow model of the conversion engine. Written for reading, not for speed.

#include "reference_model.h"

#include <optional>

namespace morvane::reference {
namespace {

constexpr auto npos = std::u16string::npos;

bool IsHexText(std::u16string_view t) {
    if (t.empty()) {
        return false;
    }
    for (const char16_t c : t) {
        const bool hex =
            (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (!hex) {
            return false;
        }
    }
    return true;
}

bool IsDecimalText(std::u16string_view t) {
    if (t.empty()) {
        return false;
    }
    for (const char16_t c : t) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

/// Only 'X' lower-cases to 'x'; '&' and '#' have no case.
std::u16string LowerCaseX(std::u16string_view t) {
    std::u16string lowered(t);
    for (char16_t& c : lowered) {
        if (c == u'X') {
            c = u'x';
        }
    }
    return lowered;
}

bool IsEntityName(std::u16string_view t) {
    return t == u"&lt" || t == u"&gt" || t == u"&apos" || t == u"&quot" || t == u"&amp" ||
           t == u"&nbsp" || t == u"&shy";
}

std::u16string Reference(char32_t value) {
    const char16_t* digits = u"0123456789ABCDEF";
    std::u16string hex;
    do {
        hex.insert(hex.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    return u"&#x" + hex + u";";
}

/// The value of a digit text, when it is one or more hexadecimal digits worth
/// at most 10FFFF.
std::optional<char32_t> ReadHex(std::u16string_view digits) {
    if (!IsHexText(digits)) {
        return std::nullopt;
    }
    while (digits.size() > 1 && digits.front() == u'0') {
        digits.remove_prefix(1);
    }
    if (digits.size() > 6) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (const char16_t c : digits) {
        const char32_t digit = c <= u'9'   ? static_cast<char32_t>(c - u'0')
                               : c <= u'F' ? static_cast<char32_t>(c - u'A' + 10)
                                           : static_cast<char32_t>(c - u'a' + 10);
        value = value * 16 + digit;
    }
    if (value > 0x10FFFF) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::u16string Ascii(std::u16string_view ToDoString) {
    std::u16string W(ToDoString);

    // Phase 1: decide each ampersand by T, the text up to the next ";".
    std::size_t p = W.find(u'&');
    while (p != npos) {
        const std::size_t q = W.find(u';', p);
        bool keep = false;
        if (q != npos) {
            const std::u16string T = W.substr(p, q - p);
            if (LowerCaseX(T.substr(0, 3)) == u"&#x" && IsHexText(T.substr(3))) {
                keep = true;
            } else if (T.substr(0, 2) == u"&#" && IsDecimalText(T.substr(2))) {
                keep = true;
            } else if (IsEntityName(T)) {
                keep = true;
            }
        }
        if (!keep) {
            W = W.substr(0, p) + u"&amp;" + W.substr(p + 1);
        }
        p = W.find(u'&', p + 1);
    }

    // Phase 2: write each unit outside U+0020..U+00FF as a reference.
    std::u16string R;
    for (std::size_t k = 0; k < W.size(); ++k) {
        const char16_t c = W[k];
        if (c >= 0x20 && c <= 0xFF) {
            R += c;
        } else if (c == 0) {
            // dropped
        } else if (c >= 0xD800 && c <= 0xDBFF && k + 1 < W.size() && W[k + 1] >= 0xDC00 &&
                   W[k + 1] <= 0xDFFF) {
            const char32_t character =
                0x10000 + (static_cast<char32_t>(c - 0xD800) * 0x400) + (W[k + 1] - 0xDC00u);
            R += Reference(character);
            ++k;
        } else {
            R += Reference(c);
        }
    }
    return R;
}

std::u16string UtfToGb(std::u16string_view SearchString) {
    const std::u16string S(SearchString);
    std::u16string R;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t marker = S.find(u"&#x", pos);
        if (marker == npos) {
            R += S.substr(pos);
            return R;
        }
        R += S.substr(pos, marker - pos);
        const std::size_t a = marker + 3;
        const std::size_t semicolon = S.find(u';', a);
        const std::size_t next = S.find(u"&#x", a);
        std::optional<char32_t> value;
        if (semicolon != npos && (next == npos || next > semicolon)) {
            value = ReadHex(S.substr(a, semicolon - a));
        }
        if (!value) {
            R += u"&#x";
            pos = a;
            continue;
        }
        if (*value > 0xFFFF) {
            const char32_t offset = *value - 0x10000;
            R += static_cast<char16_t>(0xD800 + offset / 0x400);
            R += static_cast<char16_t>(0xDC00 + offset % 0x400);
        } else {
            R += static_cast<char16_t>(*value);
        }
        pos = semicolon + 1;
    }
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to) {
    std::u16string result;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == npos) {
            result += text.substr(pos);
            return result;
        }
        result += text.substr(pos, hit - pos);
        result += to;
        pos = hit + from.size();
    }
}

std::u16string SeparateWithBlanks(std::u16string_view text) {
    auto spacing = [](char16_t c) { return c == u' ' || c == u'\r' || c == u'\n'; };
    std::u16string result;
    std::size_t k = 0;
    while (k < text.size()) {
        if (text[k] != u'\t') {
            result += text[k++];
            continue;
        }
        std::size_t end = k;
        while (end < text.size() && text[end] == u'\t') {
            ++end;
        }
        const bool between =
            k > 0 && end < text.size() && !spacing(text[k - 1]) && !spacing(text[end]);
        result += between ? std::u16string(u" ") : std::u16string(text.substr(k, end - k));
        k = end;
    }
    return result;
}

std::u16string ConvertGbToUtf(std::u16string_view text) {
    std::u16string A = Ascii(SeparateWithBlanks(text));
    A = ReplaceAll(A, u"&#x9;", u"");
    A = Ascii(A);
    A = ReplaceAll(A, u"&#xD;&#xA;", u"\r\n");
    A = ReplaceAll(A, u"encoding=\"gb2312\"", u"encoding=\"utf-8\"");
    return A;
}

std::u16string ConvertUtfToGb(std::u16string_view text) {
    std::u16string B = UtfToGb(text);
    B = ReplaceAll(B, u"<?xml version=\"1.0\"?>", u"<?xml version=\"1.0\" encoding=\"gb2312\"?>");
    B = ReplaceAll(B, u"encoding=\"utf-8\"", u"encoding=\"gb2312\"");
    B = ReplaceAll(B, u"&amp;", u"&");
    return B;
}

} // namespace morvane::reference
