#include "tools/process.h"

#include "tools/wide_text_windows.h"

#include <windows.h>

#include <shellapi.h>

namespace morvane::tools {

std::vector<std::string> StartProcess(int /*argc*/, char** /*argv*/) {
    // Messages are UTF-8; a console shows them as such only when told.
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        arguments.push_back(Utf8FromWide(wide[i]));
    }
    ::LocalFree(static_cast<void*>(wide));
    return arguments;
}

int EndForClosedOutput() {
    // Windows has no SIGPIPE: the run ends quietly with the status of a failure, so that a
    // script can still tell that not all of the result was read.
    return 1;
}

} // namespace morvane::tools
