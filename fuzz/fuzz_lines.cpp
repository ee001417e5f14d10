// Fuzzes the line-break step around the page conversions. The input is
// UTF-16LE text; its first unit picks the conversion. Properties:
// - the result is each line converted on its own, joined by the file's own
//   breaks (LF, CR LF or a lone CR, each as found): the conversions decide
//   nothing across a line break, which is what lets the step restore the
//   breaks by counting them;
// - a text without "&" (so without references that could become breaks)
//   keeps its breaks, in number and kind.

#include "fuzz_check.h"

#include "engine/engine.h"
#include "tools/lines.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace morvane;

/// The line breaks of `text` in order, each as it is written.
std::u16string Breaks(std::u16string_view text) {
    std::u16string breaks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            breaks += text[i];
        }
    }
    return breaks;
}

/// Each line of `text` converted alone, the breaks written between them as found.
std::u16string LineByLine(std::u16string_view text, const tools::PageConversion& convert) {
    std::u16string result;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            continue;
        }
        result += convert(text.substr(start, i - start));
        const bool pair = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        result += text.substr(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
        start = i + 1;
    }
    return result + convert(text.substr(start));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string input = fuzz::TextFromBytes(data, size);
    if (input.empty()) {
        return 0;
    }
    const bool gbToUtf = (input[0] & 1) == 0;
    const std::u16string_view text = std::u16string_view(input).substr(1);
    const tools::PageConversion convert = [gbToUtf](std::u16string_view page) {
        return gbToUtf ? engine::ConvertGbToUtf(page) : engine::ConvertUtfToGb(page);
    };

    const std::u16string result = tools::ConvertKeepingLineBreaks(text, convert);
    fuzz::ExpectEqual("the result is the lines converted one by one", text, result,
                      LineByLine(text, convert));
    if (text.find(u'&') == std::u16string_view::npos) {
        fuzz::ExpectEqual("a text without references keeps its breaks", text, Breaks(result),
                          Breaks(text));
    }
    return 0;
}
