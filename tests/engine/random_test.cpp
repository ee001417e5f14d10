// Seeded random texts: the engine agrees with the slow reference model on all
// four functions, and the conversions keep their round-trip and idempotence
// properties. A failure prints the seed and the text.

#include "engine/engine.h"
#include "random_text.h"
#include "reference_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace morvane::engine::test {
namespace {

constexpr std::uint32_t kSeed = 20240611;
constexpr int kTexts = 10000;
constexpr int kMaxPieces = 40;

TEST(RandomTexts, EngineMatchesReferenceModel) {
    RandomText random(kSeed);
    for (int k = 0; k < kTexts; ++k) {
        const std::u16string text = random.next(kMaxPieces);
        ASSERT_EQ(Ascii(text), reference::Ascii(text))
            << "text #" << k << ": " << ::testing::PrintToString(text);
        ASSERT_EQ(UtfToGb(text), reference::UtfToGb(text)) << "text #" << k;
        ASSERT_EQ(ConvertGbToUtf(text), reference::ConvertGbToUtf(text)) << "text #" << k;
        ASSERT_EQ(ConvertUtfToGb(text), reference::ConvertUtfToGb(text)) << "text #" << k;
    }
}

// Encoded texts are full of references, so decoding them exercises the decoder's
// readable paths as much as the raw texts exercise its unreadable ones.
TEST(RandomTexts, DecodersMatchReferenceModelOnEncodedTexts) {
    RandomText random(kSeed + 1);
    for (int k = 0; k < kTexts; ++k) {
        const std::u16string text = ConvertGbToUtf(random.next(kMaxPieces));
        ASSERT_EQ(UtfToGb(text), reference::UtfToGb(text)) << "text #" << k;
        ASSERT_EQ(ConvertUtfToGb(text), reference::ConvertUtfToGb(text)) << "text #" << k;
    }
}

TEST(RandomTexts, EncodingIsIdempotentAndStaysInLatin1) {
    RandomText random(kSeed + 2);
    for (int k = 0; k < kTexts; ++k) {
        const std::u16string text = random.next(kMaxPieces);
        const std::u16string once = Ascii(text);
        ASSERT_TRUE(std::all_of(once.begin(), once.end(),
                                [](char16_t c) { return c >= 0x20 && c <= 0xFF; }))
            << "text #" << k;
        ASSERT_EQ(Ascii(once), once) << "text #" << k;
        const std::u16string page = ConvertGbToUtf(text);
        ASSERT_EQ(ConvertGbToUtf(page), page) << "text #" << k;
    }
}

TEST(RandomTexts, RoundTripGivesBackThePage) {
    RandomText random(kSeed + 3);
    for (int k = 0; k < kTexts; ++k) {
        const RoundTripSample sample = random.nextRoundTrip(kMaxPieces);
        ASSERT_EQ(ConvertUtfToGb(ConvertGbToUtf(sample.text)), sample.expected)
            << "text #" << k << ": " << ::testing::PrintToString(sample.text);
    }
}

} // namespace
} // namespace morvane::engine::test
