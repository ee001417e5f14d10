#pragma once
// Which charset the result of a conversion is written in: the one that its
// own XML declaration names, else UTF-8, unless --to-charset says otherwise.
// Where the bytes will not match the declaration, or a declaration was left
// as it was because it is not spelled the way the conversion rewrites it, a
// note says so.

#include "tools/charset_names.h"
#include "tools/cli_options.h"
#include "tools/xml_declaration.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace morvane::tools {

/// The charset chosen for a result, with the declaration it was chosen from, so that the
/// encoder's check reads the declaration found here instead of parsing it again.
struct ResultCharset {
    Charset charset;
    /// The encoding the result's own declaration names, if it has one.
    std::optional<DeclaredEncoding> declared;
    /// --to-charset chose it, not the declaration.
    bool fromOption = false;
};

/// The output charset for `result` (converted in `mode`; `toCharset` is the option's, if
/// given). Each note goes to `note` as one line "NAME:LINE:COLUMN: note: ...".
ResultCharset ChooseResultCharset(std::u16string_view result, Mode mode,
                                  const std::optional<Charset>& toCharset, const std::string& name,
                                  const std::function<void(const std::string&)>& note);

} // namespace morvane::tools
