#pragma once
// The window system's part in the windows' behaviour: keeping a window above
// all others, the pointer position, a window's outer frame in screen pixels,
// moving that frame anywhere (also mostly off screen), bringing a window to
// the front, and keeping a dialog out of the taskbar. Screen pixels appear
// only here.
//
// Screen pixels are the toolkit's logical pixels throughout: on a high-DPI
// screen (a scale factor of 1.5 or 2) one of them covers several pixels of
// the device. What is read from the window system in device pixels is
// divided by the scale here, so every answer and every request of this
// interface speaks the same unit.

#include <QPoint>
#include <QRect>

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

/// A rectangle read in device pixels (as the X server has it) in logical
/// pixels, for a screen whose top-left corner is at screenOrigin and whose
/// scale is ratio device pixels to one logical pixel. Each edge goes to the
/// nearest logical pixel on its own, as the toolkit maps its own positions,
/// so a frame that ends on the screen's last device pixel ends on its last
/// logical one too.
ScreenRect LogicalFromDevice(const QRect& device, qreal ratio, QPoint screenOrigin);

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

    /// Asks the taskbar and the pager to leave the window out. Best called
    /// just before the window is first shown; on a shown window it asks the
    /// window manager to change the window's state.
    virtual void keepOutOfTaskbar(QWidget& window) = 0;
};

} // namespace morvane::platform
