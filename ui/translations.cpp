#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace morvane::ui {

bool LoadToolkitTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    // Tries the locale's languages in the user's order of preference, the
    // most specific name first (qtbase_zh_CN, then qtbase_zh).
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator)) {
        return true;
    }
    delete translator;
    return false;
}

} // namespace morvane::ui
