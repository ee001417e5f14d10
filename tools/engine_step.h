#pragma once
// The engine step of the pipeline: one of the engine's four functions, chosen
// by the run's mode. The page conversions see the page with CR LF line breaks
// and give back the file's own (lines.h); the encoder and decoder alone see
// the text exactly as it is.

#include "tools/cli_options.h"

#include <string>
#include <string_view>

namespace morvane::tools {

std::u16string ApplyEngine(Mode mode, std::u16string_view text);

} // namespace morvane::tools
