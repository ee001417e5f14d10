// The Qt window manager on the headless platform: frames, moves, the
// keep-on-top layer without re-creating the window, and activation. What the
// X11 window manager does with them is checked against a real X server by the
// end-to-end tests.

#include "platform/implementations.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace morvane::platform {
namespace {

class WindowManagerTest : public ::testing::Test {
protected:
    void showWindow() {
        m_window.resize(422, 285);
        m_window.move(100, 80);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    static bool aboveInWidget(const QWidget& w) {
        return w.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    }
    static bool aboveInWindow(const QWidget& w) {
        return w.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    }

    std::unique_ptr<WindowManager> m_manager = makeWindowManager();
    QWidget m_window;
};

TEST_F(WindowManagerTest, CannotPlaceWindowsHeadless) {
    EXPECT_FALSE(m_manager->canPlaceWindows());
}

TEST_F(WindowManagerTest, MovesTheOuterFrameAnywhereAndReadsItBack) {
    showWindow();
    const QPoint targets[] = {{0, 0}, {300, 200}, {-419, 100}, {100, -282}, {1277, 100}};
    for (const QPoint target : targets) {
        m_manager->moveFrame(m_window, target);
        const QRect frame = m_window.frameGeometry();
        EXPECT_EQ(frame.topLeft(), target);
        const ScreenRect rect = m_manager->frameRect(m_window);
        // right and bottom lie one past the frame, and the frame is larger
        // than the client area.
        EXPECT_EQ(rect, (ScreenRect{target.x(), target.y(), target.x() + frame.width(),
                                    target.y() + frame.height()}));
        EXPECT_GT(rect.right - rect.left, m_window.width());
        EXPECT_GT(rect.bottom - rect.top, m_window.height());
    }
}

TEST_F(WindowManagerTest, KeepAboveTogglesAShownWindowInPlace) {
    showWindow();
    const QRect frame = m_window.frameGeometry();
    const QWindow* handle = m_window.windowHandle();
    const WId id = m_window.winId();

    for (const bool above : {true, false, true, true, false}) {
        m_manager->setKeepAbove(m_window, above);
        QCoreApplication::processEvents();
        EXPECT_EQ(aboveInWidget(m_window), above);
        EXPECT_EQ(aboveInWindow(m_window), above);
        EXPECT_TRUE(m_window.isVisible());
        EXPECT_EQ(m_window.frameGeometry(), frame);
        // Re-creating the native window would unmap and remap it on X11.
        EXPECT_EQ(m_window.windowHandle(), handle);
        EXPECT_EQ(m_window.winId(), id);
    }
}

TEST_F(WindowManagerTest, KeepAboveSurvivesHideAndShow) {
    showWindow();
    m_manager->setKeepAbove(m_window, true);
    m_window.hide();
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    EXPECT_TRUE(aboveInWindow(m_window));
    EXPECT_TRUE(aboveInWidget(m_window));
}

TEST_F(WindowManagerTest, KeepAboveOnAHiddenWindowTakesEffectWhenShown) {
    for (const bool showFirst : {false, true}) {
        QWidget window;
        if (showFirst) {
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            window.hide();
        }
        m_manager->setKeepAbove(window, true);
        EXPECT_FALSE(window.isVisible()) << showFirst;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_TRUE(aboveInWindow(window)) << showFirst;
        m_manager->setKeepAbove(window, false);
        EXPECT_FALSE(aboveInWindow(window)) << showFirst;
    }
}

TEST_F(WindowManagerTest, ShowAndActivateBringsAHiddenWindowBack) {
    showWindow();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    m_window.hide();

    m_manager->showAndActivate(m_window);
    EXPECT_TRUE(m_window.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&m_window));
    EXPECT_EQ(QApplication::activeWindow(), &m_window);
}

} // namespace
} // namespace morvane::platform
