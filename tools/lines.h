#pragma once
// The line-break step around the page conversions. The engine's page forms
// keep a line break only as CR LF (a lone CR or LF becomes a reference), but a
// page file has its own breaks: LF from a Linux editor, CR LF, a lone CR, or a
// mix. The file's breaks are noted, the engine gets the page with CR LF
// breaks, and each break of the result is then written back as it was found.

#include <functional>
#include <string>
#include <string_view>

namespace morvane::tools {

/// One of the engine's page conversions.
using PageConversion = std::function<std::u16string(std::u16string_view)>;

/// `convert(text')`, where text' is `text` with each of its line breaks (LF, CR LF or a lone
/// CR) written as CR LF, with each of those breaks then written back in its own kind. Line
/// breaks that the conversion makes from references of the page stay as it makes them.
std::u16string ConvertKeepingLineBreaks(std::u16string_view text, const PageConversion& convert);

} // namespace morvane::tools
