#include "tools/terminal.h"

#include <windows.h>

namespace morvane::tools {

bool StandardErrorIsTerminal() {
    HANDLE const error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (error == INVALID_HANDLE_VALUE || error == nullptr || ::GetConsoleMode(error, &mode) == 0) {
        return false;
    }
    // A console before Windows 10 shows the escape as text: there the progress line is left
    // out rather than garbled.
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

std::size_t TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info) == 0) {
        return 80;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 1 ? static_cast<std::size_t>(columns) : 80;
}

} // namespace morvane::tools
