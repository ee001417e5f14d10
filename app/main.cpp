// Starts Morvane: the real platform, the main window, the event loop.

#include "platform/real_platform.h"
#include "ui/main/frm_main.h"
#include "ui/product.h"
#include "ui/translations.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>

namespace {

/// True when the toolkit would find no window system to open the window on:
/// no X11 display, no Wayland one, and no platform chosen explicitly.
bool NoDesktopSession() {
    return qEnvironmentVariableIsEmpty("DISPLAY") &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    // Without a session Qt aborts with a message about its plugins that hides
    // the real cause; say what is missing and end with a plain failure instead.
    if (NoDesktopSession()) {
        std::fputs("morvane: the window needs a desktop session, but neither DISPLAY (X11) nor "
                   "WAYLAND_DISPLAY (Wayland) is set; the command-line driver morvane-convert "
                   "needs none\n",
                   stderr);
        return 1;
    }
    morvane::platform::preferX11();
    QApplication app(argc, argv);
    QApplication::setApplicationName(morvane::ui::kAppTitle);
    QApplication::setApplicationVersion(QString::fromLatin1(morvane::kVersion));
    QApplication::setDesktopFileName(QString::fromLatin1(morvane::kAppId));
    morvane::ui::LoadToolkitTranslations(QLocale::system());

    morvane::platform::RealPlatform platform;
    morvane::ui::FrmMain window(platform.get());
    window.show();
    return QApplication::exec();
}
