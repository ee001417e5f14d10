// Fuzzes one whole page through the driver's pipeline: the first input byte
// picks the mode and whether a charset is named with --from-charset (else the
// page's own mark or declaration decides), the second the charset and the
// size of the pieces the bytes arrive in; the rest is the page. Properties:
// - every refusal and every note is one line that names the page;
// - a result is written in the charset it declares: read back as its own
//   mark or declaration says, it decodes; under a GB label its bytes are
//   valid for the strictest reader of that label (GB2312 as iconv reads it
//   under gb2312), so every reader of the label reads the page.

#include "driver_fuzz.h"

#include "tools/charset_names.h"
#include "tools/decode.h"
#include "tools/driver_error.h"
#include "tools/page.h"
#include "tools/sniff.h"
#include "tools/xml_declaration.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace morvane;

constexpr std::array<tools::Mode, 4> kModes{tools::Mode::GbToUtf, tools::Mode::UtfToGb,
                                            tools::Mode::Encode, tools::Mode::Decode};

/// The strict iconv reader of a GB label's own range.
const char* StrictReader(tools::GbLabel label) {
    switch (label) {
    case tools::GbLabel::Gb2312:
        return "GB2312";
    case tools::GbLabel::Gbk:
        return "GBK";
    case tools::GbLabel::Gb18030:
    case tools::GbLabel::None:
        break;
    }
    return "GB18030";
}

void ExpectDecodes(const tools::Charset& charset, std::string_view result, std::string_view input,
                   const char* what) {
    try {
        const tools::TextDecoder decoder(tools::WithByteOrder(charset, result));
        tools::PageBytes bytes = fuzz::MemoryPage(result, 0);
        (void)decoder.Decode(bytes, "result");
    } catch (const tools::DriverError& error) {
        fuzz::Expect(false, what, input, charset.name + ": " + error.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    tools::PageOptions options;
    options.mode = kModes[data[0] & 3];
    const fuzz::FuzzCharset& named = fuzz::PickCharset(data[1] >> 3);
    if ((data[0] & 4) != 0 && named.reading == tools::ByteReading::AsNamed) {
        options.fromCharset = named.Classified();
    }
    const std::size_t piece = (data[1] & 7) * 3; // 0: all at once

    std::string result;
    const tools::ByteSink sink = [&result](std::string_view bytes) { result.append(bytes); };
    const tools::NoteSink note = [input](const std::string& line) {
        fuzz::Expect(fuzz::IsOneLineAbout(line, "page"), "a note is one line", input, line);
    };
    tools::PageBytes page = fuzz::MemoryPage(input.substr(2), piece);
    try {
        tools::ConvertPage(page, "page", options, sink, note);
    } catch (const tools::DriverError& error) {
        fuzz::Expect(fuzz::IsOneLineAbout(error.what(), "page"), "a refusal is one line", input,
                     error.what());
        return 0;
    }

    // Read back as a reader that knows nothing but the result's bytes would.
    tools::SniffedCharset own;
    try {
        own = tools::SniffCharset(std::string_view(result).substr(0, tools::kSniffBytes), "result");
    } catch (const tools::DriverError& error) {
        fuzz::Expect(false, "the result's declaration fits its bytes", input, error.what());
    }
    ExpectDecodes(own.charset, result, input, "the result decodes in the charset it declares");
    const std::string_view head = std::string_view(result).substr(0, tools::kSniffBytes);
    std::u16string widened;
    for (const char byte : head) {
        widened += static_cast<char16_t>(static_cast<unsigned char>(byte));
    }
    if (const auto declared = tools::FindDeclaredEncoding(widened)) {
        const tools::GbLabel label = tools::ClassifyCharset(declared->name).label;
        if (label != tools::GbLabel::None) {
            ExpectDecodes(tools::ClassifyCharset(StrictReader(label)), result, input,
                          "a GB result is valid for the strictest reader of its label");
        }
    }
    return 0;
}
