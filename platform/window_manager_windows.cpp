// The window system's part on Windows, through user32: the always-on-top
// layer with SetWindowPos, the pointer with GetCursorPos, the outer frame with
// GetWindowRect, and moves that may leave most of the window off screen
// (Windows places a program's own window where it asks).
//
// user32 speaks device pixels (Qt makes the program aware of each monitor's
// scale); the interface speaks logical ones, converted here. On a platform
// plugin without native windows (the headless one of the tests) the toolkit's
// own answers are used.

#include "platform/implementations.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "platform/windows_api.h"

#include <bit>

namespace morvane::platform {
namespace {

bool NativeWindows() {
    return QGuiApplication::platformName() == QLatin1String("windows");
}

/// The window's HWND, or null when it has none (not created yet, or a
/// platform plugin without native windows).
HWND HandleOf(const QWidget& window) {
    if (!NativeWindows() || window.windowHandle() == nullptr) {
        return nullptr;
    }
    // A window id on Windows is the HWND, held as a number.
    return std::bit_cast<HWND>(window.windowHandle()->winId());
}

/// The screen whose device-pixel area holds the point, for its scale and
/// origin; the primary screen when none does.
const QScreen* ScreenAtDevicePoint(QPoint device) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const QRect area(logical.topLeft(), logical.size() * screen->devicePixelRatio());
        if (area.contains(device)) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

const QScreen* ScreenOf(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle(); handle != nullptr && handle->screen()) {
        return handle->screen();
    }
    return QGuiApplication::primaryScreen();
}

class WindowsWindowManager final : public WindowManager {
public:
    WindowsWindowManager() = default;
    Q_DISABLE_COPY_MOVE(WindowsWindowManager)

    bool canPlaceWindows() const override { return NativeWindows(); }

    void setKeepAbove(QWidget& window, bool above) override {
        Qt::WindowFlags flags = window.windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, above);
        const HWND hwnd = HandleOf(window);
        if (hwnd == nullptr) {
            // No native window yet: the flag is used when it is made.
            window.setWindowFlags(flags);
            return;
        }
        // The widget's copy of the flags follows, without re-creating the
        // native window, so a later re-creation keeps the layer.
        window.overrideWindowFlags(flags);
        SetWindowPos(hwnd, above ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    QPoint cursorPos() const override {
        POINT point{};
        if (!NativeWindows() || GetCursorPos(&point) == FALSE) {
            return QCursor::pos();
        }
        const QPoint device(point.x, point.y);
        const QScreen* screen = ScreenAtDevicePoint(device);
        if (screen == nullptr) {
            return device;
        }
        const ScreenRect logical = LogicalFromDevice(
            QRect(device, QSize(1, 1)), screen->devicePixelRatio(), screen->geometry().topLeft());
        return {logical.left, logical.top};
    }

    ScreenRect frameRect(const QWidget& window) const override {
        RECT rect{};
        const HWND hwnd = HandleOf(window);
        if (hwnd == nullptr || GetWindowRect(hwnd, &rect) == FALSE) {
            const QRect frame = window.frameGeometry();
            return {frame.left(), frame.top(), frame.left() + frame.width(),
                    frame.top() + frame.height()};
        }
        const QScreen* screen = ScreenOf(window);
        return LogicalFromDevice(
            QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
            window.windowHandle()->devicePixelRatio(),
            screen != nullptr ? screen->geometry().topLeft() : QPoint());
    }

    int primaryScreenWidth() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->geometry().width() : 0;
    }

    void moveFrame(QWidget& window, QPoint topLeft) override {
        const HWND hwnd = HandleOf(window);
        if (hwnd == nullptr) {
            window.move(topLeft);
            return;
        }
        // The outer frame's corner in device pixels, measured from the
        // screen's corner as the toolkit does.
        const QScreen* screen = ScreenOf(window);
        const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint();
        const qreal ratio = window.windowHandle()->devicePixelRatio();
        const QPoint device = origin + (topLeft - origin) * ratio;
        SetWindowPos(hwnd, nullptr, device.x(), device.y(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void showAndActivate(QWidget& window) override {
        window.show();
        window.raise();
        window.activateWindow();
        if (const HWND hwnd = HandleOf(window)) {
            SetForegroundWindow(hwnd);
        }
    }

    void keepOutOfTaskbar(QWidget& window) override {
        // Windows lists only unowned windows in the taskbar, and a dialog
        // whose owner is the main window (its transient parent) has one. An
        // unowned window becomes a tool window, which the taskbar leaves out.
        window.winId(); // the native window must exist to carry the style
        const HWND hwnd = HandleOf(window);
        if (hwnd == nullptr || GetWindow(hwnd, GW_OWNER) != nullptr) {
            return;
        }
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (style & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    }
};

} // namespace

std::unique_ptr<WindowManager> makeWindowManager() {
    return std::make_unique<WindowsWindowManager>();
}

} // namespace morvane::platform
