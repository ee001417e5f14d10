#pragma once
// Shared pieces of the driver's fuzz targets: a page held in memory that the
// pipeline reads in pieces of a chosen size (so that characters cut by a
// piece's end are carried over as with a large file), the charsets the
// targets pick from, and a failure report that shows the input bytes.

#include "tools/charset_names.h"
#include "tools/page_bytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane::fuzz {

/// One charset a target reads or writes, and what holds for it.
struct FuzzCharset {
    const char* name;
    tools::ByteReading reading;
    /// The charset as the pipeline classifies it, read as `reading` says.
    tools::Charset Classified() const;
    /// Decoding then encoding gives the same bytes (but a leading byte-order mark, U+0000,
    /// which the encoder writes as a reference, and a U+FEFF that starts the text).
    bool bytesComeBack;
};

/// The charsets the targets pick from: one or more of every family the driver reads.
const FuzzCharset& PickCharset(std::uint8_t choice);

/// A page of `bytes` that hands out at most `piece` bytes per read (0: all at once).
tools::PageBytes MemoryPage(std::string_view bytes, std::size_t piece);

/// Aborts, printing `what`, `detail` and the input bytes, unless `ok`.
void Expect(bool ok, const char* what, std::string_view input, const std::string& detail = {});

/// True when `message` is one line that starts with "NAME:".
bool IsOneLineAbout(const std::string& message, const std::string& name);

} // namespace morvane::fuzz
