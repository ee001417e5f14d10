#include "tools/encode.h"

#include "engine/engine.h"
#include "tools/buffer.h"
#include "tools/driver_error.h"
#include "tools/gb_table.h"
#include "tools/text_place.h"
#include "tools/utf8_codec.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace morvane::tools {
namespace {

// Output goes out in pieces of about this many units, so a large result never needs a second
// full copy in memory and each piece is still in the cache when it is written.
constexpr std::size_t kChunkUnits = std::size_t{1} << 16;

constexpr char16_t kByteOrderMark = 0xFEFF;

struct CodePoint {
    char32_t value;
    std::size_t units; ///< 2 for a surrogate pair, else 1
};

CodePoint CodePointAt(std::u16string_view text, std::size_t i) {
    if (engine::IsHighSurrogate(text[i]) && i + 1 < text.size() &&
        engine::IsLowSurrogate(text[i + 1])) {
        return {engine::CombineSurrogates(text[i], text[i + 1]), 2};
    }
    return {text[i], 1};
}

/// "&#xHEX;" for `value`, as the engine writes it.
std::string Reference(char32_t value) {
    char text[engine::kLongestReference];
    return {text, engine::PutReference(text, value)};
}

/// True for the U+FEFF that starts the output: written as a byte it would read as a
/// byte-order mark and vanish.
bool IsLeadingMark(std::u16string_view text, std::size_t i, bool atStart) {
    return atStart && i == 0 && !text.empty() && text[0] == kByteOrderMark;
}

void EncodeWithOwnCodec(std::u16string_view text, const ByteSink& sink, bool atStart) {
    Buffer<char> bytes(3 * std::min(text.size(), kChunkUnits) + engine::kLongestReference);
    std::size_t i = 0;
    if (IsLeadingMark(text, 0, atStart)) {
        sink(Reference(kByteOrderMark));
        i = 1;
    }
    while (i < text.size()) {
        std::u16string_view rest = text.substr(i);
        const std::size_t bad = FindLoneSurrogateOrNul(rest);
        std::u16string_view stretch = rest.substr(0, bad);
        while (!stretch.empty()) {
            std::size_t units = std::min(stretch.size(), kChunkUnits);
            if (units < stretch.size() && engine::IsHighSurrogate(stretch[units - 1])) {
                --units; // keep a surrogate pair in one piece
            }
            sink(
                std::string_view(bytes.Data(), EncodeUtf8(stretch.substr(0, units), bytes.Data())));
            stretch.remove_prefix(units);
        }
        if (bad == std::u16string_view::npos) {
            break;
        }
        sink(Reference(rest[bad]));
        i += bad + 1;
    }
}

/// The bytes iconv writes for `units` alone, or nothing when it cannot write them.
std::string ConvertAlone(const IconvHandle& cd, std::u16string_view units) {
    char out[32];
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units.data()));
    std::size_t inLeft = units.size() * sizeof(char16_t);
    char* o = out;
    std::size_t outLeft = sizeof out;
    cd.Reset();
    if (::iconv(cd.Get(), &in, &inLeft, &o, &outLeft) == kIconvFailed || inLeft != 0 ||
        ::iconv(cd.Get(), nullptr, nullptr, &o, &outLeft) == kIconvFailed) {
        return {};
    }
    return {out, static_cast<std::size_t>(o - out)};
}

constexpr bool IsPrivateUse(char32_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

/// Writes the character that starts at text[i] (not ASCII, or U+0000) under a GB label at
/// `out`, as its agreed code or a reference; returns how many units it took.
std::size_t PutGbCharacter(const GbTable& table, const IconvHandle& gb18030,
                           std::u16string_view text, std::size_t i, bool atStart, char*& out) {
    const char16_t c = text[i];
    const CodePoint cp = CodePointAt(text, i);
    const std::uint16_t code =
        cp.units == 1 && !engine::IsSurrogate(c) ? table.CodeOf(c) : std::uint16_t{0};
    std::string written;
    if (code != 0) {
        *out++ = static_cast<char>(code >> 8);
        *out++ = static_cast<char>(code & 0xFF);
    } else if (gb18030.IsOpen() && c != 0 && !IsLeadingMark(text, i, atStart) &&
               !IsPrivateUse(cp.value) &&
               (written = ConvertAlone(gb18030, text.substr(i, cp.units))).size() == 4) {
        // Two-byte codes outside the table are those on which the readers disagree.
        // Of the four-byte codes only those of private-use characters differ between
        // readers (the editions of GB18030 moved characters into and out of that area).
        out = std::copy(written.begin(), written.end(), out);
    } else {
        out = engine::PutReference(out, cp.value);
    }
    return cp.units;
}

void EncodeGb(const GbTable& table, const IconvHandle& gb18030, std::u16string_view text,
              const ByteSink& sink, bool atStart) {
    // A short text (most pages) needs no more than its own worst case.
    Buffer<char> bytes(std::min(text.size(), kChunkUnits) * engine::kLongestReference + 16);
    char* out = bytes.Data();
    auto flush = [&] {
        if (out != bytes.Data()) {
            sink(std::string_view(bytes.Data(), static_cast<std::size_t>(out - bytes.Data())));
            out = bytes.Data();
        }
    };
    for (std::size_t i = 0; i < text.size();) {
        // A chunk of units at most engine::kLongestReference bytes each fills at most the buffer.
        const std::size_t chunkEnd = std::min(text.size(), i + kChunkUnits - 1);
        while (i < chunkEnd) {
            const char16_t c = text[i];
            if (c < 0x80 && c != 0) {
                *out++ = static_cast<char>(c);
                ++i;
                continue;
            }
            i += PutGbCharacter(table, gb18030, text, i, atStart, out);
        }
        flush();
    }
}

/// Appends iconv's bytes for `text` to `bytes` up to the first unit it cannot write; returns
/// how many units it wrote. With "//IGNORE" iconv skips those units itself.
std::size_t ConvertUntilFault(const IconvHandle& cd, bool ignoring, const std::string& charset,
                              std::u16string_view text, Buffer<char>& bytes) {
    char* const begin = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    char* in = begin;
    std::size_t inLeft = text.size() * sizeof(char16_t);
    while (inLeft != 0) {
        bytes.ReserveMore(inLeft + 64);
        char* out = bytes.Data() + bytes.Size();
        char* const outBefore = out;
        const char* const inBefore = in;
        std::size_t outLeft = bytes.Capacity() - bytes.Size();
        const std::size_t result = ::iconv(cd.Get(), &in, &inLeft, &out, &outLeft);
        const int error = errno;
        bytes.SetSize(static_cast<std::size_t>(out - bytes.Data()));
        if (result != kIconvFailed || error == E2BIG) {
            continue;
        }
        // iconv tells of units that "//IGNORE" skipped only at the end of a call.
        if (ignoring && error == EILSEQ && (in != inBefore || out != outBefore)) {
            continue;
        }
        if (error == EILSEQ || error == EINVAL) {
            break;
        }
        Failure failure;
        failure.kind = FailureKind::EncoderFailed;
        failure.charset = charset;
        failure.errnum = error;
        throw DriverError(std::move(failure));
    }
    return static_cast<std::size_t>(in - begin) / sizeof(char16_t);
}

/// True when iconv reads back, in `charset`, the bytes it writes there for an escape character
/// (U+001B) alone and for one that looks like the start of a shift sequence. In the ISO-2022
/// charsets a raw ESC starts a shift sequence, so a page holding one would be cut short or read
/// as other characters; there the encoder writes ESC as a reference instead.
bool HoldsEscape(const std::string& charset) {
    const IconvHandle out = IconvHandle::TryOpen(charset, NativeUtf16());
    const IconvHandle in = IconvHandle::TryOpen(NativeUtf16(), charset);
    if (!out.IsOpen() || !in.IsOpen()) {
        return false;
    }
    for (std::u16string text : {std::u16string(u"\x1B"), std::u16string(u"\x1B$B")}) {
        char bytes[64];
        char* from = reinterpret_cast<char*>(text.data());
        std::size_t fromLeft = text.size() * sizeof(char16_t);
        char* to = bytes;
        std::size_t toLeft = sizeof bytes;
        out.Reset();
        if (::iconv(out.Get(), &from, &fromLeft, &to, &toLeft) == kIconvFailed ||
            ::iconv(out.Get(), nullptr, nullptr, &to, &toLeft) == kIconvFailed) {
            return false;
        }
        char16_t back[64];
        char* again = bytes;
        auto againLeft = static_cast<std::size_t>(to - bytes);
        char* into = reinterpret_cast<char*>(back);
        std::size_t intoLeft = sizeof back;
        in.Reset();
        if (::iconv(in.Get(), &again, &againLeft, &into, &intoLeft) == kIconvFailed ||
            std::u16string_view(back,
                                static_cast<std::size_t>(into - reinterpret_cast<char*>(back)) /
                                    sizeof(char16_t)) != text) {
            return false;
        }
    }
    return true;
}

} // namespace

TextEncoder::TextEncoder(Charset charset)
    : m_charset(std::move(charset)) {
    const std::string& name = m_charset.name;
    const bool unstated = m_charset.order == ByteOrder::Unstated;
    if (m_charset.family == CharsetFamily::Gb) {
        m_table = &GbTable::For(m_charset.label);
        if (m_charset.label == GbLabel::Gb18030) {
            m_gb18030 = IconvHandle("GB18030", NativeUtf16(), name);
        }
    } else if (m_charset.family == CharsetFamily::Utf16 && unstated) {
        m_iconv = IconvHandle("UTF-16LE", NativeUtf16(), name);
        m_byteOrderMark = "\xFF\xFE";
    } else if (m_charset.family == CharsetFamily::Utf32 && unstated) {
        m_iconv = IconvHandle("UTF-32LE", NativeUtf16(), name);
        m_byteOrderMark = std::string("\xFF\xFE\0\0", 4);
    } else if (m_charset.family != CharsetFamily::Utf8) {
        m_iconv = IconvHandle(name, NativeUtf16(), name);
        m_escapeAsReference = !HoldsEscape(name);
    }
}

void TextEncoder::Encode(std::u16string_view text, const ByteSink& sink, const std::string& name,
                         bool atStart) const {
    if (m_table != nullptr) {
        EncodeGb(*m_table, m_gb18030, text, sink, atStart);
    } else if (!m_iconv.IsOpen()) {
        EncodeWithOwnCodec(text, sink, atStart);
    } else {
        EncodeWithIconv({&text, 1}, sink, name, atStart);
    }
}

void TextEncoder::Encode(std::span<const std::u16string_view> pieces, const ByteSink& sink,
                         const std::string& name) const {
    if (m_iconv.IsOpen()) {
        EncodeWithIconv(pieces, sink, name, true);
        return;
    }
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        Encode(pieces[k], sink, name, k == 0);
    }
}

void TextEncoder::EncodeWithIconv(std::span<const std::u16string_view> pieces, const ByteSink& sink,
                                  const std::string& name, bool atStart) const {
    // The whole result is built before any of it is written, so a failure leaves the output
    // empty; the pieces go through one conversion, so a shift state carries from one to the
    // next as in one text.
    std::size_t units = 0;
    for (const std::u16string_view piece : pieces) {
        units += piece.size();
    }
    Buffer<char> bytes(2 * units + 16);
    if (atStart) {
        std::copy(m_byteOrderMark.begin(), m_byteOrderMark.end(), bytes.Data());
        bytes.SetSize(m_byteOrderMark.size());
    }
    m_iconv.Reset();
    const std::string& charset = m_charset.name;
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        const std::u16string_view text = pieces[k];
        const bool starts = atStart && k == 0;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t stop = text.find(u'\0', i);
            if (m_escapeAsReference) {
                stop = std::min(stop, text.find(u'\x1B', i));
            }
            stop = std::min(stop, text.size());
            if (!IsLeadingMark(text, i, starts)) {
                i += ConvertUntilFault(m_iconv, m_charset.ignoresFaults, charset,
                                       text.substr(i, stop - i), bytes);
            }
            if (i >= text.size()) {
                break;
            }
            const CodePoint cp = CodePointAt(text, i);
            const std::string reference = Reference(cp.value);
            const std::u16string referenceUnits(reference.begin(), reference.end());
            if (ConvertUntilFault(m_iconv, false, charset, referenceUnits, bytes) !=
                referenceUnits.size()) {
                ThrowUnwritable(pieces, k, i, cp.value, name);
            }
            i += cp.units;
        }
    }
    bytes.ReserveMore(64);
    char* out = bytes.Data() + bytes.Size();
    std::size_t outLeft = bytes.Capacity() - bytes.Size();
    ::iconv(m_iconv.Get(), nullptr, nullptr, &out, &outLeft); // any closing shift sequence
    bytes.SetSize(static_cast<std::size_t>(out - bytes.Data()));
    if (bytes.Size() != 0) {
        sink(bytes.View());
    }
}

void TextEncoder::ThrowUnwritable(std::span<const std::u16string_view> pieces, std::size_t piece,
                                  std::size_t at, char32_t character,
                                  const std::string& name) const {
    // The place counts lines and columns from the start of the text the pieces make.
    std::u16string text;
    for (std::size_t k = 0; k <= piece; ++k) {
        text += pieces[k];
    }
    Failure failure;
    failure.kind = FailureKind::NotEvenAReference;
    failure.file = name;
    failure.place = PlaceOf(text, text.size() - pieces[piece].size() + at);
    failure.charset = m_charset.name;
    failure.value = character;
    throw DriverError(std::move(failure));
}

} // namespace morvane::tools
