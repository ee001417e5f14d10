#include "tools/sniff.h"

#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/iconv_handle.h"
#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <algorithm>
#include <array>
#include <iterator>

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
bool ReadsDeclarationAsAscii(const std::string& charset, std::u16string_view declaration) {
    if (IsUtf8Name(charset)) {
        return true;
    }
    const IconvHandle reader = IconvHandle::TryOpen(NativeUtf16(), charset);
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
        return {mark->charset, "as its byte-order mark says"};
    }
    // "<?" in UTF-16 without a mark: the declaration tells the rest, in UTF-16 itself.
    if (head.starts_with(std::string_view("<\0?\0", 4))) {
        return {"UTF-16LE", "as its XML declaration says"};
    }
    if (head.starts_with(std::string_view("\0<\0?", 4))) {
        return {"UTF-16BE", "as its XML declaration says"};
    }
    const std::u16string text = WidenHead(head);
    const auto declared = FindDeclaredEncoding(text);
    if (!declared) {
        if (const std::size_t late = LateDeclaration(text); late != std::u16string_view::npos) {
            const TextPlace place = PlaceOf(text, late);
            return {"UTF-8", "as the XML declaration at line " + std::to_string(place.line) +
                                 ", column " + std::to_string(place.column) +
                                 " is not at the start of the page and so names no charset"};
        }
        return {"UTF-8", "as nothing in the page names another charset"};
    }
    const std::string charset = ReaderCharset(declared->name);
    if (IsUtf16Name(declared->name) || IsUtf32Name(declared->name) ||
        !ReadsDeclarationAsAscii(charset, std::u16string_view(text).substr(0, declared->end))) {
        throw DriverError(PlacePrefix(name, text, declared->start) +
                          "the page declares encoding \"" + declared->name +
                          "\" in ASCII bytes, which that encoding does not read as ASCII (and "
                          "no byte-order mark starts the page); name the charset its bytes are "
                          "in with --from-charset");
    }
    const bool gb = ClassifyGbLabel(declared->name) != GbLabel::None;
    return {charset, "as its XML declaration says",
            gb ? ByteReading::AsBrowsers : ByteReading::AsNamed};
}

std::string WithByteOrder(const std::string& charset, std::string_view head) {
    const bool utf16 = IsUtf16Name(charset);
    if (!utf16 && !IsUtf32Name(charset)) {
        return charset;
    }
    const bool little = head.starts_with(utf16 ? std::string_view("\xFF\xFE", 2)
                                               : std::string_view("\xFF\xFE\0\0", 4));
    return std::string(utf16 ? "UTF-16" : "UTF-32") + (little ? "LE" : "BE");
}

} // namespace morvane::tools
