#pragma once
// The decoding step: a page's bytes, a piece at a time as they are read, to
// the UTF-16 text the engine works on. UTF-8 goes through the driver's own
// codec, every other charset through glibc's iconv. A byte-order mark is a
// signature of the file, not a character of the page, and is dropped in every
// charset. Every failure names the place in the page where it happened.
//
// A page under a GB label is read as browsers read it (ByteReading::AsBrowsers):
// GB18030 as glibc reads it, but byte 0x80 is U+20AC, the four-byte codes of
// the eighteen characters that GB18030-2022 gave two-byte codes still read as
// those characters, and A3A0 is U+3000 (an ideographic space on the pages that
// use it), where glibc refuses the first two and reads A3A0 as U+E5E5.

#include "tools/buffer.h"
#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/iconv_handle.h"

#include <string>

namespace morvane::tools {

class PageBytes;

class TextDecoder final {
public:
    /// Throws DriverError when iconv knows no charset called `charset.name`.
    explicit TextDecoder(Charset charset);

    /// Reads all of `bytes` and returns the text they hold, without a leading byte-order
    /// mark. Throws DriverError for bytes that are not valid in the charset and for input that
    /// ends inside a character: its Failure names the page `name`, the line and column, the
    /// byte offset, and how the charset was chosen (`chosenBy`, `late`); a read failure passes
    /// through.
    Buffer<char16_t> Decode(PageBytes& bytes, const std::string& name,
                            ChosenBy chosenBy = ChosenBy::Unsaid, TextPlace late = {}) const;

private:
    Charset m_charset;
    IconvHandle m_iconv; ///< not open for UTF-8
};

} // namespace morvane::tools
