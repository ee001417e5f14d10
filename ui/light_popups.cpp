#include "ui/light_popups.h"

#include "ui/back_color.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace morvane::ui {

namespace {

// The light palette with every colour of every group marked as set, so that
// nothing of a popup falls back to the desktop's palette: a list's popup
// draws its entries as menu entries, filling what its own palette leaves
// unset from the desktop's menu palette.
QPalette FullySetLightPalette() {
    const QPalette light = LightDesktopPalette();
    QPalette full = light;
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        const auto group = static_cast<QPalette::ColorGroup>(g);
        for (int r = 0; r < QPalette::NColorRoles; ++r) {
            const auto role = static_cast<QPalette::ColorRole>(r);
            full.setBrush(group, role, light.brush(group, role));
        }
    }
    return full;
}

// Watches the whole application: popups are created by the toolkit (a text
// box's menu, a list's popup, the tooltip window), out of the program's reach.
class LightPopups final : public QObject {
public:
    using QObject::QObject;
    Q_DISABLE_COPY_MOVE(LightPopups)
    ~LightPopups() override = default;

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Shown, not yet drawn: the palette is in place for the first paint.
        if (event->type() != QEvent::Show || !watched->isWidgetType()) {
            return false;
        }
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow()) {
            return false;
        }
        switch (window->windowType()) {
        case Qt::Popup:
        case Qt::ToolTip:
        case Qt::Dialog:
        case Qt::Sheet: {
            // A list's popup gets its palette anew whenever the list's
            // changes, so this is checked at every show. A window already
            // light (the About window, or a popup shown before) is left as it
            // is, with the colours of its parts.
            static const QPalette light = FullySetLightPalette();
            if (window->palette() == light) {
                return false;
            }
            // Every part gets it as its own: a part that only inherited it
            // would still draw with the desktop's menu colours where the
            // toolkit fills them in.
            window->setPalette(light);
            for (QWidget* part : window->findChildren<QWidget*>()) {
                part->setPalette(light);
            }
            return false;
        }
        default:
            return false;
        }
    }
};

} // namespace

void KeepPopupsLight(QObject* owner) {
    if (qApp != nullptr) {
        qApp->installEventFilter(new LightPopups(owner));
    }
}

} // namespace morvane::ui
