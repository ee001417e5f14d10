// Opening a web address in the user's browser through the shell's "open"
// verb, which starts whatever handler the user chose for the address's scheme.

#include "platform/implementations.h"

#include <QUrl>

#include "platform/windows_api.h"

#include <shellapi.h>

namespace morvane::platform {
namespace {

class WindowsShell final : public Shell {
public:
    WindowsShell() = default;
    Q_DISABLE_COPY_MOVE(WindowsShell)

    bool openUrl(const QString& url) override {
        const QUrl parsed(url, QUrl::StrictMode);
        if (!parsed.isValid() || parsed.scheme().isEmpty()) {
            return false;
        }
        // The encoded form is plain ASCII, so the handler receives the same
        // address whatever the system code page.
        const QString address = parsed.toString(QUrl::FullyEncoded);
        const HINSTANCE result =
            ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(address.utf16()),
                          nullptr, nullptr, SW_SHOWNORMAL);
        // Values above 32 mean success; smaller ones are error codes.
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

} // namespace

std::unique_ptr<Shell> makeShell() {
    return std::make_unique<WindowsShell>();
}

} // namespace morvane::platform
