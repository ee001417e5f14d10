#include "ui/program_font.h"

#include <QApplication>
#include <QFont>

namespace morvane::ui {

QFont ProgramFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), font.family()});
    return font;
}

} // namespace morvane::ui
