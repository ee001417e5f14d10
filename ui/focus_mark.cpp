#include "ui/focus_mark.h"

#include <QPainter>
#include <QPalette>

namespace morvane::ui {

void DrawFocusMark(QWidget& control) {
    QPainter painter(&control);
    const QColor colour = control.palette().color(QPalette::Active, QPalette::Highlight);
    const QRect all = control.rect();
    const int w = kFocusMarkWidth;
    painter.fillRect(QRect(all.left(), all.top(), all.width(), w), colour);
    painter.fillRect(QRect(all.left(), all.bottom() - w + 1, all.width(), w), colour);
    painter.fillRect(QRect(all.left(), all.top(), w, all.height()), colour);
    painter.fillRect(QRect(all.right() - w + 1, all.top(), w, all.height()), colour);
}

} // namespace morvane::ui
