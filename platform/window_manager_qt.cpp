// The window system's part through Qt: on X11 (xcb) the program places its
// own windows and keeps them on top; on Wayland or headless it cannot.

#include "platform/implementations.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace morvane::platform {
namespace {

class QtWindowManager final : public WindowManager {
public:
    QtWindowManager() = default;
    Q_DISABLE_COPY_MOVE(QtWindowManager)

    bool canPlaceWindows() const override {
        // Only these plugins give global coordinates that the window manager
        // honours and an always-on-top layer; Wayland and offscreen do not.
        const QString name = QGuiApplication::platformName();
        return name == QLatin1String("xcb") || name == QLatin1String("windows");
    }

    void setKeepAbove(QWidget& window, bool above) override {
        Qt::WindowFlags flags = window.windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, above);
        if (QWindow* handle = window.windowHandle()) {
            // setWindowFlags() would destroy and re-create the native window
            // (unmapping it). Changing the flags on the QWindow keeps it
            // mapped, in place and at its size; overriding the widget's copy
            // keeps the two in step so a later hide and show keeps the layer.
            window.overrideWindowFlags(flags);
            handle->setFlags(flags);
        } else {
            // No native window yet: the flag is simply used when it is made.
            window.setWindowFlags(flags);
        }
    }

    QPoint cursorPos() const override { return QCursor::pos(); }

    ScreenRect frameRect(const QWidget& window) const override {
        const QRect frame = window.frameGeometry();
        return {frame.left(), frame.top(), frame.left() + frame.width(),
                frame.top() + frame.height()};
    }

    int primaryScreenWidth() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->geometry().width() : 0;
    }

    void moveFrame(QWidget& window, QPoint topLeft) override {
        // On a top-level window move() places the outer frame. The request
        // goes through the window manager, which may keep part of the frame on
        // screen; callers read frameRect() back.
        window.move(topLeft);
    }

    void showAndActivate(QWidget& window) override {
        window.show();
        window.raise();
        if (QWindow* handle = window.windowHandle()) {
            handle->requestActivate();
        }
    }
};

} // namespace

std::unique_ptr<WindowManager> makeWindowManager() {
    return std::make_unique<QtWindowManager>();
}

} // namespace morvane::platform
