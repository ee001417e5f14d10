#pragma once
// Every control gets its given name as its objectName, so tests and
// end-to-end scripts can find it; and the name and description a screen
// reader speaks for it.

#include <QString>
#include <QWidget>

namespace morvane::ui {

/// Names `control` and hands it back, for use where the control is created.
template <typename T> T* Named(T* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

/// Gives `control` the name and the description a screen reader speaks for it.
/// An empty name leaves the toolkit's own: a button's or check box's caption.
inline void SetSpoken(QWidget* control, const QString& name, const QString& description) {
    if (!name.isEmpty()) {
        control->setAccessibleName(name);
    }
    control->setAccessibleDescription(description);
}

} // namespace morvane::ui
