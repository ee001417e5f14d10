// The driver fuzz targets' memory pages, charsets and failure reports.

#include "driver_fuzz.h"

#include "tools/sniff.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <vector>

namespace morvane::fuzz {
namespace {

using tools::ByteReading;

// Own codec (UTF-8), UTF-16 and UTF-32 through iconv, the GB family as named and as
// browsers read it, stateless single- and multi-byte iconv charsets, stateful ones
// (ISO-2022, UTF-7), and "//IGNORE", which the decoder handles itself.
constexpr std::array<FuzzCharset, 21> kCharsets{{
    {"UTF-8", ByteReading::AsNamed, true},
    {"UTF-16LE", ByteReading::AsNamed, true},
    {"UTF-16BE", ByteReading::AsNamed, true},
    {"UTF-32LE", ByteReading::AsNamed, true},
    {"UTF-32BE", ByteReading::AsNamed, true},
    {"ISO-8859-1", ByteReading::AsNamed, true},
    {"GB2312", ByteReading::AsNamed, false},
    {"GBK", ByteReading::AsNamed, false},
    {"GB18030", ByteReading::AsNamed, false},
    {"GB18030", ByteReading::AsBrowsers, false},
    {"windows-1252", ByteReading::AsNamed, false},
    {"BIG5", ByteReading::AsNamed, false},
    {"EUC-JP", ByteReading::AsNamed, false},
    {"SHIFT_JIS", ByteReading::AsNamed, false},
    {"EUC-KR", ByteReading::AsNamed, false},
    {"ISO-2022-JP", ByteReading::AsNamed, false},
    {"ISO-2022-CN", ByteReading::AsNamed, false},
    {"UTF-7", ByteReading::AsNamed, false},
    {"KOI8-R", ByteReading::AsNamed, false},
    {"GB18030//IGNORE", ByteReading::AsNamed, false},
    {"UTF-8//IGNORE", ByteReading::AsNamed, false},
}};

/// glibc unloads a charset's module (dlclose) soon after the last conversion with it closes
/// and loads it again on the next open; a conversion each way held open for the whole run
/// keeps the modules loaded, so that an input costs its conversions and not a dlopen. They
/// are held where the leak checker sees them, and closed at exit.
struct HeldModules final {
    HeldModules() {
        for (const char* name :
             {"UTF-16LE",     "UTF-16BE", "UTF-32LE",   "UTF-32BE",  "UTF-16", "UTF-32",
              "UCS-2",        "UCS-4",    "ISO-8859-1", "GB2312",    "GBK",    "GB18030",
              "windows-1252", "BIG5",     "EUC-JP",     "SHIFT_JIS", "EUC-KR", "ISO-2022-JP",
              "ISO-2022-CN",  "UTF-7",    "KOI8-R",     "IBM037"}) {
            handles.push_back(::iconv_open("UTF-16LE", name));
            handles.push_back(::iconv_open(name, "UTF-16LE"));
        }
    }
    HeldModules(const HeldModules&) = delete;
    HeldModules& operator=(const HeldModules&) = delete;
    ~HeldModules() {
        for (const iconv_t handle : handles) {
            if (handle != reinterpret_cast<iconv_t>(-1)) {
                ::iconv_close(handle);
            }
        }
    }
    std::vector<iconv_t> handles;
};

const HeldModules kHeldModules;

} // namespace

tools::Charset FuzzCharset::Classified() const {
    return reading == ByteReading::AsBrowsers ? tools::DeclaredCharset(name)
                                              : tools::ClassifyCharset(name);
}

const FuzzCharset& PickCharset(std::uint8_t choice) {
    return kCharsets[choice % kCharsets.size()];
}

tools::PageBytes MemoryPage(std::string_view bytes, std::size_t piece) {
    std::size_t at = 0;
    auto read = [bytes, piece, at](char* data, std::size_t size) mutable {
        std::size_t part = std::min(size, bytes.size() - at);
        if (piece != 0) {
            part = std::min(part, piece);
        }
        std::copy_n(bytes.data() + at, part, data);
        at += part;
        return part;
    };
    return tools::PageBytes(read, bytes.size(), tools::kSniffBytes);
}

void Expect(bool ok, const char* what, std::string_view input, const std::string& detail) {
    if (ok) {
        return;
    }
    std::fprintf(stderr, "invariant broken: %s\n%s\ninput (%zu bytes):", what, detail.c_str(),
                 input.size());
    for (const char byte : input.substr(0, 512)) {
        std::fprintf(stderr, " %02X", static_cast<unsigned>(static_cast<unsigned char>(byte)));
    }
    std::fputs("\n", stderr);
    std::fflush(stderr);
    std::abort();
}

bool IsOneLineAbout(const std::string& message, const std::string& name) {
    return message.starts_with(name + ":") &&
           std::none_of(message.begin(), message.end(),
                        [](char c) { return c == '\n' || c == '\r'; });
}

} // namespace morvane::fuzz
