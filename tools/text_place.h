#pragma once
// Where a place in a page stands, for messages in the "FILE:LINE:COLUMN: "
// form that editors and compilers use.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::tools {

struct TextPlace {
    std::size_t line = 1;
    std::size_t column = 1;
};

/// The line and column of unit `index` of `text`, both from 1. A line ends at LF, CR LF or a
/// lone CR; a column is one character (a surrogate pair is one).
TextPlace PlaceOf(std::u16string_view text, std::size_t index);

/// "NAME:LINE:COLUMN: " for unit `index` of `text`.
std::string PlacePrefix(const std::string& name, std::u16string_view text, std::size_t index);

} // namespace morvane::tools
