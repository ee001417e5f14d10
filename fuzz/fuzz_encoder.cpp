// Fuzzes the character-reference encoder Ascii: the result must equal the
// reference model's, hold only U+0020..U+00FF, stay the same when encoded
// again, and give the input back (without U+0000) through the decoder.

#include "engine/engine.h"
#include "fuzz_check.h"
#include "reference_model.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

/// The input with every "&" written as the reference "&#x26;": the encoder
/// keeps such a reference and the decoder turns it back into "&", so the
/// round trip holds for texts with ampersands too. (A bare "&" is escaped as
/// "&amp;", which the decoder rightly leaves alone.)
std::u16string AmpersandsAsReferences(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c == u'&') {
            out += u"&#x26;";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::u16string input = fuzz::TextFromBytes(data, size);

    const std::u16string encoded = engine::Ascii(input);
    fuzz::ExpectEqual("Ascii equals the reference model", input, encoded, reference::Ascii(input));
    fuzz::Expect(fuzz::OnlyLatin1Printable(encoded), "Ascii writes only U+0020..U+00FF", input,
                 encoded);
    fuzz::ExpectEqual("Ascii is idempotent", input, engine::Ascii(encoded), encoded);

    const std::u16string protectedInput = AmpersandsAsReferences(input);
    fuzz::ExpectEqual("UtfToGb(Ascii(text)) gives the text back without U+0000", protectedInput,
                      engine::UtfToGb(engine::Ascii(protectedInput)), fuzz::WithoutNul(input));
    return 0;
}
