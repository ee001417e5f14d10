#include "tools/charset.h"

#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/utf8_codec.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace morvane::tools {
namespace {

// The engine's text is char16_t in the machine's byte order.
constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Output goes out in pieces of this many units, so a large result never needs a second full
// copy in memory and each piece is still in the cache when it is written.
constexpr std::size_t kOutputChunkUnits = std::size_t{1} << 16;
// Input is read in pieces of this size.
constexpr std::size_t kInputPieceBytes = std::size_t{1} << 20;

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);

bool IsUtf8Name(std::string_view name) {
    auto same = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return (x >= 'a' && x <= 'z' ? static_cast<char>(x - 'a' + 'A') : x) == y;
        });
    };
    return same(name, "UTF-8") || same(name, "UTF8");
}

// Opens a conversion between `charset` and the engine's UTF-16, or leaves kNoIconv for the
// driver's own UTF-8 codec. An empty name would make iconv take the locale's charset.
iconv_t OpenIconv(const std::string& charset, bool toUtf16) {
    if (IsUtf8Name(charset)) {
        return kNoIconv;
    }
    const iconv_t cd = charset.empty() ? kNoIconv
                       : toUtf16       ? ::iconv_open(kNativeUtf16, charset.c_str())
                                       : ::iconv_open(charset.c_str(), kNativeUtf16);
    if (cd == kNoIconv) {
        if (charset.empty() || errno == EINVAL) {
            throw DriverError("unknown charset '" + charset + "' (see 'iconv --list')");
        }
        throw DriverError(SystemErrorText("cannot convert with charset '" + charset + "'", errno));
    }
    return cd;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

[[noreturn]] void ThrowInvalidInput(const std::string& charset, char byte, std::uint64_t offset) {
    throw DriverError("the input is not valid " + charset + ": byte 0x" +
                      Hex(static_cast<unsigned char>(byte), 2) + " at byte offset " +
                      std::to_string(offset));
}

[[noreturn]] void ThrowTruncatedInput(const std::string& charset, std::uint64_t offset) {
    throw DriverError("the input ends in the middle of a " + charset +
                      " character (it starts at byte offset " + std::to_string(offset) + ")");
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// "line L, column C": where unit `index` of `text` stands, counting lines by LF and columns by
// characters (a surrogate pair is one), both from 1.
std::string DescribePlace(std::u16string_view text, std::size_t index) {
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < index && i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ++line;
            column = 1;
        } else if (!IsLowSurrogate(text[i]) || i == 0 || !IsHighSurrogate(text[i - 1])) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

[[noreturn]] void ThrowUnencodable(const std::string& charset, std::u16string_view text,
                                   std::size_t index) {
    const char16_t unit = text[index];
    std::string what;
    if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
        const unsigned cp = 0x10000U + ((unit - 0xD800U) << 10) + (text[index + 1] - 0xDC00U);
        what = "character U+" + Hex(cp, 4);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
        what = "lone surrogate U+" + Hex(unit, 4);
    } else {
        what = "character U+" + Hex(unit, 4);
    }
    throw DriverError("cannot write the " + what + " (" + DescribePlace(text, index) +
                      " of the converted text) in " + charset);
}

// Reads `input` a piece at a time and hands each piece, after any bytes the last one left over,
// to `decodePiece(bytes, offset, end, text)`: `offset` is where `bytes` start in the input,
// `end` says that no more input follows. It appends the text of the bytes it can decode to
// `text` and returns how many bytes it used; the rest (a character cut by the piece's end) is
// carried over. The raw input is never held whole, which saves its memory and page faults.
template <typename DecodePiece>
Buffer<char16_t> DecodeInput(InputFile& input, const DecodePiece& decodePiece) {
    // One unit per byte is room enough for UTF-8 and every common charset.
    Buffer<char16_t> text(input.SizeHint() + 16);
    Buffer<char> piece(kInputPieceBytes);
    std::size_t have = 0;
    std::uint64_t offset = 0;
    for (bool end = false; !end;) {
        const std::size_t got = input.Read(piece.Data() + have, piece.Capacity() - have);
        end = got == 0;
        have += got;
        const std::size_t used =
            decodePiece(std::string_view(piece.Data(), have), offset, end, text);
        std::memmove(piece.Data(), piece.Data() + used, have - used);
        have -= used;
        offset += used;
    }
    return text;
}

std::size_t DecodeUtf8Piece(const std::string& charset, std::string_view bytes,
                            std::uint64_t offset, bool end, Buffer<char16_t>& text) {
    // A byte-order mark is a signature of the file, not a character of the page: kept, it
    // would become a reference in front of the XML declaration.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::size_t skipped = 0;
    if (offset == 0) {
        if (bytes.size() < kByteOrderMark.size() && !end) {
            return 0; // too few bytes yet to tell
        }
        skipped = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    }
    const std::string_view body = bytes.substr(skipped);
    text.ReserveMore(body.size());
    const Utf8DecodeResult result = DecodeUtf8(body, text.Data() + text.Size());
    text.SetSize(text.Size() + result.written);
    const std::size_t used = skipped + result.consumed;
    switch (result.status) {
    case Utf8Status::Ok:
        break;
    case Utf8Status::Invalid:
        ThrowInvalidInput(charset, bytes[used], offset + used);
    case Utf8Status::Truncated:
        if (end) {
            ThrowTruncatedInput(charset, offset + used);
        }
        break;
    }
    return used;
}

std::size_t DecodeIconvPiece(iconv_t cd, const std::string& charset, std::string_view bytes,
                             std::uint64_t offset, bool end, Buffer<char16_t>& text) {
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    text.ReserveMore(inLeft + 16);
    for (;;) {
        char* const base = reinterpret_cast<char*>(text.Data());
        char* out = base + text.Size() * sizeof(char16_t);
        std::size_t outLeft = (text.Capacity() - text.Size()) * sizeof(char16_t);
        // Once all input is taken, one more call closes any shift state.
        const bool closing = end && inLeft == 0;
        const std::size_t result = closing ? ::iconv(cd, nullptr, nullptr, &out, &outLeft)
                                           : ::iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        text.SetSize(static_cast<std::size_t>(out - base) / sizeof(char16_t));
        const auto used = static_cast<std::size_t>(in - bytes.data());
        if (result != kIconvFailed) {
            if (closing || (!end && inLeft == 0)) {
                return used;
            }
            continue;
        }
        if (error == E2BIG) {
            text.ReserveMore(text.Capacity() - text.Size() + 4096);
        } else if (error == EILSEQ) {
            ThrowInvalidInput(charset, bytes[used], offset + used);
        } else if (error == EINVAL) {
            if (end) {
                ThrowTruncatedInput(charset, offset + used);
            }
            return used; // a character cut by the end of the piece
        } else {
            throw DriverError(SystemErrorText("cannot read the input as " + charset, error));
        }
    }
}

void EncodeWithOwnCodec(const std::string& charset, std::u16string_view text,
                        const ByteSink& sink) {
    const std::size_t bad = FindLoneSurrogate(text);
    if (bad != std::u16string_view::npos) {
        ThrowUnencodable(charset, text, bad);
    }
    Buffer<char> bytes(3 * std::min(text.size(), kOutputChunkUnits));
    while (!text.empty()) {
        std::size_t units = std::min(text.size(), kOutputChunkUnits);
        if (units < text.size() && IsHighSurrogate(text[units - 1])) {
            --units; // keep a surrogate pair in one piece
        }
        const std::size_t size = EncodeUtf8(text.substr(0, units), bytes.Data());
        sink(std::string_view(bytes.Data(), size));
        text.remove_prefix(units);
    }
}

void EncodeWithIconv(iconv_t cd, const std::string& charset, std::u16string_view text,
                     const ByteSink& sink) {
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // The whole result is built before any of it is written, so a character that the charset
    // cannot hold leaves the output empty.
    Buffer<char> bytes(2 * text.size() + 16);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    std::size_t inLeft = text.size() * sizeof(char16_t);
    for (;;) {
        char* out = bytes.Data() + bytes.Size();
        std::size_t outLeft = bytes.Capacity() - bytes.Size();
        // Once all input is taken, one more call writes any closing shift sequence.
        const bool closing = inLeft == 0;
        const std::size_t result = closing ? ::iconv(cd, nullptr, nullptr, &out, &outLeft)
                                           : ::iconv(cd, &in, &inLeft, &out, &outLeft);
        const int error = errno;
        bytes.SetSize(static_cast<std::size_t>(out - bytes.Data()));
        if (result != kIconvFailed) {
            if (closing) {
                break;
            }
            continue;
        }
        if (error == E2BIG) {
            bytes.ReserveMore(bytes.Capacity() - bytes.Size() + 4096);
        } else if (error == EILSEQ || error == EINVAL) {
            const auto index =
                static_cast<std::size_t>(reinterpret_cast<const char16_t*>(in) - text.data());
            ThrowUnencodable(charset, text, index);
        } else {
            throw DriverError(SystemErrorText("cannot write the output as " + charset, error));
        }
    }
    if (bytes.Size() != 0) {
        sink(bytes.View());
    }
}

} // namespace

TextDecoder::TextDecoder(std::string charset)
    : m_charset(std::move(charset))
    , m_iconv(OpenIconv(m_charset, true)) {}

TextDecoder::~TextDecoder() {
    if (m_iconv != kNoIconv) {
        ::iconv_close(m_iconv);
    }
}

Buffer<char16_t> TextDecoder::Decode(InputFile& input) const {
    if (m_iconv == kNoIconv) {
        return DecodeInput(input, [this](std::string_view bytes, std::uint64_t offset, bool end,
                                         Buffer<char16_t>& text) {
            return DecodeUtf8Piece(m_charset, bytes, offset, end, text);
        });
    }
    ::iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
    return DecodeInput(input, [this](std::string_view bytes, std::uint64_t offset, bool end,
                                     Buffer<char16_t>& text) {
        return DecodeIconvPiece(m_iconv, m_charset, bytes, offset, end, text);
    });
}

TextEncoder::TextEncoder(std::string charset)
    : m_charset(std::move(charset))
    , m_iconv(OpenIconv(m_charset, false)) {}

TextEncoder::~TextEncoder() {
    if (m_iconv != kNoIconv) {
        ::iconv_close(m_iconv);
    }
}

void TextEncoder::Encode(std::u16string_view text, const ByteSink& sink) const {
    if (m_iconv == kNoIconv) {
        EncodeWithOwnCodec(m_charset, text, sink);
    } else {
        EncodeWithIconv(m_iconv, m_charset, text, sink);
    }
}

bool TextEncoder::HoldsAllButSurrogates() const {
    return m_iconv == kNoIconv;
}

} // namespace morvane::tools
