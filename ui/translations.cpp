#include "ui/translations.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace morvane::ui {

bool LoadToolkitTranslations(const QLocale& locale) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const auto load = [translator](const QLocale& l) {
        // Tries the locale's languages in the user's order of preference,
        // the most specific name first (qtbase_zh_CN, then qtbase_zh).
        return translator->load(l, QStringLiteral("qtbase"), QStringLiteral("_"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    };
    bool loaded = load(locale);
    if (!loaded && locale.language() == QLocale::Chinese) {
        // Qt ships Chinese for China and Taiwan only: Hong Kong, Macao and
        // Singapore read the one in their script.
        loaded = load(locale.script() == QLocale::TraditionalHanScript
                          ? QLocale(QLocale::Chinese, QLocale::Taiwan)
                          : QLocale(QLocale::Chinese, QLocale::China));
    }
    // The windows are placed left to right, panel on the right; a catalogue
    // of a right-to-left language would otherwise mirror every control.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    if (loaded && QCoreApplication::installTranslator(translator)) {
        return true;
    }
    delete translator;
    return false;
}

} // namespace morvane::ui
