#pragma once
// The program's name, version and maker, as the windows show them.

#include "morvane/version.h"

#include <QString>

namespace morvane::ui {

// The version (kVersionMajor, kVersionMinor, kVersionRevision) and the
// application id come from morvane/version.h.
inline const QString kAppTitle = QStringLiteral("Morvane");

inline const QString kMakerName = QStringLiteral("Tarnwick");
inline const QString kMakerUrl = QStringLiteral("http://www.tarnwick.example/");
inline const QString kMakerDomainCaps = QStringLiteral("WWW.TARNWICK.EXAMPLE");
inline const QString kMakerEmail = QStringLiteral("morvane@tarnwick.example");

} // namespace morvane::ui
