#pragma once
// The driver's process on each system: its arguments in UTF-8, and how it
// ends when the reader of standard output has gone away. One file per system
// implements it (process_posix.cpp, process_windows.cpp).

#include <string>
#include <vector>

namespace morvane::tools {

/// Prepares the process (a reader that goes away shows up as a failed write, not as the
/// end of the process) and gives the arguments after the program's name in UTF-8: on
/// Windows from the wide command line, as `argv` holds them in the ANSI code page.
std::vector<std::string> StartProcess(int argc, char** argv);

/// Ends the process quietly as a filter whose reader left; returns its exit status where
/// it does not end by itself.
int EndForClosedOutput();

} // namespace morvane::tools
