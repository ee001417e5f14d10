// The keyboard: Enter clicks the focused command button, and every control
// the focus can land on shows that it has it.

#include "fake_platform.h"
#include "probe.h"
#include "ui/about/frm_help.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace morvane::ui {
namespace {

// Enter from the main keyboard and from the keypad, on every command button
// of a fresh window: each is clicked once. The About window it opens is
// closed as soon as it is up.
TEST(Keyboard, EnterClicksTheFocusedButton) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } keys[] = {{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};
    QTimer closeModal;
    QObject::connect(&closeModal, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    closeModal.start(20);
    for (const auto& key : keys) {
        for (std::size_t i = 0; i < 8; ++i) {
            fakes::FakePlatform fake;
            FrmMain w(fake.platform);
            w.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
            w.TxtTop1->SetText(QStringLiteral("<p>中文</p>"));
            QPushButton* button = w.CmdButton[i];
            SCOPED_TRACE(button->objectName().toStdString() + " key " + std::to_string(key.key));
            button->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(button->hasFocus());
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::keyClick(button, key.key, key.mods);
            EXPECT_EQ(clicked.count(), 1);
            if (i == kGbToUtf) { // the conversion really ran
                EXPECT_EQ(w.TxtBottom1->Text(), QStringLiteral("<p>&#x4E2D;&#x6587;</p>"));
            }
            if (i == kExit) {
                EXPECT_FALSE(w.isVisible());
            }
        }
    }
}

/// Whether `control` looks different in two shots of its window: over its
/// own area and a pixel around it, less the focus stops inside it.
bool Differs(const QImage& before, const QImage& after, const QWidget* control) {
    const QPoint at = control->mapTo(control->window(), QPoint(0, 0));
    QRegion area(QRect(at, control->size()).adjusted(-1, -1, 1, 1));
    for (const QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() != Qt::NoFocus && child->isVisible()) {
            area -= QRect(child->mapTo(control->window(), QPoint(0, 0)), child->size());
        }
    }
    for (const QRect& r : area) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (before.valid(x, y) && before.pixel(x, y) != after.pixel(x, y)) {
                    return true;
                }
            }
        }
    }
    return false;
}

/// Presses Tab in `window` and reports whether the control that got the
/// focus changed its look; the name of that control in `name`.
bool TabShowsFocus(QWidget& window, std::string& name) {
    const QImage before = window.grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    name = now != nullptr ? now->objectName().toStdString() : "nothing";
    return now != nullptr && Differs(before, window.grab().toImage(), now);
}

class FocusMarks : public ::testing::Test {
protected:
    void SetUp() override {
        // A steady caret: the text boxes' mark is their caret.
        m_flash = QGuiApplication::styleHints()->cursorFlashTime();
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
    void TearDown() override { QGuiApplication::styleHints()->setCursorFlashTime(m_flash); }

private:
    int m_flash = 0;
};

// Round the main window's Tab order: each stop shows the focus; the clock and
// help-tip boxes, which hold no focus, are passed over; the status bar shows
// the focus a click on them hands it.
TEST_F(FocusMarks, EveryStopOfTheMainWindowShowsTheFocus) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_TRUE(w.TxtTop1->hasFocus());
    std::vector<std::string> stops;
    for (int i = 0; i < 40; ++i) {
        std::string name;
        EXPECT_TRUE(TabShowsFocus(w, name)) << name;
        stops.push_back(name);
        if (w.TxtTop1->hasFocus()) {
            break;
        }
    }
    const std::vector<std::string> expected = {
        "TxtBottom1",   "ChkChoose(0)", "ChkChoose(1)",  "ChkChoose(2)",  "ChkChoose(3)",
        "CmdButton(0)", "CmdButton(1)", "CmdButton(2)",  "CmdButton(3)",  "CmdButton(4)",
        "CmdButton(5)", "CmdButton(6)", "ComboColor(0)", "ComboColor(1)", "ComboColor(2)",
        "ChkOption(1)", "ChkOption(0)", "ChkOption(2)",  "TxtLineTip",    "CmdButton(7)",
        "TxtTop1"};
    EXPECT_EQ(stops, expected);

    for (QLineEdit* box : {w.TxtTimeTip, w.TxtHelpTip}) {
        w.TxtLineTip->setFocus(Qt::TabFocusReason);
        const QImage before = w.grab().toImage();
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_TRUE(w.Picbottom->hasFocus()) << box->objectName().toStdString();
        EXPECT_TRUE(Differs(before, w.grab().toImage(), w.Picbottom))
            << box->objectName().toStdString();
    }
}

TEST_F(FocusMarks, EveryStopOfTheAboutWindowShowsTheFocus) {
    fakes::FakePlatform fake;
    FrmHelp help(fake.platform);
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    ASSERT_TRUE(help.cmdOK->hasFocus());
    for (const char* expected : {"picIcon", "cmdSysInfo", "cmdOK"}) {
        std::string name;
        EXPECT_TRUE(TabShowsFocus(help, name)) << name;
        EXPECT_EQ(name, expected);
    }
}

} // namespace
} // namespace morvane::ui
