// One real implementation of every platform effect, handed out as a bundle,
// and the choice of the X11 platform plugin on Wayland sessions.

#include "platform/real_platform.h"

#include "platform/implementations.h"

#include <QByteArray>
#include <QtGlobal>

namespace morvane::platform {

struct RealPlatform::Parts {
    std::unique_ptr<WindowManager> windows = makeWindowManager();
    std::unique_ptr<Clipboard> clipboard = makeClipboard();
    std::unique_ptr<Shell> shell = makeShell();
    std::unique_ptr<MessageBox> messages = makeMessageBox();
    std::unique_ptr<Registry> registry = makeRegistry();
    std::unique_ptr<Process> process = makeProcess();
};

RealPlatform::RealPlatform()
    : m_parts(std::make_unique<Parts>())
    , m_platform(std::make_unique<Platform>(Platform{*m_parts->windows, *m_parts->clipboard,
                                                     *m_parts->shell, *m_parts->messages,
                                                     *m_parts->registry, *m_parts->process})) {}

RealPlatform::~RealPlatform() = default;

void preferX11() {
    // Keep-on-top, centring and the edge auto-hide need a client that may
    // place its own window, which a Wayland client may not. Through XWayland
    // the program is an X11 client and may. An explicit choice always wins,
    // and without an X display there is nothing to fall back to.
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    const bool wayland = qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
}

} // namespace morvane::platform
