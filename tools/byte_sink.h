#pragma once
// Where the driver's stages hand finished output bytes: a callable that takes
// them a piece at a time, in order.

#include <functional>
#include <string_view>

namespace morvane::tools {

/// Receives the output bytes, a piece at a time, in order.
using ByteSink = std::function<void(std::string_view)>;

} // namespace morvane::tools
