// Where the windows stand and what the window manager is told about them: the
// main window's start position on a screen too small for it, and the About
// window, which belongs to the main window, stays out of the taskbar and
// comes back when something minimises it. The offscreen screen is 800 x 800.

#include "fake_platform.h"
#include "ui/about/frm_help.h"
#include "ui/main/frm_main.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace morvane::ui {
namespace {

struct StartCase {
    const char* name;
    QSize client;
    friend std::ostream& operator<<(std::ostream& os, const StartCase& c) { return os << c.name; }
};

const StartCase kStartCases[] = {
    {"AsGiven", {678, 556}},
    {"Taller", {600, 900}},
    {"Wider", {900, 560}},
    {"LargerBothWays", {1356, 1112}},
};

class StartPosition : public ::testing::TestWithParam<StartCase> {};

// Centred in the available area along each direction the frame fits in; along
// one it does not fit in, the title bar's end stays on screen: the top at the
// area's top, the right end (with the close box) at the area's right edge.
TEST_P(StartPosition, CentredWithTheTitleBarOnScreen) {
    const StartCase& c = GetParam();
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    w.resize(c.client);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect area = w.screen()->availableGeometry();
    const auto placed = [&] {
        const QRect frame = w.frameGeometry();
        // (The headless platform nudges a client area that starts left of
        // the screen right by its 2-pixel frame.)
        const bool x =
            frame.width() > area.width()
                ? std::abs(frame.left() + frame.width() - (area.left() + area.width())) <= 2
                : std::abs(frame.center().x() - area.center().x()) <= 1;
        const bool y = frame.height() > area.height()
                           ? frame.top() == area.top()
                           : std::abs(frame.center().y() - area.center().y()) <= 1;
        return x && y;
    };
    EXPECT_TRUE(QTest::qWaitFor(placed, 1000))
        << "frame " << w.frameGeometry().x() << "," << w.frameGeometry().y() << " "
        << w.frameGeometry().width() << "x" << w.frameGeometry().height();
    EXPECT_EQ(w.size(), c.client); // the size stays as given
}

INSTANTIATE_TEST_SUITE_P(Screens, StartPosition, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

class AboutWindowState : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<FrmMain>(fake.platform);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    FrmHelp& ShowHelp() {
        FrmHelp& help = main->Help();
        help.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&help));
        return help;
    }

    fakes::FakePlatform fake;
    std::unique_ptr<FrmMain> main;
};

TEST_F(AboutWindowState, BelongsToTheMainWindowAndStaysOutOfTheTaskbar) {
    FrmHelp& help = ShowHelp();
    ASSERT_NE(help.windowHandle(), nullptr);
    EXPECT_EQ(help.windowHandle()->transientParent(), main->windowHandle());
    EXPECT_EQ(fake.windows.keptOutOfTaskbar, std::vector<const QWidget*>{&help});
    // Owned by the window manager's rules only, not a Qt child of the main
    // window, whose palette and style it would otherwise take.
    EXPECT_EQ(help.parentWidget(), nullptr);
}

TEST_F(AboutWindowState, CentredOnTheScreenNotOverTheMainWindow) {
    main->move(0, 0);
    FrmHelp& help = ShowHelp();
    const QRect area = help.screen()->availableGeometry();
    const QPoint centre = help.frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - area.center().x()), 12) << centre.x();
    EXPECT_LE(std::abs(centre.y() - area.center().y()), 12) << centre.y();
}

TEST_F(AboutWindowState, MinimisedItComesBackAtOnceWithTheMainWindow) {
    FrmHelp& help = ShowHelp();
    for (const bool mainToo : {false, true}) {
        const int activations = fake.windows.activations;
        if (mainToo) {
            main->setWindowState(Qt::WindowMinimized);
        }
        help.setWindowState(Qt::WindowMinimized);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !help.isMinimized(); }, 1000)) << mainToo;
        EXPECT_TRUE(help.isVisible());
        EXPECT_FALSE(main->isMinimized()) << mainToo;
        EXPECT_EQ(fake.windows.activations, activations + 1) << mainToo;
    }
}

TEST_F(AboutWindowState, AHiddenAboutWindowStaysHidden) {
    // Loaded by the example command and never shown.
    FrmHelp& help = main->Help();
    help.setWindowState(Qt::WindowMinimized);
    QTest::qWait(50);
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(fake.windows.activations, 0);
}

} // namespace
} // namespace morvane::ui
