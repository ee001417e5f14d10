#pragma once
// Which charset the result of a conversion is written in: the one that its
// own XML declaration names, else UTF-8, unless --to-charset says otherwise.
// Where the bytes will not match the declaration, or a declaration was left
// as it was because it is not spelled the way the conversion rewrites it, a
// note says so.

#include "tools/cli_options.h"

#include <functional>
#include <string>
#include <string_view>

namespace morvane::tools {

/// The output charset for `result` (converted in `mode`; `toCharset` is the option's value or
/// empty). Each note goes to `note` as one line "NAME:LINE:COLUMN: note: ...".
std::string ChooseResultCharset(std::u16string_view result, Mode mode, const std::string& toCharset,
                                const std::string& name,
                                const std::function<void(const std::string&)>& note);

} // namespace morvane::tools
