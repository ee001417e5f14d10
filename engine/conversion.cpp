#include "engine/engine.h"

namespace morvane::engine {
std::u16string Ascii(std::u16string_view ToDoString) { return std::u16string(ToDoString); }
std::u16string UtfToGb(std::u16string_view SearchString) { return std::u16string(SearchString); }
std::u16string ConvertGbToUtf(std::u16string_view text) { return Ascii(text); }
std::u16string ConvertUtfToGb(std::u16string_view text) { return UtfToGb(text); }
} // namespace morvane::engine
