#include "tools/result_charset.h"

#include "tools/text_place.h"
#include "tools/xml_declaration.h"

#include <algorithm>

namespace morvane::tools {

ResultCharset ChooseResultCharset(std::u16string_view result, Mode mode,
                                  const std::optional<Charset>& toCharset, const std::string& name,
                                  const std::function<void(const std::string&)>& note) {
    ResultCharset chosen;
    chosen.declared = FindDeclaredEncoding(result);
    const auto& declared = chosen.declared;
    const std::string at =
        declared ? PlacePrefix(name, result, declared->start) : PlacePrefix(name, result, 0);
    const Charset own = declared ? ClassifyCharset(declared->name) : Charset{};
    if (declared) {
        // As written, but with each blank a space: a line break inside the declaration would
        // otherwise break the note's line.
        std::string written(result.begin() + static_cast<std::ptrdiff_t>(declared->start),
                            result.begin() + static_cast<std::ptrdiff_t>(declared->end));
        std::replace_if(
            written.begin(), written.end(),
            [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
        if (mode == Mode::GbToUtf && own.family == CharsetFamily::Gb) {
            note(at + "note: the declaration " + written +
                 " is left as it is (only encoding=\"gb2312\" is rewritten to utf-8)");
        } else if (mode == Mode::UtfToGb && own.family == CharsetFamily::Utf8) {
            note(at + "note: the declaration " + written +
                 " is left as it is (only encoding=\"utf-8\" is rewritten to gb2312)");
        }
    } else if (mode == Mode::UtfToGb && StartsWithDeclaration(result)) {
        note(at + "note: the XML declaration is left without an encoding (only <?xml "
                  "version=\"1.0\"?> is completed with encoding=\"gb2312\")");
    }

    if (!toCharset) {
        chosen.charset = own;
        return chosen;
    }
    chosen.charset = *toCharset;
    chosen.fromOption = true;
    // Without a declaration the encoder and decoder alone may be working on any text, not a
    // page; only a page is read by its declaration.
    const bool page = declared || mode == Mode::GbToUtf || mode == Mode::UtfToGb;
    if (page && !toCharset->ReadsAs(own)) {
        note(at + "note: the result is written in " + toCharset->name + " (--to-charset), but " +
             (declared ? "its declaration names " + declared->name
                       : std::string("it declares no encoding, so it reads as UTF-8")));
    }
    return chosen;
}

} // namespace morvane::tools
