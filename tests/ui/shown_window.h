#pragma once
// A shown main window over the platform fakes, and pointer helpers, shared by
// the window tests. Pointer events go through the
// window system (QTEST_QPA_MOUSE_HANDLING), so Qt picks the control under the
// pointer and routes the events the way it does for a real mouse.

#ifndef QTEST_QPA_MOUSE_HANDLING
#define QTEST_QPA_MOUSE_HANDLING
#endif

#include "fake_platform.h"
#include "probe.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::ui {

class ShownWindow : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<FrmMain>(fake.platform);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        // Leave no button held for the next test.
        w.reset();
    }

    fakes::FakePlatform fake;
    std::unique_ptr<FrmMain> w;
};

/// A shown main window that is also the active one, for tests of focus and
/// of keyboard and mouse clicks.
class ActiveWindow : public ShownWindow {
protected:
    void SetUp() override {
        ShownWindow::SetUp();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
};

/// A point inside `control` (its own coordinates) that no child covers,
/// nearest the centre.
inline QPoint FreePoint(const QWidget* control) {
    const QPoint centre = control->rect().center();
    QPoint best(-1, -1);
    int bestDistance = -1;
    for (int y = 1; y < control->height() - 1; ++y) {
        for (int x = 1; x < control->width() - 1; ++x) {
            if (control->childAt(x, y) != nullptr) {
                continue;
            }
            const int d = (QPoint(x, y) - centre).manhattanLength();
            if (bestDistance < 0 || d < bestDistance) {
                best = QPoint(x, y);
                bestDistance = d;
            }
        }
    }
    return best;
}

/// Moves the pointer to a free point of `control`, then one pixel on, so the
/// control sees at least one move wherever the pointer was before.
inline void PointAt(QWidget* control) {
    const QPoint p = FreePoint(control);
    ASSERT_GE(p.x(), 0) << control->objectName().toStdString() << " has no free point";
    QTest::mouseMove(control, p);
    for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        const QPoint q = p + step;
        if (control->rect().contains(q) && control->childAt(q) == nullptr) {
            QTest::mouseMove(control, q);
            return;
        }
    }
}

} // namespace morvane::ui
