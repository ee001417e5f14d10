#pragma once
// Shared pieces of the fuzz targets: the fuzz input read as UTF-16 text, and
// checks that report a broken invariant with the texts involved and then
// abort, so that libFuzzer stops and keeps the input that broke it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane::fuzz {

/// The input bytes read as UTF-16LE code units; an odd trailing byte is dropped.
std::u16string TextFromBytes(const std::uint8_t* data, std::size_t size);

/// True when every unit lies in U+0020..U+00FF, the encoder's output alphabet.
bool OnlyLatin1Printable(std::u16string_view text);

/// `text` with every U+0000 removed.
std::u16string WithoutNul(std::u16string_view text);

/// Aborts, printing `what`, the input and both results, unless the results are equal.
void ExpectEqual(const char* what, std::u16string_view input, std::u16string_view actual,
                 std::u16string_view expected);

/// Aborts, printing `what`, the input and the result, unless `ok`.
void Expect(bool ok, const char* what, std::u16string_view input, std::u16string_view result);

} // namespace morvane::fuzz
