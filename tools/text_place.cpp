#include "tools/text_place.h"

#include "engine/engine.h"

namespace morvane::tools {

TextPlace PlaceOf(std::u16string_view text, std::size_t index) {
    TextPlace place;
    for (std::size_t i = 0; i < index && i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))) {
            ++place.line;
            place.column = 1;
        } else if (c == u'\r') {
            // the CR of a CR LF: the LF ends the line
        } else if (!engine::IsLowSurrogate(c) || i == 0 || !engine::IsHighSurrogate(text[i - 1])) {
            ++place.column;
        }
    }
    return place;
}

std::string PlacePrefix(const std::string& name, std::u16string_view text, std::size_t index) {
    const TextPlace place = PlaceOf(text, index);
    return name + ":" + std::to_string(place.line) + ":" + std::to_string(place.column) + ": ";
}

} // namespace morvane::tools
