#include "tools/sniff.h"

#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/iconv_handle.h"
#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

namespace morvane::tools {
namespace {

struct ByteOrderMark {
    std::string_view bytes;
    const char* charset;
};

// UTF-32LE before UTF-16LE: its mark starts with the other's.
constexpr std::array<ByteOrderMark, 6> kByteOrderMarks = {{
    {std::string_view("\xFF\xFE\x00\x00", 4), "UTF-32LE"},
    {std::string_view("\x00\x00\xFE\xFF", 4), "UTF-32BE"},
    {"\xEF\xBB\xBF", "UTF-8"},
    {"\xFF\xFE", "UTF-16LE"},
    {"\xFE\xFF", "UTF-16BE"},
    {"\x84\x31\x95\x33", "GB18030"},
}};

const ByteOrderMark* FindByteOrderMark(std::string_view head) {
    for (const ByteOrderMark& mark : kByteOrderMarks) {
        if (head.starts_with(mark.bytes)) {
            return &mark;
        }
    }
    return nullptr;
}

/// The head's bytes one unit each, up to the end of a declaration: enough for the ASCII
/// declaration of any charset that writes ASCII as itself.
std::u16string WidenHead(std::string_view head) {
    std::u16string text;
    for (const char byte : head) {
        text += static_cast<char16_t>(static_cast<unsigned char>(byte));
        if (text.ends_with(u"?>")) {
            break;
        }
    }
    return text;
}

/// True when `charset` reads the bytes of `declaration` (ASCII, one unit per byte) as that
/// same text. A declaration is found by reading the page's first bytes as ASCII, so only an
/// encoding that reads those bytes as themselves can be the one it names; asking iconv,
/// rather than keeping a list of names, covers every alias and every EBCDIC or UCS-2 variant
/// iconv knows. A charset iconv does not know is left to the decoder to refuse.
bool ReadsDeclarationAsAscii(const Charset& charset, std::u16string_view declaration) {
    if (charset.family == CharsetFamily::Utf8) {
        return true;
    }
    const IconvHandle reader = IconvHandle::TryOpen(NativeUtf16(), charset.name);
    if (!reader.IsOpen()) {
        return true;
    }
    // The ASCII characters of the declaration; any other byte in it (a value it should not
    // hold) says nothing of how the charset reads ASCII.
    std::u16string ascii;
    std::copy_if(declaration.begin(), declaration.end(), std::back_inserter(ascii),
                 [](char16_t c) { return c < 0x80; });
    std::string bytes(ascii.begin(), ascii.end());
    std::u16string read(bytes.size() + 4, u'\0');
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(read.data());
    std::size_t outLeft = read.size() * sizeof(char16_t);
    if (::iconv(reader.Get(), &in, &inLeft, &out, &outLeft) == kIconvFailed || inLeft != 0) {
        return false;
    }
    read.resize(read.size() - outLeft / sizeof(char16_t));
    return read == ascii;
}

/// Where a declaration stands after the blanks that start `text`, or npos: a declaration
/// there is not one, since only the very first bytes of a page may declare its encoding.
std::size_t LateDeclaration(std::u16string_view text) {
    const std::size_t at = text.find_first_not_of(u" \t\r\n");
    if (at == 0 || at == std::u16string_view::npos ||
        !FindDeclaredEncoding(text.substr(at)).has_value()) {
        return std::u16string_view::npos;
    }
    return at;
}

} // namespace

SniffedCharset SniffCharset(std::string_view head, const std::string& name) {
    if (const ByteOrderMark* mark = FindByteOrderMark(head)) {
        return {ClassifyCharset(mark->charset), ChosenBy::ByteOrderMark, {}};
    }
    // "<?" in UTF-16 without a mark: the declaration tells the rest, in UTF-16 itself.
    if (head.starts_with(std::string_view("<\0?\0", 4))) {
        return {ClassifyCharset("UTF-16LE"), ChosenBy::Declaration, {}};
    }
    if (head.starts_with(std::string_view("\0<\0?", 4))) {
        return {ClassifyCharset("UTF-16BE"), ChosenBy::Declaration, {}};
    }
    const std::u16string text = WidenHead(head);
    const auto declared = FindDeclaredEncoding(text);
    if (!declared) {
        if (const std::size_t late = LateDeclaration(text); late != std::u16string_view::npos) {
            return {Charset{}, ChosenBy::LateDeclaration, PlaceOf(text, late)};
        }
        return {Charset{}, ChosenBy::Default, {}};
    }
    Charset charset = DeclaredCharset(declared->name);
    // UTF-16 and UTF-32 never read ASCII bytes as ASCII; iconv is asked about every other.
    if (charset.family == CharsetFamily::Utf16 || charset.family == CharsetFamily::Utf32 ||
        !ReadsDeclarationAsAscii(charset, std::u16string_view(text).substr(0, declared->end))) {
        Failure failure;
        failure.kind = FailureKind::ImpossibleDeclaration;
        failure.file = name;
        failure.place = PlaceOf(text, declared->start);
        failure.charset = declared->name;
        throw DriverError(std::move(failure));
    }
    return {std::move(charset), ChosenBy::Declaration, {}};
}

} // namespace morvane::tools
