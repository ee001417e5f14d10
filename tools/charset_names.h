#pragma once
// What the driver makes of a charset name, whether an option gave it or a
// page declared it: the name is classified once into a Charset that every
// stage reads (the decoder and encoder pick their codec from its family, the
// messages show its name). Names are compared as XML compares encoding
// names, without regard to case, and the GB family of labels is recognised in
// all the spellings pages and browsers use for it.

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane::tools {

/// The GB labels, each with the readers a page under it meets.
enum class GbLabel : std::uint8_t {
    None,
    Gb2312,  ///< gb2312, GB_2312-80, csGB2312, euc-cn, ...: the two-byte GB2312 range
    Gbk,     ///< gbk, x-gbk, cp936, ...: the two-byte GBK range
    Gb18030, ///< gb18030: every character
};

/// How the driver reads and writes a charset.
enum class CharsetFamily : std::uint8_t {
    Utf8,  ///< UTF-8 itself: the driver's own codec
    Utf16, ///< UTF-16: iconv, a lone surrogate named as such
    Utf32, ///< UTF-32: iconv
    Gb,    ///< a GB label (Charset::label): iconv to read, the agreed codes to write
    Other, ///< any other name, and any name with an iconv suffix ("//IGNORE"): iconv as named
};

/// The byte order of a UTF-16 or UTF-32 charset.
enum class ByteOrder : std::uint8_t {
    Unstated, ///< not in the name: a byte-order mark says it, else big-endian
    Little,
    Big,
};

/// How a decoder reads the bytes of its charset.
enum class ByteReading : std::uint8_t {
    AsNamed,    ///< as iconv reads the charset's name
    AsBrowsers, ///< GB18030 as browsers read every GB label a page declares (byte 0x80 is U+20AC)
};

/// A charset as every stage of the pipeline sees it.
struct Charset {
    /// The name iconv opens and messages show: as given, but GB18030 for a GB label a page
    /// declares, and UTF-16 or UTF-32 with the byte order a byte-order mark gave it.
    std::string name = "UTF-8";
    CharsetFamily family = CharsetFamily::Utf8;
    GbLabel label = GbLabel::None; ///< for CharsetFamily::Gb
    ByteOrder order = ByteOrder::Unstated;
    ByteReading reading = ByteReading::AsNamed;
    /// The name ends "//IGNORE": what iconv cannot convert is left out, not refused.
    bool ignoresFaults = false;

    /// True when bytes written in this charset read right for a reader of `declared`.
    bool ReadsAs(const Charset& declared) const;
};

bool SameCharsetName(std::string_view a, std::string_view b);

/// `name` as iconv reads it (a --from-charset or --to-charset, or the name a declaration
/// gives the result).
Charset ClassifyCharset(std::string_view name);

/// The charset that reads a page declared `name`: GB18030 as browsers read it for every GB
/// label (a superset of them all), else `name` as iconv reads it.
Charset DeclaredCharset(std::string_view name);

/// `charset` with its byte order spelled out when it is UTF-16 or UTF-32 without one: from the
/// byte-order mark `head` starts with, else big-endian as those names mean without one.
Charset WithByteOrder(Charset charset, std::string_view head);

} // namespace morvane::tools
