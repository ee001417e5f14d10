#pragma once
// The first pipeline step after reading: which charset the page's bytes are
// in, from its byte-order mark, else from the encoding its XML declaration
// names, else UTF-8, as an XML reader decides it.

#include "tools/charset_names.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::tools {

struct SniffedCharset {
    /// The charset to read the page with (GB18030 for every GB label; UTF-16 and UTF-32 with
    /// their byte order spelled out).
    std::string charset;
    /// How it was found, for messages: "as its byte-order mark says", ...
    std::string source;
    /// As browsers read it for a GB label the page declares, else as iconv reads the name.
    ByteReading reading = ByteReading::AsNamed;
};

/// Bytes of the page's start that SniffCharset needs at most.
inline constexpr std::size_t kSniffBytes = 1024;

/// The charset of a page that starts with `head` (its first kSniffBytes bytes, or all of it
/// when shorter). Throws DriverError, its message starting "NAME:LINE:COLUMN: ", for a
/// declaration that names an encoding in which its own ASCII bytes do not read as themselves
/// (UTF-16 or UTF-32 without a byte-order mark, UCS-2, EBCDIC, ...): such a declaration
/// cannot be true.
SniffedCharset SniffCharset(std::string_view head, const std::string& name);

/// `charset` with its byte order spelled out when it is UTF-16 or UTF-32 without one: from the
/// byte-order mark `head` starts with, else big-endian as those names mean without one.
std::string WithByteOrder(const std::string& charset, std::string_view head);

} // namespace morvane::tools
