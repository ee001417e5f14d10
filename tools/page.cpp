// One page through the pipeline: input, sniff, decode, lines + engine, encode.
// Each step is its own file; this one only passes each step's result to the
// next and says where a failure stands.

#include "tools/page.h"

#include "engine/engine.h"
#include "tools/decode.h"
#include "tools/driver_error.h"
#include "tools/encode.h"
#include "tools/engine_step.h"
#include "tools/page_bytes.h"
#include "tools/result_charset.h"
#include "tools/sniff.h"
#include "tools/xml_declaration.h"

#include <algorithm>
#include <array>
#include <new>
#include <optional>
#include <string_view>
#include <utility>

namespace morvane::tools {
namespace {

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

/// A failure of the page `name` that concerns `charset` alone.
[[noreturn]] void ThrowAbout(FailureKind kind, const std::string& name,
                             const std::string& charset) {
    Failure failure;
    failure.kind = kind;
    failure.file = name;
    failure.charset = charset;
    throw DriverError(std::move(failure));
}

/// True when a reader of the bytes `encoder` writes for `result` finds the encoding that the
/// declaration `declared` (found at the start of `result`) names: its byte-order mark or its
/// declaration read as ASCII must lead back to it. Only then is a result written in the
/// encoding its declaration names a page that can be read. The written start of the page is
/// sniffed and decoded again on purpose: this is the reader's view of the bytes, not the
/// writer's, so it cannot reuse what the writer found.
bool DeclarationReadable(const TextEncoder& encoder, std::u16string_view result,
                         const std::optional<DeclaredEncoding>& declared, const std::string& name) {
    if (!declared || encoder.NeverFails()) {
        return true;
    }
    std::string bytes;
    try {
        encoder.Encode(
            result.substr(0, declared->end),
            [&bytes](std::string_view piece) { bytes.append(piece); }, name);
        const SniffedCharset sniffed = SniffCharset(bytes, name);
        std::size_t served = 0;
        PageBytes page(
            [&bytes, &served](char* data, std::size_t size) {
                const std::size_t part = std::min(size, bytes.size() - served);
                std::copy_n(bytes.data() + served, part, data);
                served += part;
                return part;
            },
            bytes.size(), kSniffBytes);
        const Buffer<char16_t> read = TextDecoder(sniffed.charset).Decode(page, name);
        const auto found = FindDeclaredEncoding(read.View());
        return found && found->name == declared->name;
    } catch (const DriverError&) {
        return false;
    }
}

/// The encoder for the charset `chosen` for the result, whose start is `result`.
TextEncoder OutputEncoder(const ResultCharset& chosen, std::u16string_view result,
                          const std::string& name) {
    std::optional<TextEncoder> encoder;
    try {
        encoder.emplace(chosen.charset);
    } catch (const DriverError&) {
        if (chosen.fromOption) {
            throw;
        }
        ThrowAbout(FailureKind::UnwritableDeclared, name, chosen.charset.name);
    }
    if (!chosen.fromOption && !DeclarationReadable(*encoder, result, chosen.declared, name)) {
        ThrowAbout(FailureKind::UnfindableDeclared, name, chosen.charset.name);
    }
    return std::move(*encoder);
}

/// The text of the page, decoded as --from-charset says or as the page itself says.
Buffer<char16_t> ReadPage(PageBytes& bytes, const std::string& name, const PageOptions& options) {
    if (options.fromCharset) {
        return TextDecoder(WithByteOrder(*options.fromCharset, bytes.Head()))
            .Decode(bytes, name, ChosenBy::Option);
    }
    const SniffedCharset sniffed = SniffCharset(bytes.Head(), name);
    std::optional<TextDecoder> decoder;
    try {
        decoder.emplace(sniffed.charset);
    } catch (const DriverError&) {
        ThrowAbout(FailureKind::UnreadableDeclared, name, sniffed.charset.name);
    }
    return decoder->Decode(bytes, name, sniffed.chosenBy, sniffed.late);
}

/// The encoder alone, into a charset in which nothing can fail, a stretch at a time: the
/// result never has to be held whole, which for a page of Chinese text is four times the input.
void EncodeInStretches(std::u16string_view text, const TextEncoder& encoder,
                       const std::u16string& first, std::size_t firstEnd, const ByteSink& sink,
                       const std::string& name) {
    encoder.Encode(first, sink, name, true);
    for (std::size_t from = firstEnd; from < text.size();) {
        const std::size_t end = EncodeStretchEnd(text, from);
        const std::u16string result = engine::Ascii(text.substr(from, end - from));
        encoder.Encode(result, sink, name, false);
        from = end;
    }
}

void Convert(PageBytes& bytes, const std::string& name, const PageOptions& options,
             const ByteSink& sink, const NoteSink& note) {
    Buffer<char16_t> text = ReadPage(bytes, name, options);

    if (options.mode == Mode::Encode) {
        // The encoder alone keeps a declaration as it is, so the result's start tells its
        // charset before the rest is encoded.
        const std::size_t firstEnd = EncodeStretchEnd(text.View(), 0);
        const std::u16string first = engine::Ascii(text.View().substr(0, firstEnd));
        const TextEncoder encoder = OutputEncoder(
            ChooseResultCharset(first, options.mode, options.toCharset, name, note), first, name);
        if (encoder.NeverFails()) {
            EncodeInStretches(text.View(), encoder, first, firstEnd, sink, name);
            return;
        }
        // An encoder that may fail takes the whole result before it writes a byte; the first
        // stretch is already converted, and the rest joins it as the second piece.
        const std::u16string rest = engine::Ascii(text.View().substr(firstEnd));
        text = Buffer<char16_t>();
        const std::array<std::u16string_view, 2> pieces{first, rest};
        encoder.Encode(pieces, sink, name);
        return;
    }
    const std::u16string result = ApplyEngine(options.mode, text.View());
    // The input text is released as soon as the engine's result exists, which keeps the peak
    // memory to the engine's own need plus the input text.
    text = Buffer<char16_t>();
    OutputEncoder(ChooseResultCharset(result, options.mode, options.toCharset, name, note), result,
                  name)
        .Encode(result, sink, name);
}

} // namespace

void CheckPageOptions(const PageOptions& options) {
    if (options.fromCharset) {
        (void)TextDecoder(*options.fromCharset);
    }
    if (options.toCharset) {
        (void)TextEncoder(*options.toCharset);
    }
}

void ConvertPage(InputFile& input, const std::string& name, const PageOptions& options,
                 const ByteSink& sink, const NoteSink& note) {
    PageBytes bytes(input, kSniffBytes);
    ConvertPage(bytes, name, options, sink, note);
}

void ConvertPage(PageBytes& bytes, const std::string& name, const PageOptions& options,
                 const ByteSink& sink, const NoteSink& note) {
    bool written = false;
    const ByteSink counted = [&](std::string_view bytes) {
        written = written || !bytes.empty();
        sink(bytes);
    };
    try {
        Convert(bytes, name, options, counted, note);
    } catch (const std::bad_alloc&) {
        if (!written) {
            throw;
        }
        Failure failure;
        failure.kind = FailureKind::OutOfMemoryPartWritten;
        failure.file = name;
        throw DriverError(std::move(failure));
    }
}

} // namespace morvane::tools
