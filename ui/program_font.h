#pragma once
// The font of the windows: the desktop's size and style, in the Chinese face
// the program depends on (WenQuanYi Micro Hei), whatever the locale. Left to
// the locale, a Chinese desktop draws the captions in that face while any
// other draws their Latin letters in its own wider face and only the Chinese
// ones in this, so captions such as GB2312转UTF-8 no longer fit their buttons.

class QFont;

namespace morvane::ui {

/// The application's font in WenQuanYi Micro Hei, the desktop's own face
/// after it where that one is not installed.
QFont ProgramFont();

} // namespace morvane::ui
