#pragma once
// Whole-file input and checked output for the driver. The input is read in
// full before anything is converted, and output goes out through write(2) with
// every short write, interruption and failure handled, so that a closed pipe
// or a full disk ends the run with a message instead of a lost tail.

#include "tools/buffer.h"

#include <string>
#include <string_view>

namespace morvane::tools {

/// Reads all of `path`, or of standard input when `path` is "-". Throws DriverError naming
/// the file and the system's reason when it cannot be opened or read (a directory included).
Buffer<char> ReadInput(const std::string& path);

/// Writes all of `bytes` to standard output. Throws DriverError on failure.
void WriteOutput(std::string_view bytes);

/// Closes standard output so that a failure reported only at close still reaches the user.
/// Throws DriverError on failure.
void CloseOutput();

} // namespace morvane::tools
