#pragma once
// The window system's part in the main window's behaviour: keeping a window
// above all others, the pointer position, a window's outer frame in screen
// pixels, moving that frame anywhere (also mostly off screen), and bringing a
// window to the front. Screen pixels appear only here.

#include <QPoint>

class QWidget;

namespace morvane::platform {

/// A window's outer rectangle (frame included) in screen pixels. right and
/// bottom lie one past the last pixel, as left + width and top + height.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

class WindowManager {
public:
    virtual ~WindowManager() = default;

    /// False where the program cannot place its own windows or keep them on
    /// top (a Wayland session without XWayland); keep-on-top and auto-hide are
    /// then unavailable.
    virtual bool canPlaceWindows() const = 0;

    /// Puts a shown window into the always-on-top layer (true) or back into the
    /// ordinary stacking order (false) without hiding, moving or resizing it.
    virtual void setKeepAbove(QWidget& window, bool above) = 0;

    /// The pointer position in screen pixels.
    virtual QPoint cursorPos() const = 0;

    /// The window's outer frame in screen pixels, as the window manager placed it.
    virtual ScreenRect frameRect(const QWidget& window) const = 0;

    /// Width of the primary screen in pixels.
    virtual int primaryScreenWidth() const = 0;

    /// Asks for the window's outer frame to stand at topLeft (screen pixels).
    /// The window manager may correct the move; read frameRect() back.
    virtual void moveFrame(QWidget& window, QPoint topLeft) = 0;

    /// Makes the window visible and active (in front, with the input focus).
    virtual void showAndActivate(QWidget& window) = 0;
};

} // namespace morvane::platform
