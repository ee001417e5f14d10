#pragma once
// The program's name, version and maker, as the windows show them.

#include <QString>

namespace morvane::ui {

inline const QString kAppTitle = QStringLiteral("Morvane");
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 2;
inline constexpr int kVersionRevision = 0;

inline const QString kMakerName = QStringLiteral("Tarnwick");
inline const QString kMakerUrl = QStringLiteral("http://www.tarnwick.example/");
inline const QString kMakerDomainCaps = QStringLiteral("WWW.TARNWICK.EXAMPLE");
inline const QString kMakerEmail = QStringLiteral("morvane@tarnwick.example");

} // namespace morvane::ui
