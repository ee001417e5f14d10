#pragma once
// The two-byte codes that a page under a GB label may carry as bytes. The
// readers of such a page disagree on a few codes: GB2312 as iconv, Python and
// xmllint read it takes A1A4 for U+30FB where GBK and GB18030, as browsers read
// every GB label, take it for U+00B7. A character is written as a code only
// when every reader of the label reads that code as that character; any other
// becomes a reference. The table is not written by hand: it is built once,
// when first needed, by reading every code of the label's range with each of
// its readers through iconv.

#include "tools/charset_names.h"

#include <cstdint>
#include <memory>

namespace morvane::tools {

class GbTable final {
public:
    /// The table for `label` (not GbLabel::None), built on first use.
    static const GbTable& For(GbLabel label);

    /// The two-byte code (lead byte high) that every reader of the label reads as `c`, or 0.
    std::uint16_t CodeOf(char16_t c) const { return m_codes[c]; }

    GbTable(const GbTable&) = delete;
    GbTable& operator=(const GbTable&) = delete;
    ~GbTable() = default;

private:
    explicit GbTable(GbLabel label);
    std::unique_ptr<std::uint16_t[]> m_codes; ///< one per UTF-16 unit value
};

} // namespace morvane::tools
