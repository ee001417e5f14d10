// The window system's part through Qt: on X11 (xcb) the program places its
// own windows and keeps them on top; on Wayland or headless it cannot.

#include "platform/implementations.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMargins>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

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

xcb_connection_t* X11Connection() {
    // Only the xcb plugin talks to an X server (the headless one may offer
    // the same native interface without a connection behind it).
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const auto reply = Own(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Adds states to a window's _NET_WM_STATE. A window that is not mapped yet
// carries them in the property, which the window manager reads when it maps
// the window (Qt adds its own states to what it finds there); a mapped window
// asks the window manager, which owns the property from then on.
void AddNetWmStates(xcb_connection_t* connection, const QWindow& handle,
                    const std::vector<xcb_atom_t>& states) {
    const auto id = static_cast<xcb_window_t>(handle.winId());
    const xcb_atom_t property = Atom(connection, "_NET_WM_STATE");
    if (property == XCB_ATOM_NONE) {
        return;
    }
    if (handle.isVisible()) {
        const auto tree =
            Own(xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr));
        if (!tree) {
            return;
        }
        const xcb_window_t root = tree->root;
        for (const xcb_atom_t state : states) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = id;
            message.type = property;
            message.data.data32[0] = 1; // _NET_WM_STATE_ADD
            message.data.data32[1] = state;
            message.data.data32[3] = 1; // from an application
            xcb_send_event(connection, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                               XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&message));
        }
    } else {
        std::vector<xcb_atom_t> atoms;
        const auto current = Own(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, id, property, XCB_ATOM_ATOM, 0, 1024),
            nullptr));
        if (current && current->format == 32 && current->type == XCB_ATOM_ATOM) {
            const auto* values =
                static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
            atoms.assign(values, values + xcb_get_property_value_length(current.get()) / 4);
        }
        for (const xcb_atom_t state : states) {
            if (std::find(atoms.begin(), atoms.end(), state) == atoms.end()) {
                atoms.push_back(state);
            }
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, property, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(atoms.size()), atoms.data());
    }
    xcb_flush(connection);
}

// The window's client area as the X server has it now, in device pixels (the
// X server's unit). Qt keeps its own copy of a window's position, which it
// sets to the position asked for on every move and corrects only when the
// manager reports a change; a manager that keeps part of the window on screen
// and then meets the same request again reports nothing, and Qt's copy stays
// where the window is not.
std::optional<QRect> ServerClientArea(const QWidget& window) {
    xcb_connection_t* connection = X11Connection();
    const QWindow* handle = window.windowHandle();
    if (connection == nullptr || handle == nullptr) {
        return std::nullopt;
    }
    const auto id = static_cast<xcb_window_t>(handle->winId());
    const auto geometry =
        Own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    const auto origin = Own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr));
    if (!origin) {
        return std::nullopt;
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

void KeepOutOfTaskbar(QWidget& window) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return;
    }
    window.winId(); // the native window must exist to carry the state
    if (const QWindow* handle = window.windowHandle()) {
        AddNetWmStates(connection, *handle,
                       {Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                        Atom(connection, "_NET_WM_STATE_SKIP_PAGER")});
    }
}
#else
std::optional<QRect> ServerClientArea(const QWidget&) {
    return std::nullopt;
}
void KeepOutOfTaskbar(QWidget&) {}
#endif

// The screen a window stands on, for its scale and origin.
const QScreen* ScreenOf(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle(); handle != nullptr && handle->screen()) {
        return handle->screen();
    }
    return QGuiApplication::primaryScreen();
}

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
        if (const std::optional<QRect> device = ServerClientArea(window)) {
            // The client area where the X server has it, in logical pixels,
            // with the window manager's frame around it as Qt counts it: a
            // move asks Qt for the frame's position, and Qt places the client
            // area by the same frame, so what the move asked for is what is
            // read back (on a high-DPI screen the frame's device pixels need
            // not divide evenly, and Qt rounds them its own way).
            const QWindow* handle = window.windowHandle();
            const QScreen* screen = ScreenOf(window);
            const ScreenRect client =
                LogicalFromDevice(*device, handle->devicePixelRatio(),
                                  screen != nullptr ? screen->geometry().topLeft() : QPoint());
            const QMargins frame = handle->frameMargins();
            return {client.left - frame.left(), client.top - frame.top(),
                    client.right + frame.right(), client.bottom + frame.bottom()};
        }
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

    void keepOutOfTaskbar(QWidget& window) override {
        // Qt has no flag for it on X11: the state goes to the X server directly.
        KeepOutOfTaskbar(window);
    }
};

} // namespace

std::unique_ptr<WindowManager> makeWindowManager() {
    return std::make_unique<QtWindowManager>();
}

} // namespace morvane::platform
