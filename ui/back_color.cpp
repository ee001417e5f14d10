#include "ui/back_color.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QVariant>
#include <QWidget>

#include <memory>

namespace morvane::ui {

namespace {
constexpr const char* kBackColorProperty = "morvaneBackColor";
} // namespace

Colour FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

QColor ToQColor(Colour colour) {
    return {static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
            static_cast<int>((colour >> 16) & 0xFFu)};
}

void SetBackColor(QWidget* control, Colour colour) {
    const QColor c = ToQColor(colour);
    QPalette pal = control->palette();
    if (qobject_cast<QAbstractScrollArea*>(control) != nullptr ||
        qobject_cast<QLineEdit*>(control) != nullptr) {
        pal.setColor(QPalette::Base, c);
    } else if (qobject_cast<QComboBox*>(control) != nullptr) {
        pal.setColor(QPalette::Button, c);
        pal.setColor(QPalette::Base, c);
    } else if (qobject_cast<QAbstractButton*>(control) != nullptr &&
               qobject_cast<QAbstractButton*>(control)->inherits("QPushButton")) {
        pal.setColor(QPalette::Button, c);
    } else {
        // A panel fills itself with the window colour, a check box with the
        // button colour (its background role): set both.
        pal.setColor(QPalette::Window, c);
        pal.setColor(control->backgroundRole(), c);
        control->setAutoFillBackground(true);
    }
    control->setPalette(pal);
    control->setProperty(kBackColorProperty, static_cast<uint>(colour));
}

Colour BackColor(const QWidget* control) {
    const QVariant stored = control->property(kBackColorProperty);
    if (stored.isValid()) {
        return static_cast<Colour>(stored.toUInt());
    }
    return FromQColor(control->palette().color(control->backgroundRole()));
}

QPalette LightDesktopPalette() {
    // Fusion's standard palette is the toolkit's light one, whatever the
    // desktop's theme (the application palette may be a dark one).
    static const QPalette light = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion != nullptr ? fusion->standardPalette() : QPalette(QColor(239, 239, 239));
    }();
    return light;
}

void SetWindowForeColor(QWidget* window, Colour colour) {
    // Controls take their parent's colours for every role they do not set
    // themselves; giving the direct children the window's text colours from
    // before keeps the new text colour to the window.
    const QPalette before = window->palette();
    constexpr QPalette::ColorRole kTextRoles[] = {QPalette::WindowText, QPalette::Text,
                                                  QPalette::ButtonText};
    constexpr QPalette::ColorGroup kGroups[] = {QPalette::Active, QPalette::Inactive,
                                                QPalette::Disabled};
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QPalette pal = child->palette();
        for (const QPalette::ColorRole role : kTextRoles) {
            for (const QPalette::ColorGroup group : kGroups) {
                pal.setColor(group, role, before.color(group, role));
            }
        }
        child->setPalette(pal);
    }
    SetForeColor(window, colour);
}

void SetForeColor(QWidget* control, Colour colour) {
    QPalette pal = control->palette();
    const QColor c = ToQColor(colour);
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    pal.setColor(QPalette::ButtonText, c);
    control->setPalette(pal);
}

} // namespace morvane::ui
