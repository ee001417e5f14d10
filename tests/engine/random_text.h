#pragma once
// Seeded random texts for the engine's property tests. The texts are built
// from pieces that make the encoder and decoder take their decisions often:
// ampersands, "#", "x", semicolons and digits, references well and badly
// formed, the XML declarations the conversions rewrite, tabs, line breaks,
// CJK characters, surrogates alone and in pairs, U+0000 and the edges of
// U+0020..U+00FF.

#include <cstdint>
#include <random>
#include <string>

namespace morvane::engine::test {

/// A text for the round-trip property and the text the round trip must give.
struct RoundTripSample {
    std::u16string text;
    std::u16string expected;
};

class RandomText final {
public:
    explicit RandomText(std::uint32_t seed)
        : m_random(seed) {}

    /// Any text of up to `maxPieces` pieces.
    std::u16string next(int maxPieces);

    /// A text in the GB2312 form for which ConvertUtfToGb(ConvertGbToUtf(text))
    /// is known exactly: its only references are to CJK characters, CR and LF;
    /// no other "#" appears; tabs and U+0000 stand only where no ampersand
    /// waits for its ";". The expected text is the text with U+0000 removed,
    /// each run of tabs made a blank between two words or removed, its
    /// references decoded, then a bare declaration completed,
    /// the utf-8 declaration turned into gb2312 and "&amp;" into "&".
    RoundTripSample nextRoundTrip(int maxPieces);

private:
    int below(int bound);
    char16_t cjk();

    std::mt19937 m_random;
};

} // namespace morvane::engine::test
