#pragma once
// The terminal behind standard error, for the driver's progress line: whether
// there is one and how wide it is. One file per system implements it
// (terminal_posix.cpp, terminal_windows.cpp; tools/CMakeLists.txt picks it).

#include <cstddef>

namespace morvane::tools {

/// Whether standard error is a terminal that takes "\r" and the erase-line escape
/// ("\x1b[K"); on Windows, a console, which is asked to take the escape.
bool StandardErrorIsTerminal();
/// The width of the terminal behind standard error in columns, 80 when it cannot be told.
std::size_t TerminalColumns();

} // namespace morvane::tools
