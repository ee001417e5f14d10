// iconv's three calls over the Windows code pages (windows/iconv.h). A call
// converts whole characters: the input is first cut at character boundaries
// (the code page's lead bytes, UTF-8's and GB18030's byte patterns, UTF-16's
// surrogate pairs), then converted a run of characters at a time, and only a
// run that fails is converted again one character at a time to find the
// character that stops it. Windows reports a character it cannot read
// (MB_ERR_INVALID_CHARS) or write (a default character used, or
// WC_ERR_INVALID_CHARS for UTF-8 and GB18030) without saying where.

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

namespace {

enum class Kind { CodePage, Ascii, Utf16Le, Utf16Be, Utf32Le, Utf32Be };

struct Codec {
    Kind kind = Kind::CodePage;
    UINT page = 0;
    bool gb2312 = false;  ///< code page 936 held to GB2312's two-byte range (EUC-CN)
    bool twoByte = false; ///< a double-byte code page: lead bytes say a character's length
};

constexpr UINT kUtf8 = 65001;
constexpr UINT kGb18030 = 54936;
constexpr UINT kGbk = 936;

struct NamedPage {
    std::string_view name;
    UINT page;
};

// Names as iconv spells them, upper case; CPnnn, WINDOWS-nnnn, IBMnnn and MSnnn name their
// code page by number.
constexpr std::array<NamedPage, 33> kNamedPages{{
    {"UTF-8", kUtf8},       {"UTF8", kUtf8},       {"GBK", kGbk},          {"X-GBK", kGbk},
    {"GB18030", kGb18030},  {"BIG5", 950},         {"BIG-5", 950},         {"CSBIG5", 950},
    {"SHIFT_JIS", 932},     {"SHIFT-JIS", 932},    {"SJIS", 932},          {"MS_KANJI", 932},
    {"WINDOWS-31J", 932},   {"EUC-JP", 20932},     {"EUCJP", 20932},       {"EUC-KR", 949},
    {"EUCKR", 949},         {"UHC", 949},          {"KOI8-R", 20866},      {"KOI8-U", 21866},
    {"LATIN1", 28591},      {"L1", 28591},         {"LATIN2", 28592},      {"LATIN-9", 28605},
    {"LATIN9", 28605},      {"ISO-8859-1", 28591}, {"ISO8859-1", 28591},   {"ISO_8859-1", 28591},
    {"ISO-8859-15", 28605}, {"ISO8859-15", 28605}, {"ISO_8859-15", 28605}, {"TIS-620", 874},
    {"MACINTOSH", 10000},
}};

constexpr std::array<std::string_view, 8> kGb2312Names{
    {"GB2312", "EUC-CN", "EUCCN", "GB_2312-80", "CSGB2312", "CHINESE", "ISO-IR-58", "X-EUC-CN"}};

std::string Upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

/// The number after `prefix` in `name`, when that is all the rest of it.
std::optional<UINT> NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.size() > prefix.size() + 5) {
        return std::nullopt;
    }
    UINT number = 0;
    for (const char c : name.substr(prefix.size())) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<UINT>(c - '0');
    }
    return number;
}

/// The code page that `name` (upper case, without a "//" suffix) names, if any.
std::optional<UINT> PageNamed(std::string_view name) {
    for (const NamedPage& named : kNamedPages) {
        if (named.name == name) {
            return named.page;
        }
    }
    for (const std::string_view prefix : {"ISO-8859-", "ISO8859-", "ISO_8859-"}) {
        if (const auto part = NumberAfter(name, prefix); part && *part >= 1 && *part <= 16) {
            return 28590 + *part;
        }
    }
    for (const std::string_view prefix : {"WINDOWS-", "CP", "IBM", "MS"}) {
        if (const auto page = NumberAfter(name, prefix)) {
            return *page;
        }
    }
    return std::nullopt;
}

/// The codec that `charset` names; nothing when it names none (errno EINVAL) or its code
/// page is not on this system (errno ENOENT). A system without GB18030's code page (Wine)
/// reads it through GBK's: every one- and two-byte code reads the same, and a four-byte
/// code is refused as a byte that cannot be read, never read as something else.
std::optional<Codec> CodecNamed(const char* charset, bool decoding) {
    std::string name = Upper(charset);
    name = name.substr(0, name.find("//"));
    if (name == "UTF-16LE" || name == "UCS-2LE") {
        return Codec{Kind::Utf16Le};
    }
    if (name == "UTF-16BE" || name == "UCS-2BE") {
        return Codec{Kind::Utf16Be};
    }
    if (name == "UTF-32LE" || name == "UCS-4LE") {
        return Codec{Kind::Utf32Le};
    }
    if (name == "UTF-32BE" || name == "UCS-4BE") {
        return Codec{Kind::Utf32Be};
    }
    if (name == "US-ASCII" || name == "ASCII" || name == "ANSI_X3.4-1968" || name == "CSASCII" ||
        name == "ISO646-US" || name == "US") {
        return Codec{Kind::Ascii};
    }
    Codec codec;
    const bool gb2312 =
        std::find(kGb2312Names.begin(), kGb2312Names.end(), name) != kGb2312Names.end();
    std::optional<UINT> page = gb2312 ? std::optional<UINT>(kGbk) : PageNamed(name);
    if (decoding && page == kGb18030 && ::IsValidCodePage(kGb18030) == 0) {
        page = kGbk;
    }
    CPINFOEXW info{};
    // The stateful code pages (ISO-2022, HZ, UTF-7) and those only .NET reads (UTF-16 as
    // 1200/1201) are not offered: their bytes depend on what came before.
    const bool stateful = page && ((*page >= 50220 && *page <= 50229) || *page == 52936 ||
                                   *page == 65000 || *page == 1200 || *page == 1201);
    if (!page || stateful) {
        errno = EINVAL;
        return std::nullopt;
    }
    if (::IsValidCodePage(*page) == 0 || ::GetCPInfoExW(*page, 0, &info) == 0) {
        errno = ENOENT;
        return std::nullopt;
    }
    codec.page = *page;
    codec.gb2312 = gb2312;
    codec.twoByte = info.MaxCharSize == 2;
    return codec;
}

bool IsHigh(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint32_t Unit16(const unsigned char* p, bool big) {
    return big ? (p[0] << 8U) | p[1] : p[0] | (p[1] << 8U);
}

/// The length of the character at the start of `bytes`: 1..4, or 0 when the end of `bytes`
/// cuts it. A byte that starts no character counts as one, for the conversion to refuse.
std::size_t CharacterLength(const Codec& codec, const unsigned char* p, std::size_t n) {
    const auto fits = [n](std::size_t length) { return length <= n ? length : 0; };
    switch (codec.kind) {
    case Kind::Ascii:
        return 1;
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        if (n < 2) {
            return 0;
        }
        return IsHigh(Unit16(p, codec.kind == Kind::Utf16Be)) ? fits(4) : 2;
    case Kind::Utf32Le:
    case Kind::Utf32Be:
        return fits(4);
    case Kind::CodePage:
        break;
    }
    if (p[0] < 0x80) {
        return 1;
    }
    if (codec.page == kUtf8) {
        const std::size_t length = p[0] >= 0xC2 && p[0] <= 0xDF   ? 2
                                   : p[0] >= 0xE0 && p[0] <= 0xEF ? 3
                                   : p[0] >= 0xF0 && p[0] <= 0xF4 ? 4
                                                                  : 1;
        for (std::size_t i = 1; i < length; ++i) {
            if (i == n) {
                return 0;
            }
            if ((p[i] & 0xC0) != 0x80) {
                return 1;
            }
        }
        return length;
    }
    if (codec.page == kGb18030) {
        if (p[0] == 0x80 || p[0] == 0xFF) {
            return 1;
        }
        if (n < 2) {
            return 0;
        }
        return p[1] >= 0x30 && p[1] <= 0x39 ? fits(4) : 2;
    }
    if (codec.twoByte && ::IsDBCSLeadByteEx(codec.page, p[0]) != 0) {
        return fits(2);
    }
    return 1;
}

/// Whether the character `p` (`n` bytes) lies in GB2312's range: ASCII, or rows A1..A9 and
/// B0..F7 with cells A1..FE.
bool InGb2312(const unsigned char* p, std::size_t n) {
    if (n == 1) {
        return p[0] < 0x80;
    }
    return n == 2 && ((p[0] >= 0xA1 && p[0] <= 0xA9) || (p[0] >= 0xB0 && p[0] <= 0xF7)) &&
           p[1] >= 0xA1 && p[1] <= 0xFE;
}

/// The UTF-16 units of the characters in `p` (`n` bytes, whole characters) at `out`, which
/// has room for two per byte; -1 when any of them cannot be read.
int Decode(const Codec& codec, const unsigned char* p, std::size_t n, wchar_t* out) {
    switch (codec.kind) {
    case Kind::Ascii:
        for (std::size_t i = 0; i < n; ++i) {
            if (p[i] >= 0x80) {
                return -1;
            }
            out[i] = static_cast<wchar_t>(p[i]);
        }
        return static_cast<int>(n);
    case Kind::Utf16Le:
    case Kind::Utf16Be: {
        const bool big = codec.kind == Kind::Utf16Be;
        for (std::size_t i = 0; i < n; i += 2) {
            const std::uint32_t unit = Unit16(p + i, big);
            const bool pairs = IsHigh(unit) && i + 4 <= n && IsLow(Unit16(p + i + 2, big));
            const bool follows = IsLow(unit) && i >= 2 && IsHigh(Unit16(p + i - 2, big));
            if ((IsHigh(unit) && !pairs) || (IsLow(unit) && !follows)) {
                return -1;
            }
            out[i / 2] = static_cast<wchar_t>(unit);
        }
        return static_cast<int>(n / 2);
    }
    case Kind::Utf32Le:
    case Kind::Utf32Be: {
        int units = 0;
        for (std::size_t i = 0; i < n; i += 4) {
            const unsigned char* c = p + i;
            const std::uint32_t value = codec.kind == Kind::Utf32Le
                                            ? c[0] | (c[1] << 8U) | (c[2] << 16U) |
                                                  (static_cast<std::uint32_t>(c[3]) << 24U)
                                            : c[3] | (c[2] << 8U) | (c[1] << 16U) |
                                                  (static_cast<std::uint32_t>(c[0]) << 24U);
            if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
                return -1;
            }
            if (value >= 0x10000) {
                out[units++] = static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10U));
                out[units++] = static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FFU));
            } else {
                out[units++] = static_cast<wchar_t>(value);
            }
        }
        return units;
    }
    case Kind::CodePage:
        break;
    }
    if (codec.gb2312) {
        for (std::size_t i = 0; i < n;) {
            const std::size_t length = CharacterLength(codec, p + i, n - i);
            if (!InGb2312(p + i, length)) {
                return -1;
            }
            i += length;
        }
    }
    const int units =
        ::MultiByteToWideChar(codec.page, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                              static_cast<int>(n), out, static_cast<int>(2 * n));
    return units > 0 ? units : -1;
}

/// The bytes of the UTF-16 units `units` (`n` of them, whole characters) at `out`, which has
/// room for four per unit; -1 when any of them cannot be written.
int Encode(const Codec& codec, const wchar_t* units, std::size_t n, unsigned char* out) {
    switch (codec.kind) {
    case Kind::Ascii:
        for (std::size_t i = 0; i < n; ++i) {
            if (units[i] >= 0x80) {
                return -1;
            }
            out[i] = static_cast<unsigned char>(units[i]);
        }
        return static_cast<int>(n);
    case Kind::Utf16Le:
    case Kind::Utf16Be:
        for (std::size_t i = 0; i < n; ++i) {
            const auto unit = static_cast<std::uint32_t>(units[i]);
            const bool big = codec.kind == Kind::Utf16Be;
            out[2 * i + (big ? 1 : 0)] = static_cast<unsigned char>(unit & 0xFFU);
            out[2 * i + (big ? 0 : 1)] = static_cast<unsigned char>(unit >> 8U);
        }
        return static_cast<int>(2 * n);
    case Kind::Utf32Le:
    case Kind::Utf32Be: {
        int bytes = 0;
        for (std::size_t i = 0; i < n; ++i) {
            auto value = static_cast<std::uint32_t>(units[i]);
            if (IsHigh(value)) {
                value = 0x10000 + ((value - 0xD800) << 10U) +
                        (static_cast<std::uint32_t>(units[++i]) - 0xDC00);
            }
            for (int k = 0; k < 4; ++k) {
                const int shift = codec.kind == Kind::Utf32Le ? 8 * k : 8 * (3 - k);
                out[bytes++] =
                    static_cast<unsigned char>((value >> static_cast<unsigned>(shift)) & 0xFFU);
            }
        }
        return bytes;
    }
    case Kind::CodePage:
        break;
    }
    BOOL usedDefault = FALSE;
    // UTF-8 and GB18030 write every character: there the only failure is a lone surrogate,
    // and Windows takes no default character for them.
    const bool everyCharacter = codec.page == kUtf8 || codec.page == kGb18030;
    const int bytes = ::WideCharToMultiByte(
        codec.page, everyCharacter ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, units,
        static_cast<int>(n), reinterpret_cast<char*>(out), static_cast<int>(4 * n), nullptr,
        everyCharacter ? nullptr : &usedDefault);
    if (bytes <= 0 || usedDefault != FALSE) {
        return -1;
    }
    if (codec.gb2312) {
        for (int i = 0; i < bytes;) {
            const std::size_t length =
                CharacterLength(codec, out + i, static_cast<std::size_t>(bytes - i));
            if (!InGb2312(out + i, length)) {
                return -1;
            }
            i += static_cast<int>(length);
        }
    }
    return bytes;
}

/// How many UTF-16 units the character at the start of `units` takes: 1 or 2, 0 when the end
/// of `units` cuts a surrogate pair. A lone surrogate counts as one, for Encode to refuse.
std::size_t UnitsOfCharacter(const wchar_t* units, std::size_t n) {
    if (!IsHigh(static_cast<std::uint32_t>(units[0]))) {
        return 1;
    }
    if (n < 2) {
        return 0;
    }
    return IsLow(static_cast<std::uint32_t>(units[1])) ? 2 : 1;
}

bool IsLoneSurrogate(const wchar_t* units, std::size_t length) {
    const auto first = static_cast<std::uint32_t>(units[0]);
    return length == 1 && (IsHigh(first) || IsLow(first));
}

constexpr std::size_t kRunBytes = 4096;

} // namespace

struct MorvaneIconv {
    Codec codec;
    bool decoding = true; ///< from the codec's charset into UTF-16; else the other way
    bool ignoring = false;
};

namespace {

/// Fails a call with `error`, as iconv does.
std::size_t Failed(int error) {
    errno = error;
    return static_cast<std::size_t>(-1);
}

std::size_t DecodeCall(const MorvaneIconv& cd, char** inbuf, std::size_t* inLeft, char** outbuf,
                       std::size_t* outLeft) {
    std::array<wchar_t, 2 * kRunBytes + 8> run{};
    while (*inLeft != 0) {
        const auto* const p = reinterpret_cast<const unsigned char*>(*inbuf);
        // A run of whole characters, up to kRunBytes.
        std::size_t end = 0;
        while (end < *inLeft && end < kRunBytes) {
            const std::size_t length = CharacterLength(cd.codec, p + end, *inLeft - end);
            if (length == 0) {
                break;
            }
            end += length;
        }
        if (end == 0) {
            return Failed(EINVAL); // the end of the input cuts the first character
        }
        const int units = Decode(cd.codec, p, end, run.data());
        const auto bytes = static_cast<std::size_t>(units) * sizeof(wchar_t);
        if (units >= 0 && bytes <= *outLeft) {
            std::memcpy(*outbuf, run.data(), bytes);
            *outbuf += bytes;
            *outLeft -= bytes;
            *inbuf += end;
            *inLeft -= end;
            continue;
        }
        // One character at a time, to stop at the one that cannot be read or has no room.
        for (std::size_t at = 0; at < end;) {
            const std::size_t length = CharacterLength(cd.codec, p + at, end - at);
            const int one = Decode(cd.codec, p + at, length, run.data());
            if (one < 0) {
                return Failed(EILSEQ);
            }
            const auto oneBytes = static_cast<std::size_t>(one) * sizeof(wchar_t);
            if (oneBytes > *outLeft) {
                return Failed(E2BIG);
            }
            std::memcpy(*outbuf, run.data(), oneBytes);
            *outbuf += oneBytes;
            *outLeft -= oneBytes;
            *inbuf += length;
            *inLeft -= length;
            at += length;
        }
    }
    return 0;
}

std::size_t EncodeCall(const MorvaneIconv& cd, char** inbuf, std::size_t* inLeft, char** outbuf,
                       std::size_t* outLeft) {
    std::array<wchar_t, kRunBytes / 2 + 2> units{};
    std::array<unsigned char, 4 * (kRunBytes / 2 + 2)> run{};
    bool skipped = false;
    while (*inLeft >= sizeof(wchar_t)) {
        // The units as they are, in case the input is not aligned for wchar_t.
        const std::size_t available = std::min(*inLeft / sizeof(wchar_t), units.size() - 1);
        std::memcpy(units.data(), *inbuf, available * sizeof(wchar_t));
        std::size_t end = 0;
        bool cut = false;
        while (end < available) {
            const std::size_t length = UnitsOfCharacter(units.data() + end, available - end);
            if (length == 0) {
                cut = *inLeft / sizeof(wchar_t) == available; // else the next run has it
                break;
            }
            if (IsLoneSurrogate(units.data() + end, length)) {
                break;
            }
            end += length;
        }
        if (end == 0 && cut) {
            return Failed(EINVAL);
        }
        const int bytes = end == 0 ? -1 : Encode(cd.codec, units.data(), end, run.data());
        if (bytes >= 0 && static_cast<std::size_t>(bytes) <= *outLeft) {
            std::memcpy(*outbuf, run.data(), static_cast<std::size_t>(bytes));
            *outbuf += bytes;
            *outLeft -= static_cast<std::size_t>(bytes);
            *inbuf += end * sizeof(wchar_t);
            *inLeft -= end * sizeof(wchar_t);
            continue;
        }
        // One character at a time, to stop at the one that cannot be written or has no room;
        // a lone surrogate that ended the run is one too.
        const std::size_t stop = std::max<std::size_t>(end, 1);
        for (std::size_t at = 0; at < stop;) {
            const std::size_t length =
                std::max<std::size_t>(UnitsOfCharacter(units.data() + at, available - at), 1);
            const int one = IsLoneSurrogate(units.data() + at, length)
                                ? -1
                                : Encode(cd.codec, units.data() + at, length, run.data());
            if (one < 0 && !cd.ignoring) {
                return Failed(EILSEQ);
            }
            if (one > 0 && static_cast<std::size_t>(one) > *outLeft) {
                return Failed(E2BIG);
            }
            if (one > 0) {
                std::memcpy(*outbuf, run.data(), static_cast<std::size_t>(one));
                *outbuf += one;
                *outLeft -= static_cast<std::size_t>(one);
            }
            skipped = skipped || one < 0;
            *inbuf += length * sizeof(wchar_t);
            *inLeft -= length * sizeof(wchar_t);
            at += length;
        }
    }
    if (*inLeft != 0) {
        return Failed(EINVAL); // half a unit
    }
    // As iconv does, a call that left characters out under //IGNORE says so at its end.
    return skipped ? Failed(EILSEQ) : 0;
}

bool IsNativeUtf16(const char* name) {
    const std::string upper = Upper(name);
    return upper == "UTF-16LE" || upper.starts_with("UTF-16LE//");
}

} // namespace

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    // One side is the engine's UTF-16; the other is the charset converted from or into.
    const bool decoding = IsNativeUtf16(tocode);
    if (!decoding && !IsNativeUtf16(fromcode)) {
        errno = EINVAL;
        // iconv's own failure value, (iconv_t)-1: no pointer is ever made of it.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
    }
    const char* const charset = decoding ? fromcode : tocode;
    const std::optional<Codec> codec = CodecNamed(charset, decoding);
    if (!codec) {
        // iconv's own failure value, (iconv_t)-1: no pointer is ever made of it.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
    }
    const std::string upper = Upper(charset);
    const std::size_t suffix = upper.find("//");
    return new MorvaneIconv{*codec, decoding,
                            suffix != std::string::npos &&
                                upper.find("IGNORE", suffix) != std::string::npos};
}

std::size_t iconv(iconv_t cd, char** inbuf, std::size_t* inbytesleft, char** outbuf,
                  std::size_t* outbytesleft) {
    // No input: a return to the initial state, or the closing bytes of one; a code page
    // conversion keeps no state between characters.
    if (inbuf == nullptr || *inbuf == nullptr) {
        return 0;
    }
    return cd->decoding ? DecodeCall(*cd, inbuf, inbytesleft, outbuf, outbytesleft)
                        : EncodeCall(*cd, inbuf, inbytesleft, outbuf, outbytesleft);
}

int iconv_close(iconv_t cd) {
    delete cd;
    return 0;
}
