#pragma once
// A deliberately slow, step-by-step model of the conversion engine, used only
// by the tests: each function follows the conversion rules literally (a working
// copy that gets "&amp;" inserted, substrings cut out and searched again), so
// that it is easy to check by reading. The fast engine must agree with it on
// every text. Quadratic in the worst case: keep inputs small.

#include <string>
#include <string_view>

namespace morvane::reference {

/// Ascii: escape undecided ampersands (the WML entities &lt &gt &apos &quot
/// &amp &nbsp &shy are decided kept), then write every unit outside
/// U+0020..U+00FF as a reference (a surrogate pair as one, U+0000 dropped).
std::u16string Ascii(std::u16string_view ToDoString);

/// UtfToGb: replace every readable "&#x...;" by what it stands for; keep
/// unreadable ones and the text after them as they are.
std::u16string UtfToGb(std::u16string_view SearchString);

/// Every non-overlapping occurrence of `from` replaced by `to`, left to right,
/// never looking into replaced text. `from` must not be empty.
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view from,
                          std::u16string_view to);

/// Each maximal run of tabs whose neighbours on both sides exist and are neither
/// a blank, CR nor LF replaced by one blank; every other tab left as it is.
std::u16string SeparateWithBlanks(std::u16string_view text);

/// The GB2312 to UTF-8 conversion: tab runs between words made blanks, then its
/// five steps, one after the other.
std::u16string ConvertGbToUtf(std::u16string_view text);

/// The four steps of the UTF-8 to GB2312 conversion, one after the other.
std::u16string ConvertUtfToGb(std::u16string_view text);

} // namespace morvane::reference
