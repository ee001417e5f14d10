#pragma once
// The encoding that an XML declaration at the start of a text names, found
// the way an XML reader finds it: "<?xml", blanks, version="...", blanks,
// encoding, an optional blank-surrounded "=", and the name in either quote.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::tools {

struct DeclaredEncoding {
    /// The name as written, e.g. "GB2312".
    std::string name;
    /// Where the pseudo-attribute starts (the "e" of "encoding") and where it ends (after the
    /// closing quote), in units of the text.
    std::size_t start = 0;
    std::size_t end = 0;
};

/// The encoding that the declaration at the very start of `text` names; nothing when the text
/// does not start with a declaration or its declaration names none.
std::optional<DeclaredEncoding> FindDeclaredEncoding(std::u16string_view text);

/// True when `text` starts with an XML declaration (with or without an encoding).
bool StartsWithDeclaration(std::u16string_view text);

} // namespace morvane::tools
