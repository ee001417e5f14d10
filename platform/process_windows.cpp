// Starting another program without waiting for it (CreateProcess), and
// testing for an ordinary file (GetFileAttributes).

#include "platform/implementations.h"

#include <QDir>
#include <QString>

#include "platform/windows_api.h"

#include <vector>

namespace morvane::platform {
namespace {

const wchar_t* Wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

class WindowsProcess final : public Process {
public:
    WindowsProcess() = default;
    Q_DISABLE_COPY_MOVE(WindowsProcess)

    bool startDetached(const QString& path) override {
        if (path.isEmpty()) {
            return false;
        }
        const QString program = QDir::toNativeSeparators(path);
        // The command line names the program again, quoted for spaces; the
        // program file itself is given separately, so no search path is tried.
        QString commandLine = QLatin1Char('"') + program + QLatin1Char('"');
        std::vector<wchar_t> line(commandLine.utf16(),
                                  commandLine.utf16() + commandLine.size() + 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(Wide(program), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &started) == FALSE) {
            return false;
        }
        // Not waiting: the handles are let go at once and the program runs on.
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return true;
    }

    bool fileExists(const QString& path) const override {
        if (path.isEmpty()) {
            return false;
        }
        const DWORD attributes = GetFileAttributesW(Wide(QDir::toNativeSeparators(path)));
        // Folders, hidden and system entries do not count as ordinary files.
        constexpr DWORD kNotOrdinary =
            FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotOrdinary) == 0;
    }
};

} // namespace

std::unique_ptr<Process> makeProcess() {
    return std::make_unique<WindowsProcess>();
}

} // namespace morvane::platform
