// Fuzzes ConvertGbToUtf: the result must equal the reference model's, hold
// only U+0020..U+00FF apart from CR LF line breaks, and stay the same when
// converted again.

#include "engine/engine.h"
#include "fuzz_check.h"
#include "reference_model.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

/// True when every unit lies in U+0020..U+00FF or is part of a CR LF pair.
bool PageAlphabet(std::u16string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char16_t c = text[k];
        if (c == u'\r' && k + 1 < text.size() && text[k + 1] == u'\n') {
            ++k;
        } else if (c < 0x20 || c > 0xFF) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::u16string input = fuzz::TextFromBytes(data, size);

    const std::u16string page = engine::ConvertGbToUtf(input);
    fuzz::ExpectEqual("ConvertGbToUtf equals the reference model", input, page,
                      reference::ConvertGbToUtf(input));
    fuzz::Expect(PageAlphabet(page), "ConvertGbToUtf writes only U+0020..U+00FF and CR LF", input,
                 page);
    fuzz::ExpectEqual("ConvertGbToUtf is idempotent", input, engine::ConvertGbToUtf(page), page);
    return 0;
}
