#pragma once
// The program's popups and dialogs drawn as its windows are: the text boxes'
// context menu, the lists' popups, tooltips and message boxes take the light
// palette the windows start from, so a dark desktop theme gives one program
// one look instead of light windows with dark popups.

class QObject;

namespace morvane::ui {

/// From now on, while `owner` lives, every popup, tooltip and dialog window of
/// the program is given LightDesktopPalette() as it is shown. Windows that
/// already have exactly that palette (the About window) are left alone.
void KeepPopupsLight(QObject* owner);

} // namespace morvane::ui
