#pragma once
// Text at the Windows calls of the driver: the driver works in UTF-8
// throughout (arguments, file names, messages), and Windows takes and gives
// UTF-16 at its wide calls. Only the Windows build compiles this.

#include <string>
#include <string_view>

namespace morvane::tools {

/// `text` (UTF-8) as UTF-16 for a wide Windows call; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
/// `text` (UTF-16 from a wide Windows call) as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
/// "WHAT: REASON", REASON the system's text for the Windows error code `error`.
std::string WindowsErrorText(const std::string& what, unsigned long error);

} // namespace morvane::tools
