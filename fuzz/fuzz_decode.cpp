// Fuzzes the decoders of every charset family the driver reads (its own
// UTF-8 codec, UTF-16/32, the GB family as named and as browsers read it,
// stateless and stateful iconv charsets, //IGNORE). The first input byte picks
// the charset, the second the size of the pieces the bytes arrive in; the rest
// is the page. Properties:
// - a refusal is one line that names the page;
// - the pieces do not matter: the text, or the refusal, is that of the bytes
//   read at once (a character cut by a piece's end is carried over);
// - what decodes encodes back: for the charsets that hold every character
//   they read as exactly one byte sequence, to the same bytes; for the others,
//   to bytes that decode to the same text once the references the encoder
//   wrote for what the charset cannot hold are read back.

#include "driver_fuzz.h"

#include "engine/engine.h"
#include "tools/decode.h"
#include "tools/driver_error.h"
#include "tools/encode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace morvane;

struct Decoded {
    std::optional<std::u16string> text;
    std::string refusal;
};

Decoded DecodeBytes(const tools::TextDecoder& decoder, std::string_view bytes, std::size_t piece) {
    tools::PageBytes page = fuzz::MemoryPage(bytes, piece);
    try {
        return {std::u16string(decoder.Decode(page, "page").View()), {}};
    } catch (const tools::DriverError& error) {
        return {std::nullopt, error.what()};
    }
}

std::string Encoded(const tools::TextEncoder& encoder, std::u16string_view text) {
    std::string bytes;
    encoder.Encode(
        text, [&bytes](std::string_view piece) { bytes.append(piece); }, "page");
    return bytes;
}

std::u16string WithoutNul(std::u16string_view text) {
    std::u16string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result),
                 [](char16_t c) { return c != u'\0'; });
    return result;
}

/// `bytes` without the byte-order mark that the decoder of `charset` drops from the start:
/// only the mark of the charset's own byte order (in UTF-16BE, FF FE is U+FFFE).
std::string_view WithoutMark(std::string_view bytes, const std::string& charset) {
    std::string_view mark;
    if (charset == "UTF-8") {
        mark = "\xEF\xBB\xBF";
    } else if (charset == "UTF-16LE") {
        mark = "\xFF\xFE";
    } else if (charset == "UTF-16BE") {
        mark = "\xFE\xFF";
    } else if (charset == "UTF-32LE") {
        mark = std::string_view("\xFF\xFE\0\0", 4);
    } else if (charset == "UTF-32BE") {
        mark = std::string_view("\0\0\xFE\xFF", 4);
    }
    return !mark.empty() && bytes.starts_with(mark) ? bytes.substr(mark.size()) : bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const fuzz::FuzzCharset& charset = fuzz::PickCharset(data[0]);
    const std::size_t piece = data[1] % 17; // 0: all at once
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view bytes = input.substr(2);

    const tools::TextDecoder decoder(charset.Classified());
    const Decoded whole = DecodeBytes(decoder, bytes, 0);
    const Decoded pieces = DecodeBytes(decoder, bytes, piece);
    fuzz::Expect(whole.text == pieces.text && whole.refusal == pieces.refusal,
                 "pieces decode as the whole", input, charset.name + (": " + pieces.refusal));
    if (!whole.text) {
        fuzz::Expect(fuzz::IsOneLineAbout(whole.refusal, "page"), "a refusal is one line", input,
                     whole.refusal);
        return 0;
    }
    const std::string name = charset.name;
    if (name.find("//") != std::string::npos) {
        return 0; // what was left out is gone: nothing comes back
    }
    const std::u16string text = WithoutNul(*whole.text);
    const tools::TextEncoder encoder(tools::ClassifyCharset(name));
    const std::string again = Encoded(encoder, text);
    if (charset.bytesComeBack && text.size() == whole.text->size() &&
        !text.starts_with(u'\uFEFF')) {
        fuzz::Expect(again == WithoutMark(bytes, name), "the bytes come back", input, name);
    }
    const Decoded reread = DecodeBytes(decoder, again, 0);
    fuzz::Expect(reread.text.has_value(), "what is encoded decodes", input,
                 name + ": " + reread.refusal);
    fuzz::Expect(engine::UtfToGb(*reread.text) == engine::UtfToGb(text),
                 "the text comes back, references read", input, name);
    return 0;
}
