#include "tools/page.h"

#include "engine/engine.h"
#include "tools/charset.h"
#include "tools/driver_error.h"
#include "tools/file_io.h"

#include <string_view>

namespace morvane::tools {
namespace {

std::u16string Apply(Mode mode, std::u16string_view text) {
    namespace engine = morvane::engine;
    switch (mode) {
    case Mode::GbToUtf:
        return engine::ConvertGbToUtf(text);
    case Mode::UtfToGb:
        return engine::ConvertUtfToGb(text);
    case Mode::Encode:
        return engine::Ascii(text);
    case Mode::Decode:
        return engine::UtfToGb(text);
    }
    return {};
}

/// Units of input the encoder takes at a time when its result is written as it comes.
constexpr std::size_t kEncodeStretch = std::size_t{1} << 16;

/// Where the stretch of `text` that starts at `from` ends: about kEncodeStretch
/// units on, just after a ";", or at the end. The encoder's result for a text
/// cut just after a ";" is its results for the two parts one after the other:
/// each ampersand is decided by the text up to the first ";" after it, which
/// for every ampersand before the cut lies before the cut too.
std::size_t EncodeStretchEnd(std::u16string_view text, std::size_t from) {
    const std::size_t target = from + kEncodeStretch;
    if (target >= text.size()) {
        return text.size();
    }
    const std::size_t before = text.rfind(u';', target - 1);
    if (before != std::u16string_view::npos && before >= from + kEncodeStretch / 2) {
        return before + 1;
    }
    const std::size_t after = text.find(u';', target);
    return after == std::u16string_view::npos ? text.size() : after + 1;
}

/// The encoder into a charset that holds all of its result (U+0020..U+00FF),
/// a stretch at a time: nothing can fail after the first byte is written, and
/// the result never has to be held whole, which for a page of Chinese text is
/// four times the input.
void EncodeInStretches(std::u16string_view text, const TextEncoder& encoder, const ByteSink& sink) {
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = EncodeStretchEnd(text, from);
        const std::u16string result = morvane::engine::Ascii(text.substr(from, end - from));
        encoder.Encode(result, sink);
        from = end;
    }
}

} // namespace

void CheckPageOptions(const PageOptions& options) {
    if (!options.fromCharset.empty()) {
        (void)TextDecoder(options.fromCharset);
    }
    if (!options.toCharset.empty()) {
        (void)TextEncoder(options.toCharset);
    }
}

void ConvertPage(InputFile& input, const std::string& /*name*/, const PageOptions& options,
                 const ByteSink& sink, const NoteSink& /*note*/) {
    const TextDecoder decoder(options.fromCharset.empty() ? "UTF-8" : options.fromCharset);
    const TextEncoder encoder(options.toCharset.empty() ? "UTF-8" : options.toCharset);

    // The input text is released as soon as the engine's result exists, which keeps the peak
    // memory to the engine's own need plus the input text.
    Buffer<char16_t> text = decoder.Decode(input);
    if (options.mode == Mode::Encode && encoder.HoldsAllButSurrogates()) {
        EncodeInStretches(text.View(), encoder, sink);
        return;
    }
    std::u16string result = Apply(options.mode, text.View());
    text = Buffer<char16_t>();
    encoder.Encode(result, sink);
}

} // namespace morvane::tools
