// Starts Morvane: the real platform, the main window, the event loop.

#include "platform/real_platform.h"
#include "ui/main/frm_main.h"
#include "ui/product.h"
#include "ui/translations.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
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
