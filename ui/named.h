#pragma once
// Every control gets its given name as its objectName, so tests and
// end-to-end scripts can find it.

#include <QString>

namespace morvane::ui {

/// Names `control` and hands it back, for use where the control is created.
template <typename T> T* Named(T* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

} // namespace morvane::ui
