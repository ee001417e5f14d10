// The window system's part through Qt: on X11 (xcb) the program places its
// own windows and keeps them on top; on Wayland or headless it cannot.

#include "platform/implementations.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <memory>
#include <optional>

#if defined(MORVANE_HAVE_XCB)
#include <xcb/xcb.h>
#endif

namespace morvane::platform {
namespace {

#if defined(MORVANE_HAVE_XCB)
// Replies of xcb are malloc'ed and must be freed.
template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;
template <typename Reply> XcbReply<Reply> Own(Reply* reply) {
    return {reply, &std::free};
}

// The window's outer frame as the X server has it now: the window manager's
// frame around the window (the window itself when no manager runs). Qt keeps
// its own copy of a window's position, which it sets to the position asked
// for on every move and corrects only when the manager reports a change;
// a manager that keeps part of the window on screen and then meets the same
// request again reports nothing, and Qt's copy stays where the window is not.
std::optional<QRect> ServerFrame(const QWidget& window) {
    // Only the xcb plugin talks to an X server (the headless one may offer
    // the same native interface without a connection behind it).
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return std::nullopt;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const QWindow* handle = window.windowHandle();
    if (x11 == nullptr || x11->connection() == nullptr || handle == nullptr) {
        return std::nullopt;
    }
    xcb_connection_t* connection = x11->connection();
    auto top = static_cast<xcb_window_t>(handle->winId());
    // Climb to the ancestor whose parent is the root window: the frame.
    for (;;) {
        const auto tree =
            Own(xcb_query_tree_reply(connection, xcb_query_tree(connection, top), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) {
            break;
        }
        top = tree->parent;
    }
    const auto geometry =
        Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, top), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    const auto origin = Own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, top, geometry->root, 0, 0), nullptr));
    if (!origin) {
        return std::nullopt;
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}
#else
std::optional<QRect> ServerFrame(const QWidget&) {
    return std::nullopt;
}
#endif

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
        const QRect frame = ServerFrame(window).value_or(window.frameGeometry());
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
