// Fuzzes the charset sniffing of a page's first bytes. Whatever they hold,
// SniffCharset answers or refuses in one line naming the page; a charset that
// a declaration named reads that declaration's own bytes back as the same
// text (a declaration is found by reading the bytes as ASCII, so any other
// answer would read the page in an encoding its declaration could not be in);
// and a byte-order mark always wins over a declaration.

#include "driver_fuzz.h"

#include "tools/decode.h"
#include "tools/driver_error.h"
#include "tools/sniff.h"
#include "tools/xml_declaration.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using namespace morvane;

std::u16string Widened(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) {
        text += static_cast<char16_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

bool StartsWithMark(std::string_view head) {
    for (const std::string_view mark :
         {std::string_view("\xEF\xBB\xBF"), std::string_view("\xFF\xFE"),
          std::string_view("\xFE\xFF"), std::string_view("\0\0\xFE\xFF", 4),
          std::string_view("\x84\x31\x95\x33"), std::string_view("<\0?\0", 4),
          std::string_view("\0<\0?", 4)}) {
        if (head.starts_with(mark)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view head(reinterpret_cast<const char*>(data),
                                std::min(size, tools::kSniffBytes));
    tools::SniffedCharset sniffed;
    try {
        sniffed = tools::SniffCharset(head, "page");
    } catch (const tools::DriverError& error) {
        fuzz::Expect(fuzz::IsOneLineAbout(error.what(), "page"), "a refusal is one line", head,
                     error.what());
        fuzz::Expect(!StartsWithMark(head), "a page with a byte-order mark is never refused", head,
                     error.what());
        return 0;
    }
    fuzz::Expect(!sniffed.charset.name.empty(), "a charset is always chosen", head);
    const auto declared = tools::FindDeclaredEncoding(Widened(head));
    if (StartsWithMark(head) || !declared) {
        return 0;
    }
    // The declaration's ASCII characters, read with the very decoder the page will be read with, is
    // itself.
    std::string declaration;
    std::copy_if(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(declared->end),
                 std::back_inserter(declaration),
                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    try {
        const tools::TextDecoder decoder(sniffed.charset);
        tools::PageBytes bytes = fuzz::MemoryPage(declaration, 0);
        const tools::Buffer<char16_t> text = decoder.Decode(bytes, "page");
        fuzz::Expect(text.View() == Widened(declaration),
                     "the declared charset reads the declaration as itself", head,
                     sniffed.charset.name);
    } catch (const tools::DriverError& error) {
        // A charset iconv does not know is refused by the pipeline with its own message.
        fuzz::Expect(error.What().kind == tools::FailureKind::UnknownCharset,
                     "the declared charset reads the declaration", head, error.what());
    }
    return 0;
}
