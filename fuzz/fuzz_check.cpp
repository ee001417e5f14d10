// The fuzz targets' input reading and failure reports.

#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace morvane::fuzz {
namespace {

/// Prints a text as C-style escapes: printable ASCII as itself, other units as \uXXXX.
void PrintText(const char* label, std::u16string_view text) {
    std::fprintf(stderr, "%s (%zu units): u\"", label, text.size());
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\') {
            std::fputc(static_cast<int>(c), stderr);
        } else {
            std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c));
        }
    }
    std::fputs("\"\n", stderr);
}

[[noreturn]] void Fail(const char* what, std::u16string_view input) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    PrintText("input", input);
    std::fflush(stderr);
    std::abort();
}

} // namespace

std::u16string TextFromBytes(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    for (std::size_t k = 0; k < text.size(); ++k) {
        text[k] = static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));
    }
    return text;
}

bool OnlyLatin1Printable(std::u16string_view text) {
    for (const char16_t c : text) {
        if (c < 0x20 || c > 0xFF) {
            return false;
        }
    }
    return true;
}

std::u16string WithoutNul(std::u16string_view text) {
    std::u16string kept;
    kept.reserve(text.size());
    for (const char16_t c : text) {
        if (c != u'\0') {
            kept += c;
        }
    }
    return kept;
}

void ExpectEqual(const char* what, std::u16string_view input, std::u16string_view actual,
                 std::u16string_view expected) {
    if (actual != expected) {
        PrintText("actual", actual);
        PrintText("expected", expected);
        Fail(what, input);
    }
}

void Expect(bool ok, const char* what, std::u16string_view input, std::u16string_view result) {
    if (!ok) {
        PrintText("result", result);
        Fail(what, input);
    }
}

} // namespace morvane::fuzz
