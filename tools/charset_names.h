#pragma once
// What the driver makes of a charset name, whether an option gave it or a
// page declared it: names are compared as XML compares encoding names,
// without regard to case, and the GB family of labels is recognised in all
// the spellings pages and browsers use for it.

#include <string>
#include <string_view>

namespace morvane::tools {

/// The GB labels, each with the readers a page under it meets.
enum class GbLabel {
    None,
    Gb2312,  ///< gb2312, GB_2312-80, csGB2312, euc-cn, ...: the two-byte GB2312 range
    Gbk,     ///< gbk, x-gbk, cp936, ...: the two-byte GBK range
    Gb18030, ///< gb18030: every character
};

bool SameCharsetName(std::string_view a, std::string_view b);

/// Which GB label `name` is, if any.
GbLabel ClassifyGbLabel(std::string_view name);

bool IsUtf8Name(std::string_view name);

/// UTF-16 and UTF-32 without a byte order in the name: a page in them starts with a
/// byte-order mark.
bool IsUtf16Name(std::string_view name);
bool IsUtf32Name(std::string_view name);

/// How a decoder reads the bytes of its charset.
enum class ByteReading {
    AsNamed,    ///< as iconv reads the charset's name
    AsBrowsers, ///< GB18030 as browsers read every GB label a page declares (byte 0x80 is U+20AC)
};

/// The charset that reads a page declared or named `name`: GB18030 for every GB label (a
/// superset of them all, as browsers read them), `name` itself otherwise.
std::string ReaderCharset(std::string_view name);

} // namespace morvane::tools
