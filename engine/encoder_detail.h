#pragma once
// The encoder's second entry point, private to the engine: the encoding that
// ConvertGbToUtf starts with, with its tab removal and line-break restoring
// done in the same pass instead of over a second and third copy of the text.

#include <string>
#include <string_view>

namespace morvane::engine::detail {

/// Ascii(text), after each run of tabs between two characters other than a blank,
/// CR or LF became one blank, with every "&#x9;" removed from the result and every
/// "&#xD;&#xA;" then turned back into CR LF, in one pass. Encoding that result
/// again would change nothing, so this is also the text after the second
/// encoding that ConvertGbToUtf performs.
std::u16string EncodePageText(std::u16string_view text);

} // namespace morvane::engine::detail
