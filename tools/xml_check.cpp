#include "tools/xml_check.h"

#include "tools/iconv_handle.h"
#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <iconv.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <new>
#include <optional>
#include <string>

namespace morvane::tools {
namespace {

enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };

ByteOrderMark MarkOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return ByteOrderMark::Utf8;
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return ByteOrderMark::Utf16Le;
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return ByteOrderMark::Utf16Be;
    }
    return ByteOrderMark::None;
}

std::string Lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string HexBytes(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const char byte : bytes.substr(0, 2)) {
        const auto value = static_cast<unsigned char>(byte);
        text += text.empty() ? "0x" : " 0x";
        text += kDigits[value >> 4];
        text += kDigits[value & 0xF];
    }
    return text;
}

/// Where `bytes` stop being valid in `charset`, and why, when iconv knows the charset.
std::optional<XmlProblem> FirstInvalidBytes(std::string_view bytes, const std::string& charset) {
    const IconvHandle cd = IconvHandle::TryOpen(NativeUtf16(), charset);
    if (!cd.IsOpen()) {
        return std::nullopt; // the parser reports an encoding it does not know
    }
    // Room for two UTF-16 units a byte, more than the charsets of pages give.
    std::u16string decoded(2 * bytes.size() + 8, u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(decoded.data());
    std::size_t outLeft = decoded.size() * sizeof(char16_t);
    const bool failed = ::iconv(cd.Get(), &in, &inLeft, &out, &outLeft) == kIconvFailed;
    const int error = errno;
    if (!failed) {
        return std::nullopt;
    }
    decoded.resize(static_cast<std::size_t>(out - reinterpret_cast<char*>(decoded.data())) /
                   sizeof(char16_t));
    const TextPlace place = PlaceOf(decoded, decoded.size());
    const std::string_view rest = bytes.substr(static_cast<std::size_t>(in - bytes.data()));
    return XmlProblem{place.line, place.column,
                      error == EINVAL ? "the page ends inside a character"
                                      : "bytes " + HexBytes(rest) + " are not valid " + charset};
}

/// The entities that the WML 1.1 DTD declares beyond XML's own five. The DTD is never read,
/// so the parser calls them undeclared: an error without a DOCTYPE or with one that names no
/// outside DTD (`<!DOCTYPE wml>`), a warning with WML's public DOCTYPE. A WML gateway knows
/// them whatever the DOCTYPE says, and so does the check.
bool IsWmlEntity(const char* name) {
    return name != nullptr && (std::string_view(name) == "nbsp" || std::string_view(name) == "shy");
}

struct Collected {
    XmlProblem problem;
    bool aboutEncoding; ///< the parser's own words for bytes its decoder refused
};

struct Collector {
    std::vector<Collected> errors;
    std::size_t notShown = 0;
};

void CollectError(void* context, xmlErrorPtr error) {
    if (error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    if ((error->code == XML_WAR_UNDECLARED_ENTITY || error->code == XML_ERR_UNDECLARED_ENTITY) &&
        IsWmlEntity(error->str1)) {
        return;
    }
    auto& collector = *static_cast<Collector*>(context);
    if (collector.errors.size() >= kMaxXmlProblems) {
        ++collector.notShown;
        return;
    }
    std::string message = error->message != nullptr ? error->message : "error";
    // Multi-line messages ("...indicate encoding !\nBytes: 0xD6 ...") become one line.
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    std::replace(message.begin(), message.end(), '\n', ' ');
    const bool aboutEncoding = error->domain == XML_FROM_I18N ||
                               (error->domain == XML_FROM_IO && error->code == XML_IO_ENCODER) ||
                               message.starts_with("Input is not proper UTF-8");
    collector.errors.push_back(
        {XmlProblem{static_cast<std::size_t>(std::max(error->line, 1)),
                    static_cast<std::size_t>(std::max(error->int2, 1)), std::move(message)},
         aboutEncoding});
}

/// Nothing outside the page is ever read: not a DTD, not an external entity.
xmlParserInputPtr RefuseExternal(const char* /*url*/, const char* /*id*/,
                                 xmlParserCtxtPtr /*context*/) {
    return nullptr;
}

/// The encoding name the page's XML declaration gives, read from the bytes as written (a
/// UTF-16 page through its byte-order mark), or empty when it has none.
std::string EncodingNameInDeclaration(std::string_view bytes) {
    // The declaration is ASCII: of a UTF-16 page, one byte of each unit holds it.
    const ByteOrderMark mark = MarkOf(bytes);
    const bool utf16 = mark == ByteOrderMark::Utf16Le || mark == ByteOrderMark::Utf16Be;
    const std::size_t from = mark == ByteOrderMark::None ? 0 : (utf16 ? 2 : 3);
    const std::size_t step = utf16 ? 2 : 1;
    const std::size_t low = mark == ByteOrderMark::Utf16Be ? 1 : 0;
    std::u16string text;
    for (std::size_t i = from; i + low < bytes.size() && text.size() < 512; i += step) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i + low]));
    }
    const auto declared = FindDeclaredEncoding(text);
    return declared ? declared->name : std::string();
}

} // namespace

XmlCheckResult CheckXml(std::string_view bytes) {
    XmlCheckResult result;
    const std::string declared = EncodingNameInDeclaration(bytes);
    const std::string label = Lower(declared);
    const ByteOrderMark mark = MarkOf(bytes);
    const bool markIsUtf16 = mark == ByteOrderMark::Utf16Le || mark == ByteOrderMark::Utf16Be;
    const bool labelIsUtf16 = label.starts_with("utf-16") || label.starts_with("utf16");
    if (!declared.empty() && mark != ByteOrderMark::None &&
        (markIsUtf16 != labelIsUtf16 || (mark == ByteOrderMark::Utf8 && label != "utf-8"))) {
        result.problems.push_back({1, 1,
                                   "the declaration says encoding=\"" + declared +
                                       "\", but the byte-order mark says " +
                                       (markIsUtf16 ? "UTF-16" : "UTF-8")});
    } else if (!markIsUtf16) {
        // Without a declaration, XML reads the page as UTF-8.
        if (auto problem = FirstInvalidBytes(bytes, declared.empty() ? "UTF-8" : declared)) {
            problem->message =
                (declared.empty() ? "no encoding is declared, so the page reads as UTF-8, but "
                                  : "the declaration says encoding=\"" + declared + "\", but ") +
                problem->message;
            result.problems.push_back(std::move(*problem));
        }
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        result.problems.push_back({1, 1, "too large for the XML parser to check (over 2 GiB)"});
        return result;
    }
    Collector collector;
    xmlInitParser();
    const xmlExternalEntityLoader previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(RefuseExternal);
    xmlSetStructuredErrorFunc(&collector, CollectError);
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) {
        xmlSetStructuredErrorFunc(nullptr, nullptr);
        xmlSetExternalEntityLoader(previousLoader);
        throw std::bad_alloc();
    }
    // RECOVER goes on after the first error, so that every error is reported at once.
    const xmlDocPtr document = xmlCtxtReadMemory(
        context, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_RECOVER);
    xmlFreeDoc(document);
    xmlFreeParserCtxt(context);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlSetExternalEntityLoader(previousLoader);

    // Bytes that contradict the declaration are reported once, in this program's words; the
    // parser read no further than them, so what it says from there on is not about the page.
    const std::optional<XmlProblem> contradiction =
        result.problems.empty() ? std::nullopt : std::optional(result.problems.front());
    for (Collected& error : collector.errors) {
        const XmlProblem& problem = error.problem;
        if (contradiction &&
            (error.aboutEncoding || problem.line > contradiction->line ||
             (problem.line == contradiction->line && problem.column >= contradiction->column))) {
            continue;
        }
        if (result.problems.size() < kMaxXmlProblems) {
            result.problems.push_back(std::move(error.problem));
        } else {
            ++result.notShown;
        }
    }
    result.notShown += collector.notShown;
    std::stable_sort(result.problems.begin(), result.problems.end(),
                     [](const XmlProblem& a, const XmlProblem& b) {
                         return a.line != b.line ? a.line < b.line : a.column < b.column;
                     });
    return result;
}

std::string_view XmlCheckRefusal() {
    return {};
}

} // namespace morvane::tools
