#include "tools/decode.h"

#include "engine/engine.h"
#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/page_bytes.h"
#include "tools/text_place.h"
#include "tools/utf8_codec.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace morvane::tools {
namespace {

// Input is read in pieces of this size, or of the page's size where it is known and smaller
// (most pages are a few kilobytes, and a run may read thousands of them); never smaller than
// kSmallestPiece, which holds any character cut by a piece's end with room to spare.
constexpr std::size_t kInputPieceBytes = std::size_t{1} << 20;
constexpr std::size_t kSmallestPiece = 4096;

/// What a failed piece of decoding reports: the place is where the text decoded so far ends.
struct DecodeFault {
    const std::string& name;
    const Charset& charset;
    ChosenBy chosenBy;
    TextPlace late;

    [[noreturn]] void Throw(const Buffer<char16_t>& text, FailureKind kind, std::uint64_t offset,
                            std::uint32_t value) const {
        std::u16string_view before = text.View();
        if (before.starts_with(u'\uFEFF')) {
            before.remove_prefix(1); // the byte-order mark is no column of the page
        }
        Failure failure;
        failure.kind = kind;
        failure.file = name;
        failure.place = PlaceOf(before, before.size());
        failure.byteOffset = offset;
        failure.charset = charset.name;
        failure.value = value;
        failure.chosenBy = chosenBy;
        failure.late = late;
        throw DriverError(std::move(failure));
    }
};

/// True for UTF-16 with its byte order known, whose faults name a lone surrogate as such.
bool IsOrderedUtf16(const Charset& charset) {
    return charset.family == CharsetFamily::Utf16 && charset.order != ByteOrder::Unstated;
}

/// The UTF-16 unit at the start of `bytes` (two of them) in the charset's byte order.
char16_t Utf16Unit(const Charset& charset, std::string_view bytes) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    const bool little = charset.order == ByteOrder::Little;
    return static_cast<char16_t>(little ? (b1 << 8) | b0 : (b0 << 8) | b1);
}

[[noreturn]] void ThrowInvalid(const DecodeFault& fault, const Buffer<char16_t>& text,
                               std::string_view bytes, std::size_t at, std::uint64_t offset) {
    if (IsOrderedUtf16(fault.charset) && bytes.size() - at >= 2) {
        const char16_t unit = Utf16Unit(fault.charset, bytes.substr(at));
        if (engine::IsSurrogate(unit)) {
            fault.Throw(text, FailureKind::LoneSurrogate, offset, unit);
        }
    }
    fault.Throw(text, FailureKind::InvalidBytes, offset, static_cast<unsigned char>(bytes[at]));
}

[[noreturn]] void ThrowTruncated(const DecodeFault& fault, const Buffer<char16_t>& text,
                                 std::string_view rest, std::uint64_t offset) {
    if (IsOrderedUtf16(fault.charset) && rest.size() >= 2 &&
        engine::IsHighSurrogate(Utf16Unit(fault.charset, rest))) {
        fault.Throw(text, FailureKind::EndsWithLoneSurrogate, offset,
                    Utf16Unit(fault.charset, rest));
    }
    fault.Throw(text, FailureKind::EndsInsideCharacter, offset, 0);
}

// Reads the page a piece at a time and hands each piece, after any bytes the last one left
// over, to `decodePiece(bytes, offset, end, text)`: `offset` is where `bytes` start in the
// page, `end` says that no more input follows. It appends the text of the bytes it can decode
// to `text` and returns how many bytes it used; the rest (a character cut by the piece's end)
// is carried over. The raw page is never held whole, which saves its memory and page faults.
template <typename DecodePiece>
Buffer<char16_t> DecodeInput(PageBytes& input, const DecodePiece& decodePiece) {
    // One unit per byte is room enough for UTF-8 and every common charset.
    Buffer<char16_t> text(input.SizeHint() + 16);
    const std::size_t hint = input.SizeHint();
    Buffer<char> piece(hint == 0 ? kInputPieceBytes
                                 : std::clamp(hint + 1, kSmallestPiece, kInputPieceBytes));
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

std::size_t DecodeUtf8Piece(const DecodeFault& fault, std::string_view bytes, std::uint64_t offset,
                            bool end, Buffer<char16_t>& text) {
    text.ReserveMore(bytes.size());
    const Utf8DecodeResult result = DecodeUtf8(bytes, text.Data() + text.Size());
    text.SetSize(text.Size() + result.written);
    switch (result.status) {
    case Utf8Status::Ok:
        break;
    case Utf8Status::Invalid:
        ThrowInvalid(fault, text, bytes, result.consumed, offset + result.consumed);
    case Utf8Status::Truncated:
        if (end) {
            ThrowTruncated(fault, text, bytes.substr(result.consumed), offset + result.consumed);
        }
        break;
    }
    return result.consumed;
}

/// The linear number of the four-byte GB18030 code b0 b1 b2 b3 (bytes 81..FE, 30..39, 81..FE,
/// 30..39), in which the codes follow one another as the characters they stand for do.
constexpr unsigned FourByteNumber(unsigned b0, unsigned b1, unsigned b2, unsigned b3) {
    return (((b0 - 0x81) * 10 + (b1 - 0x30)) * 126 + (b2 - 0x81)) * 10 + (b3 - 0x30);
}

struct FourByteRun {
    unsigned first; ///< FourByteNumber of the run's first code
    char16_t character;
    unsigned count;
};

// The four-byte codes of the characters that GB18030-2022 moved to two-byte codes: glibc
// refuses them, browsers still read them as those characters.
constexpr std::array<FourByteRun, 2> kMovedFourByteRuns{{
    {FourByteNumber(0x84, 0x31, 0x82, 0x36), 0xFE10, 10}, // vertical forms U+FE10..U+FE19
    {FourByteNumber(0x82, 0x35, 0x90, 0x37), 0x9FB4, 8},  // ideographs U+9FB4..U+9FBB
}};

struct BrowserCharacter {
    char16_t character;
    std::size_t bytes;
};

/// What browsers read at the start of `bytes`, where glibc's GB18030 refused them: byte 0x80
/// (always a lead byte where iconv stops) or a moved four-byte code; nothing when browsers
/// refuse the bytes too.
std::optional<BrowserCharacter> BrowserGbCharacter(std::string_view bytes) {
    auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.empty()) {
        return std::nullopt;
    }
    if (byte(0) == 0x80) {
        return BrowserCharacter{0x20AC, 1};
    }
    const bool fourByte = bytes.size() >= 4 && byte(0) >= 0x81 && byte(0) <= 0xFE &&
                          byte(1) >= 0x30 && byte(1) <= 0x39 && byte(2) >= 0x81 &&
                          byte(2) <= 0xFE && byte(3) >= 0x30 && byte(3) <= 0x39;
    if (!fourByte) {
        return std::nullopt;
    }
    const unsigned number = FourByteNumber(byte(0), byte(1), byte(2), byte(3));
    for (const FourByteRun& run : kMovedFourByteRuns) {
        if (number >= run.first && number - run.first < run.count) {
            return BrowserCharacter{static_cast<char16_t>(run.character + (number - run.first)), 4};
        }
    }
    return std::nullopt;
}

/// A3A0, which glibc reads as U+E5E5 (no other code gives it), as browsers read it.
void ReadA3A0AsBrowsers(Buffer<char16_t>& text) {
    char16_t* const data = text.Data();
    std::replace(data, data + text.Size(), char16_t{0xE5E5}, char16_t{0x3000});
}

std::size_t DecodeIconvPiece(const IconvHandle& cd, ByteReading reading, bool ignoring,
                             const DecodeFault& fault, std::string_view bytes, std::uint64_t offset,
                             bool end, Buffer<char16_t>& text) {
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    text.ReserveMore(inLeft + 16);
    for (;;) {
        char* const base = reinterpret_cast<char*>(text.Data());
        char* out = base + text.Size() * sizeof(char16_t);
        char* const outBefore = out;
        const char* const inBefore = in;
        std::size_t outLeft = (text.Capacity() - text.Size()) * sizeof(char16_t);
        // Once all input is taken, one more call closes any shift state.
        const bool closing = end && inLeft == 0;
        const std::size_t result = closing ? ::iconv(cd.Get(), nullptr, nullptr, &out, &outLeft)
                                           : ::iconv(cd.Get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        text.SetSize(static_cast<std::size_t>(out - base) / sizeof(char16_t));
        // "//IGNORE" in the charset name asks for what cannot be read to be left out. iconv
        // does that for some faults and tells of it at the end of the call; where it stops
        // without getting on, the byte it stopped at is left out here, as "iconv -c" does.
        bool skipped = false;
        if (ignoring && error == EILSEQ && !closing) {
            skipped = true;
            if (in == inBefore && out == outBefore) {
                ++in;
                --inLeft;
            }
        }
        const auto used = static_cast<std::size_t>(in - bytes.data());
        if (result != kIconvFailed || skipped) {
            if (closing || (!end && inLeft == 0)) {
                return used;
            }
            continue;
        }
        if (error == E2BIG) {
            text.ReserveMore(text.Capacity() - text.Size() + 4096);
        } else if (error == EILSEQ && reading == ByteReading::AsBrowsers &&
                   BrowserGbCharacter(bytes.substr(used))) {
            const BrowserCharacter read = *BrowserGbCharacter(bytes.substr(used));
            text.ReserveMore(1);
            text.Data()[text.Size()] = read.character;
            text.SetSize(text.Size() + 1);
            in += read.bytes;
            inLeft -= read.bytes;
            if (!end && inLeft == 0) {
                return used + read.bytes;
            }
        } else if (error == EILSEQ) {
            ThrowInvalid(fault, text, bytes, used, offset + used);
        } else if (error == EINVAL) {
            if (end) {
                ThrowTruncated(fault, text, bytes.substr(used), offset + used);
            }
            return used; // a character cut by the end of the piece
        } else {
            Failure failure;
            failure.kind = FailureKind::DecoderFailed;
            failure.file = fault.name;
            failure.charset = fault.charset.name;
            failure.errnum = error;
            throw DriverError(std::move(failure));
        }
    }
}

/// Drops a leading byte-order mark, U+FEFF as every charset reads it.
void DropByteOrderMark(Buffer<char16_t>& text) {
    if (text.Size() != 0 && text.Data()[0] == 0xFEFF) {
        std::memmove(text.Data(), text.Data() + 1, (text.Size() - 1) * sizeof(char16_t));
        text.SetSize(text.Size() - 1);
    }
}

} // namespace

TextDecoder::TextDecoder(Charset charset)
    : m_charset(std::move(charset)) {
    if (m_charset.family != CharsetFamily::Utf8) {
        m_iconv = IconvHandle(NativeUtf16(), m_charset.name, m_charset.name);
    }
}

Buffer<char16_t> TextDecoder::Decode(PageBytes& bytes, const std::string& name, ChosenBy chosenBy,
                                     TextPlace late) const {
    Buffer<char16_t> text;
    const DecodeFault fault{name, m_charset, chosenBy, late};
    if (!m_iconv.IsOpen()) {
        text = DecodeInput(bytes, [&fault](std::string_view piece, std::uint64_t offset, bool end,
                                           Buffer<char16_t>& into) {
            return DecodeUtf8Piece(fault, piece, offset, end, into);
        });
    } else {
        m_iconv.Reset();
        const ByteReading reading = m_charset.reading;
        const bool ignoring = m_charset.ignoresFaults;
        text = DecodeInput(bytes, [&](std::string_view piece, std::uint64_t offset, bool end,
                                      Buffer<char16_t>& into) {
            return DecodeIconvPiece(m_iconv, reading, ignoring, fault, piece, offset, end, into);
        });
        if (reading == ByteReading::AsBrowsers) {
            ReadA3A0AsBrowsers(text);
        }
    }
    DropByteOrderMark(text);
    return text;
}

} // namespace morvane::tools
