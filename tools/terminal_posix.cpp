#include "tools/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace morvane::tools {

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::size_t TerminalColumns() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1 ? size.ws_col : 80;
}

} // namespace morvane::tools
