#pragma once
// The charsets at the driver's two edges. A TextDecoder turns the input bytes,
// a piece at a time as they are read, into the UTF-16 text the engine works
// on; a TextEncoder turns the engine's result into output bytes. UTF-8 goes
// through the driver's own codec, every other charset through glibc's iconv. Both are set up before
// any input is read, so an unknown charset name is reported first; every failure is a DriverError
// that names the byte offset, or the character and its place.

#include "tools/buffer.h"
#include "tools/byte_sink.h"

#include <functional>
#include <iconv.h>
#include <string>
#include <string_view>

namespace morvane::tools {

class InputFile;

class TextDecoder final {
public:
    /// Throws DriverError when iconv knows no charset called `charset`.
    explicit TextDecoder(std::string charset);
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;
    ~TextDecoder();

    /// Reads all of `input` and returns the UTF-16 text it holds. A UTF-8 byte-order mark at
    /// the start is dropped. Throws DriverError for bytes that are not valid in the charset,
    /// for input that ends inside a character and for a read failure.
    Buffer<char16_t> Decode(InputFile& input) const;

private:
    std::string m_charset;
    iconv_t m_iconv;
};

class TextEncoder final {
public:
    /// Throws DriverError when iconv knows no charset called `charset`.
    explicit TextEncoder(std::string charset);
    TextEncoder(const TextEncoder&) = delete;
    TextEncoder& operator=(const TextEncoder&) = delete;
    ~TextEncoder();

    /// Encodes `text` and hands the bytes to `sink`. Checks the whole text first: a
    /// character the charset cannot hold (a lone surrogate included) throws DriverError
    /// before `sink` receives anything.
    void Encode(std::u16string_view text, const ByteSink& sink) const;

    /// True when the charset holds every character of U+0000..U+FFFF but the
    /// surrogates (UTF-8): then a text without surrogates always encodes.
    bool HoldsAllButSurrogates() const;

private:
    std::string m_charset;
    iconv_t m_iconv;
};

} // namespace morvane::tools
