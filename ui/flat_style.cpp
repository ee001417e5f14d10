#include "ui/flat_style.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <qdrawutil.h>

namespace morvane::ui {

FlatStyle::FlatStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void FlatStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Fusion's own panel is a gradient lighter than the colour. The list's
    // box comes here too: Fusion draws a selection-only list as a button.
    const bool down = (option->state & (State_Sunken | State_On)) != 0;
    const bool focus =
        (option->state & State_HasFocus) != 0 && (option->state & State_KeyboardFocusChange) != 0;
    QRect face = option->rect;
    painter->save();
    if (focus) {
        painter->setPen(option->palette.color(QPalette::Shadow));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(face.adjusted(0, 0, -1, -1));
        face.adjust(1, 1, -1, -1);
    }
    const QBrush fill = option->palette.button();
    qDrawWinButton(painter, face, option->palette, down, &fill);
    painter->restore();
}

int FlatStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                           const QWidget* widget) const {
    switch (metric) {
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
        return 1; // a pressed caption moves down and right, as into the sunken face
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

} // namespace morvane::ui
