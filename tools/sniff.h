#pragma once
// The first pipeline step after reading: which charset the page's bytes are
// in, from its byte-order mark, else from the encoding its XML declaration
// names, else UTF-8, as an XML reader decides it.

#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/text_place.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::tools {

struct SniffedCharset {
    /// The charset to read the page with (GB18030 as browsers read it for every GB label;
    /// UTF-16 and UTF-32 with their byte order spelled out).
    Charset charset;
    /// How it was found, for messages about the page's bytes.
    ChosenBy chosenBy = ChosenBy::Default;
    /// Where a declaration that does not start the page stands (ChosenBy::LateDeclaration).
    TextPlace late;
};

/// Bytes of the page's start that SniffCharset needs at most.
inline constexpr std::size_t kSniffBytes = 1024;

/// The charset of a page that starts with `head` (its first kSniffBytes bytes, or all of it
/// when shorter). Throws DriverError (FailureKind::ImpossibleDeclaration, at the declaration's
/// place in the page `name`) for a declaration that names an encoding in which its own ASCII
/// bytes do not read as themselves (UTF-16 or UTF-32 without a byte-order mark, UCS-2,
/// EBCDIC, ...): such a declaration cannot be true.
SniffedCharset SniffCharset(std::string_view head, const std::string& name);

} // namespace morvane::tools
