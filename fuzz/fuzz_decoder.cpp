// Fuzzes the character-reference decoder UtfToGb: the result must equal the
// reference model's and never be longer than the input (every reference is
// at least five units and stands for at most two).

#include "engine/engine.h"
#include "fuzz_check.h"
#include "reference_model.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvane;
    const std::u16string input = fuzz::TextFromBytes(data, size);

    const std::u16string decoded = engine::UtfToGb(input);
    fuzz::ExpectEqual("UtfToGb equals the reference model", input, decoded,
                      reference::UtfToGb(input));
    fuzz::Expect(decoded.size() <= input.size(), "UtfToGb never lengthens a text", input, decoded);
    return 0;
}
