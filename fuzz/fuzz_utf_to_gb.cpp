// Fuzzes ConvertUtfToGb: the result must equal the reference model's, and a
// page taken to the UTF-8 form by ConvertGbToUtf must come back unchanged.

#include "engine/engine.h"
#include "fuzz_check.h"
#include "reference_model.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

/// The input without the units the GB2312-to-UTF-8 direction rightly changes
/// for good: "&" (escaped to "&amp;", which a decoded page keeps as "&" only
/// when it was one), tabs (removed, or made a blank between words), U+0000 (dropped) and "=" (so
/// that no encoding declaration is rewritten). What is left must survive the round trip.
std::u16string RoundTripText(std::u16string_view text) {
    std::u16string kept;
    kept.reserve(text.size());
    for (const char16_t c : text) {
        if (c != u'&' && c != u'\t' && c != u'\0' && c != u'=') {
            kept += c;
        }
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::u16string input = fuzz::TextFromBytes(data, size);

    fuzz::ExpectEqual("ConvertUtfToGb equals the reference model", input,
                      engine::ConvertUtfToGb(input), reference::ConvertUtfToGb(input));

    const std::u16string page = RoundTripText(input);
    fuzz::ExpectEqual("ConvertUtfToGb(ConvertGbToUtf(page)) gives the page back", page,
                      engine::ConvertUtfToGb(engine::ConvertGbToUtf(page)), page);
    return 0;
}
