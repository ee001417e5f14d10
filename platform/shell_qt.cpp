// Opening a web address in the user's browser through the desktop's handler.

#include "platform/implementations.h"

#include <QDesktopServices>
#include <QUrl>

namespace morvane::platform {
namespace {

class QtShell final : public Shell {
public:
    QtShell() = default;
    Q_DISABLE_COPY_MOVE(QtShell)

    bool openUrl(const QString& url) override {
        // The handler is started detached, so this returns at once; true only
        // means a handler was found.
        const QUrl parsed(url, QUrl::StrictMode);
        return parsed.isValid() && QDesktopServices::openUrl(parsed);
    }
};

} // namespace

std::unique_ptr<Shell> makeShell() {
    return std::make_unique<QtShell>();
}

} // namespace morvane::platform
