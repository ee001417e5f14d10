#pragma once
// The conversion engine: the character-reference encoder and decoder and the
// two page conversions built on them. Pure functions on UTF-16 text, no state,
// no windows; every function's work grows linearly with its input.

#include <string>
#include <string_view>

namespace morvane::engine {

/// Encodes a text into characters U+0020..U+00FF only: every other character
/// becomes a hexadecimal reference "&#x...;" (a surrogate pair becomes one
/// reference to its character, U+0000 is dropped), and every "&" that does not
/// begin a numeric reference or one of &lt &gt &apos &quot &amp &nbsp (up to
/// the next ";") is escaped as "&amp;".
std::u16string Ascii(std::u16string_view ToDoString);

/// Decodes hexadecimal references "&#x...;" (lower-case x) into the characters
/// they stand for; everything else, unreadable references included, is copied.
std::u16string UtfToGb(std::u16string_view SearchString);

/// The GB2312 form of a page to its UTF-8 form (references, utf-8 declaration,
/// tabs removed, CR LF kept as real line breaks).
std::u16string ConvertGbToUtf(std::u16string_view text);

/// The UTF-8 form of a page to its GB2312 form (references decoded, gb2312
/// declaration, "&amp;" unescaped).
std::u16string ConvertUtfToGb(std::u16string_view text);

} // namespace morvane::engine
