#pragma once
// The driver's own UTF-8 codec for its default charset: validated UTF-8 to
// UTF-16 and UTF-16 to UTF-8, with a block fast path over ASCII runs. Pages in
// either text form are mostly markup, so most of their bytes take that path;
// iconv handles every other charset.

#include <cstddef>
#include <string_view>

namespace morvane::tools {

/// How a UTF-8 decode ended.
enum class Utf8Status { Ok, Invalid, Truncated };

struct Utf8DecodeResult {
    Utf8Status status = Utf8Status::Ok;
    /// Bytes decoded: all of them when Ok, else the offset where the faulty sequence starts.
    std::size_t consumed = 0;
    /// UTF-16 units written for the bytes decoded.
    std::size_t written = 0;
};

/// Decodes `bytes` into `out`, which must have room for bytes.size() units. Overlong forms,
/// encoded surrogates, values above U+10FFFF and stray continuation bytes are Invalid; a
/// sequence cut short by the end of `bytes` is Truncated (a reader that gets its input in
/// pieces carries those bytes over to the next piece).
Utf8DecodeResult DecodeUtf8(std::string_view bytes, char16_t* out);

/// Index of the first unit of `text` that is a surrogate without its partner, or npos.
std::size_t FindLoneSurrogate(std::u16string_view text);

/// Index of the first unit of `text` that is a surrogate without its partner or U+0000, or npos.
std::size_t FindLoneSurrogateOrNul(std::u16string_view text);

/// Encodes `text`, which must hold no lone surrogate, into `out` (room for 3 bytes per unit).
/// Returns the number of bytes written.
std::size_t EncodeUtf8(std::u16string_view text, char* out);

} // namespace morvane::tools
