#include "tools/utf8_codec.h"

#include "engine/engine.h"

#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace morvane::tools {
namespace {

bool IsContinuation(unsigned byte) {
    return (byte & 0xC0U) == 0x80U;
}
using engine::IsHighSurrogate;
using engine::IsLowSurrogate;

/// A UTF-8 three-byte form is a character U+0800..U+FFFF that is not a surrogate.
constexpr bool IsThreeByteCharacter(unsigned cp) {
    return cp >= 0x800 && cp <= 0xFFFF && !engine::IsSurrogate(static_cast<char16_t>(cp));
}

// Why the sequence at `at` cannot be decoded: a sequence that is correct as far as the input
// goes but runs past its end is Truncated, anything else Invalid. The second byte has a
// narrower range than [80, BF] where that rules out overlong forms, surrogates and values
// above U+10FFFF.
Utf8Status Classify(const unsigned char* s, std::size_t n, std::size_t at) {
    const unsigned b0 = s[at];
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        low = b0 == 0xE0 ? 0xA0 : 0x80;  // shorter forms of U+0000..U+07FF
        high = b0 == 0xED ? 0x9F : 0xBF; // U+D800..U+DFFF are not characters
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        low = b0 == 0xF0 ? 0x90 : 0x80;  // shorter forms of U+0000..U+FFFF
        high = b0 == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return Utf8Status::Invalid;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k >= n) {
            return Utf8Status::Truncated;
        }
        const unsigned byte = s[at + k];
        if (k == 1 ? (byte < low || byte > high) : !IsContinuation(byte)) {
            return Utf8Status::Invalid;
        }
    }
    // Only reached for a sequence DecodeOther refused, which is never complete and valid.
    return Utf8Status::Invalid;
}

// Decodes a two- or four-byte character, or a three-byte one near the end of the input, at
// `at` into `o`; returns its length in bytes, or 0 when the sequence is faulty.
std::size_t DecodeOther(const unsigned char* s, std::size_t n, std::size_t at, char16_t*& o) {
    const unsigned b0 = s[at];
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (at + 1 < n && IsContinuation(s[at + 1])) {
            *o++ = static_cast<char16_t>(((b0 & 0x1FU) << 6) | (s[at + 1] & 0x3FU));
            return 2;
        }
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (at + 2 < n && IsContinuation(s[at + 1]) && IsContinuation(s[at + 2])) {
            const unsigned cp =
                ((b0 & 0x0FU) << 12) | ((s[at + 1] & 0x3FU) << 6) | (s[at + 2] & 0x3FU);
            if (IsThreeByteCharacter(cp)) {
                *o++ = static_cast<char16_t>(cp);
                return 3;
            }
        }
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (at + 3 < n && IsContinuation(s[at + 1]) && IsContinuation(s[at + 2]) &&
            IsContinuation(s[at + 3])) {
            const std::uint32_t cp = ((b0 & 0x07U) << 18) | ((s[at + 1] & 0x3FU) << 12) |
                                     ((s[at + 2] & 0x3FU) << 6) | (s[at + 3] & 0x3FU);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                *o++ = engine::HighSurrogateOf(cp);
                *o++ = engine::LowSurrogateOf(cp);
                return 4;
            }
        }
    }
    return 0;
}

} // namespace

Utf8DecodeResult DecodeUtf8(std::string_view bytes, char16_t* out) {
    const auto* const s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    char16_t* o = out;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
#endif
    while (i < n) {
#if defined(__SSE2__)
        // Sixteen ASCII bytes at a time: widen them without looking at each one.
        while (i + 16 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            if (_mm_movemask_epi8(block) != 0) {
                break;
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(block, zero));
            i += 16;
            o += 16;
        }
        if (i >= n) {
            break;
        }
#endif
        // Then one character at a time until the next ASCII byte; CJK text stays in this loop.
        do {
            const unsigned b0 = s[i];
            if (b0 < 0x80) {
                *o++ = static_cast<char16_t>(b0);
                ++i;
                break;
            }
            // The common case first: a complete, well-formed three-byte character (all CJK).
            if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < n) {
                const unsigned b1 = s[i + 1];
                const unsigned b2 = s[i + 2];
                const unsigned cp = ((b0 & 0x0FU) << 12) | ((b1 & 0x3FU) << 6) | (b2 & 0x3FU);
                if (IsContinuation(b1) && IsContinuation(b2) && IsThreeByteCharacter(cp)) {
                    *o++ = static_cast<char16_t>(cp);
                    i += 3;
                    continue;
                }
            }
            const std::size_t length = DecodeOther(s, n, i, o);
            if (length == 0) {
                return {Classify(s, n, i), i, static_cast<std::size_t>(o - out)};
            }
            i += length;
        } while (i < n);
    }
    return {Utf8Status::Ok, n, static_cast<std::size_t>(o - out)};
}

namespace {

/// The first lone surrogate of `text`, or with `nul` set the first U+0000 if that comes first.
template <bool Nul> std::size_t FindUnpaired(std::u16string_view text) {
    const char16_t* const t = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
#endif
    while (i < n) {
#if defined(__SSE2__)
        // Skip eight units at a time while none of them is a surrogate at all.
        while (i + 8 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            __m128i hits = _mm_cmpeq_epi16(_mm_and_si128(block, mask), surrogate);
            if constexpr (Nul) {
                hits = _mm_or_si128(hits, _mm_cmpeq_epi16(block, _mm_setzero_si128()));
            }
            if (_mm_movemask_epi8(hits) != 0) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
#endif
        const char16_t unit = t[i];
        if (IsHighSurrogate(unit)) {
            if (i + 1 >= n || !IsLowSurrogate(t[i + 1])) {
                return i;
            }
            i += 2;
        } else if (IsLowSurrogate(unit) || (Nul && unit == 0)) {
            return i;
        } else {
            ++i;
        }
    }
    return std::u16string_view::npos;
}

} // namespace

std::size_t FindLoneSurrogate(std::u16string_view text) {
    return FindUnpaired<false>(text);
}

std::size_t FindLoneSurrogateOrNul(std::u16string_view text) {
    return FindUnpaired<true>(text);
}

std::size_t EncodeUtf8(std::u16string_view text, char* out) {
    const char16_t* const t = text.data();
    const std::size_t n = text.size();
    auto* o = reinterpret_cast<unsigned char*>(out);
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
#endif
    while (i < n) {
#if defined(__SSE2__)
        // Eight ASCII units at a time: narrow them to bytes in one step.
        while (i + 8 <= n) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(block, nonAscii), zero);
            if (_mm_movemask_epi8(ascii) != 0xFFFF) {
                break;
            }
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(block, block));
            i += 8;
            o += 8;
        }
        if (i >= n) {
            break;
        }
#endif
        // Then one unit at a time until the next ASCII unit; CJK text stays in this loop.
        do {
            const unsigned unit = t[i];
            if (unit < 0x80) {
                *o++ = static_cast<unsigned char>(unit);
                ++i;
                break;
            }
            if (unit < 0x800) {
                o[0] = static_cast<unsigned char>(0xC0U | (unit >> 6));
                o[1] = static_cast<unsigned char>(0x80U | (unit & 0x3FU));
                o += 2;
                ++i;
            } else if (IsHighSurrogate(static_cast<char16_t>(unit)) && i + 1 < n &&
                       IsLowSurrogate(t[i + 1])) {
                const std::uint32_t cp =
                    engine::CombineSurrogates(static_cast<char16_t>(unit), t[i + 1]);
                o[0] = static_cast<unsigned char>(0xF0U | (cp >> 18));
                o[1] = static_cast<unsigned char>(0x80U | ((cp >> 12) & 0x3FU));
                o[2] = static_cast<unsigned char>(0x80U | ((cp >> 6) & 0x3FU));
                o[3] = static_cast<unsigned char>(0x80U | (cp & 0x3FU));
                o += 4;
                i += 2;
            } else {
                // Every other unit, CJK included, takes three bytes. A lone surrogate, which
                // the caller has ruled out, is written the same way rather than read past.
                o[0] = static_cast<unsigned char>(0xE0U | (unit >> 12));
                o[1] = static_cast<unsigned char>(0x80U | ((unit >> 6) & 0x3FU));
                o[2] = static_cast<unsigned char>(0x80U | (unit & 0x3FU));
                o += 3;
                ++i;
            }
        } while (i < n);
    }
    return static_cast<std::size_t>(o - reinterpret_cast<unsigned char*>(out));
}

} // namespace morvane::tools
