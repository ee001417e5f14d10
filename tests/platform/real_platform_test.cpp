// The bundle of real implementations and the choice of the X11 plugin.

#include "platform/real_platform.h"
#include "test_files.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

namespace morvane::platform {
namespace {

TEST(RealPlatformTest, HandsOutWorkingImplementations) {
    RealPlatform real;
    Platform& p = real.get();
    EXPECT_EQ(&real.get(), &p) << "one bundle for the program's life";
    EXPECT_FALSE(p.windows.canPlaceWindows());
    RegKey key = 0;
    EXPECT_EQ(p.registry.openKey(kHKeyLocalMachine, "SOFTWARE", 0, kKeyAccess, &key),
              kRegFileNotFound);
    EXPECT_FALSE(p.process.fileExists(QString()));
    EXPECT_FALSE(p.process.startDetached(QString()));
    EXPECT_FALSE(p.shell.openUrl(QString()));
    p.clipboard.setText(QStringLiteral("x"));
    QWidget w;
    p.windows.setKeepAbove(w, true);
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

using Env = std::optional<QByteArray>;

struct Session {
    const char* name;
    Env qpa;
    Env sessionType;
    Env waylandDisplay;
    Env display;
    Env expected;
};

class PreferX11Test : public ::testing::TestWithParam<Session> {};

TEST_P(PreferX11Test, ChoosesXcbOnlyOnWaylandWithAnXDisplay) {
    const Session& s = GetParam();
    const test::ScopedEnv qpa("QT_QPA_PLATFORM", s.qpa);
    const test::ScopedEnv type("XDG_SESSION_TYPE", s.sessionType);
    const test::ScopedEnv wayland("WAYLAND_DISPLAY", s.waylandDisplay);
    const test::ScopedEnv display("DISPLAY", s.display);
    preferX11();
    const Env now =
        qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? Env(qgetenv("QT_QPA_PLATFORM")) : Env();
    EXPECT_EQ(now, s.expected);
}

const Env kUnset;
const Env kXcb = QByteArray("xcb");

INSTANTIATE_TEST_SUITE_P(
    Sessions, PreferX11Test,
    ::testing::Values(
        Session{"WaylandSessionWithXWayland", kUnset, "wayland", "wayland-0", ":0", kXcb},
        Session{"WaylandTypeOnly", kUnset, "wayland", kUnset, ":1", kXcb},
        Session{"WaylandDisplayOnly", kUnset, "x11", "wayland-0", ":0", kXcb},
        Session{"EmptyChoiceCountsAsNone", QByteArray(), "wayland", kUnset, ":0", kXcb},
        Session{"WaylandWithoutXWayland", kUnset, "wayland", "wayland-0", kUnset, kUnset},
        Session{"WaylandWithEmptyDisplay", kUnset, "wayland", "wayland-0", QByteArray(), kUnset},
        Session{"X11Session", kUnset, "x11", kUnset, ":0", kUnset},
        Session{"EmptyWaylandDisplay", kUnset, "tty", QByteArray(), ":0", kUnset},
        Session{"ExplicitWayland", "wayland", "wayland", "wayland-0", ":0", "wayland"},
        Session{"ExplicitOffscreen", "offscreen", "wayland", "wayland-0", ":0", "offscreen"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace morvane::platform
