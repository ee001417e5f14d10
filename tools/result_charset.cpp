#include "tools/result_charset.h"

#include "tools/charset_names.h"
#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <algorithm>

namespace morvane::tools {
namespace {

/// Whether bytes written in `written` are read right by a reader of the label `declared`.
bool SameEncoding(const std::string& written, const std::string& declared) {
    if (SameCharsetName(written, declared) || (IsUtf8Name(written) && IsUtf8Name(declared))) {
        return true;
    }
    const GbLabel label = ClassifyGbLabel(written);
    return label != GbLabel::None && label == ClassifyGbLabel(declared);
}

} // namespace

std::string ChooseResultCharset(std::u16string_view result, Mode mode, const std::string& toCharset,
                                const std::string& name,
                                const std::function<void(const std::string&)>& note) {
    const auto declared = FindDeclaredEncoding(result);
    const std::string at =
        declared ? PlacePrefix(name, result, declared->start) : PlacePrefix(name, result, 0);
    if (declared) {
        // As written, but with each blank a space: a line break inside the declaration would
        // otherwise break the note's line.
        std::string written(result.begin() + static_cast<std::ptrdiff_t>(declared->start),
                            result.begin() + static_cast<std::ptrdiff_t>(declared->end));
        std::replace_if(
            written.begin(), written.end(),
            [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
        if (mode == Mode::GbToUtf && ClassifyGbLabel(declared->name) != GbLabel::None) {
            note(at + "note: the declaration " + written +
                 " is left as it is (only encoding=\"gb2312\" is rewritten to utf-8)");
        } else if (mode == Mode::UtfToGb && IsUtf8Name(declared->name)) {
            note(at + "note: the declaration " + written +
                 " is left as it is (only encoding=\"utf-8\" is rewritten to gb2312)");
        }
    } else if (mode == Mode::UtfToGb && StartsWithDeclaration(result)) {
        note(at + "note: the XML declaration is left without an encoding (only <?xml "
                  "version=\"1.0\"?> is completed with encoding=\"gb2312\")");
    }

    std::string own = declared ? declared->name : "UTF-8";
    if (toCharset.empty()) {
        return own;
    }
    // Without a declaration the encoder and decoder alone may be working on any text, not a
    // page; only a page is read by its declaration.
    const bool page = declared || mode == Mode::GbToUtf || mode == Mode::UtfToGb;
    if (page && !SameEncoding(toCharset, own)) {
        note(at + "note: the result is written in " + toCharset + " (--to-charset), but " +
             (declared ? "its declaration names " + declared->name
                       : std::string("it declares no encoding, so it reads as UTF-8")));
    }
    return toCharset;
}

} // namespace morvane::tools
