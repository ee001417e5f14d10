#include "tools/sniff.h"

#include "tools/charset_names.h"
#include "tools/driver_error.h"
#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <array>

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
        return {"UTF-8", "as nothing in the page names another charset"};
    }
    if (IsUtf16Name(declared->name) || IsUtf32Name(declared->name)) {
        throw DriverError(PlacePrefix(name, text, declared->start) +
                          "the page declares encoding \"" + declared->name +
                          "\" but starts with no byte-order mark of it; name " +
                          "the charset its bytes are in with --from-charset");
    }
    return {ReaderCharset(declared->name), "as its XML declaration says"};
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
