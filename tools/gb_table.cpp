#include "tools/gb_table.h"

#include "tools/iconv_handle.h"

#include <array>
#include <memory>

namespace morvane::tools {
namespace {

constexpr std::size_t kUnits = 0x10000;

/// The one BMP character that `reader` reads the two bytes `code` as, or 0 when it reads them
/// as anything else or refuses them.
char16_t ReadCode(const IconvHandle& reader, std::uint16_t code) {
    char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    char16_t unit[2] = {};
    char* in = bytes;
    std::size_t inLeft = sizeof bytes;
    char* out = reinterpret_cast<char*>(unit);
    std::size_t outLeft = sizeof unit;
    reader.Reset();
    if (::iconv(reader.Get(), &in, &inLeft, &out, &outLeft) == kIconvFailed || inLeft != 0 ||
        outLeft != sizeof(char16_t)) {
        return 0;
    }
    return unit[0];
}

struct CodeRange {
    unsigned leadFirst, leadLast, trailFirst, trailLast;
};

} // namespace

GbTable::GbTable(GbLabel label)
    : m_codes(std::make_unique<std::uint16_t[]>(kUnits)) {
    // GB2312's own range is rows A1..F7, cells A1..FE; GBK's (which GB18030 keeps as its
    // two-byte part) is leads 81..FE with trails 40..FE but 7F.
    const bool gb2312 = label == GbLabel::Gb2312;
    const IconvHandle own(NativeUtf16(), gb2312 ? "GB2312" : "GBK", gb2312 ? "GB2312" : "GBK");
    const IconvHandle browser(NativeUtf16(), "GB18030", "GB18030");
    const CodeRange range =
        gb2312 ? CodeRange{0xA1, 0xF7, 0xA1, 0xFE} : CodeRange{0x81, 0xFE, 0x40, 0xFE};
    for (unsigned lead = range.leadFirst; lead <= range.leadLast; ++lead) {
        for (unsigned trail = range.trailFirst; trail <= range.trailLast; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const auto code = static_cast<std::uint16_t>((lead << 8) | trail);
            const char16_t c = ReadCode(own, code);
            if (c >= 0x80 && c == ReadCode(browser, code) && m_codes[c] == 0) {
                m_codes[c] = code;
            }
        }
    }
}

const GbTable& GbTable::For(GbLabel label) {
    if (label == GbLabel::Gb2312) {
        static const GbTable gb2312(GbLabel::Gb2312);
        return gb2312;
    }
    // GBK and GB18030 pages meet the same readers for their two-byte codes.
    static const GbTable gbk(GbLabel::Gbk);
    return gbk;
}

} // namespace morvane::tools
