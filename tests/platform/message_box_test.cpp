// The real QMessageBox, driven headless: a timer waits for the modal box,
// records what it shows and answers it from the keyboard.

#include "platform/implementations.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace morvane::platform {
namespace {

struct Seen {
    bool found = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    QStringList buttons;
    QString defaultButton;
    /// True when the action did not close the box and the test had to.
    bool forcedClose = false;
};

/// Shows a box through the platform and, once it is up, records it and runs
/// act on it. A box that act leaves open is closed after two seconds so a
/// failing case ends instead of hanging.
MessageAnswer showAndAct(MessageBox& messages, QWidget* parent, const QString& text,
                         const QString& title, MessageButtons buttons, MessageIcon icon,
                         const std::function<void(QMessageBox&)>& act, Seen& seen) {
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        poll.stop();
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        seen.modality = box->windowModality();
        for (QAbstractButton* b : box->buttons()) {
            seen.buttons << b->text();
        }
        if (box->defaultButton() != nullptr) {
            seen.defaultButton = box->defaultButton()->text();
        }
        QTimer::singleShot(2000, box, [box, &seen] {
            seen.forcedClose = true;
            box->done(-1);
        });
        act(*box);
    });
    poll.start();
    return messages.show(parent, text, title, buttons, icon);
}

std::function<void(QMessageBox&)> press(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    return [key, mods](QMessageBox& box) {
        // Keys go where a user's would: to the focused button, from which
        // unhandled ones travel up to the box.
        if (!QTest::qWaitForWindowActive(&box)) {
            ADD_FAILURE() << "the box never became active";
        }
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr && box.isAncestorOf(focus) ? focus : &box, key, mods);
    };
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    MessageAnswer answer;
};

class YesNoKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(YesNoKeyTest, AnswersFromTheKeyboard) {
    auto messages = makeMessageBox();
    Seen seen;
    const MessageAnswer answer = showAndAct(
        *messages, nullptr, QStringLiteral("确定退出吗？"), QStringLiteral("确认"),
        MessageButtons::YesNo, MessageIcon::Question, press(GetParam().key, GetParam().mods), seen);
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.forcedClose) << "the key did not close the box";
    EXPECT_EQ(answer, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, YesNoKeyTest,
    ::testing::Values(KeyCase{"Return", Qt::Key_Return, {}, MessageAnswer::Yes},
                      KeyCase{"Enter", Qt::Key_Enter, Qt::KeypadModifier, MessageAnswer::Yes},
                      KeyCase{"Escape", Qt::Key_Escape, {}, MessageAnswer::No},
                      KeyCase{"N", Qt::Key_N, {}, MessageAnswer::No},
                      KeyCase{"AltN", Qt::Key_N, Qt::AltModifier, MessageAnswer::No},
                      KeyCase{"Y", Qt::Key_Y, {}, MessageAnswer::Yes},
                      KeyCase{"AltY", Qt::Key_Y, Qt::AltModifier, MessageAnswer::Yes}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxTest, YesNoShowsChineseButtonsWithYesAsDefault) {
    auto messages = makeMessageBox();
    Seen seen;
    showAndAct(*messages, nullptr, QStringLiteral("确定退出吗？"), QStringLiteral("确认"),
               MessageButtons::YesNo, MessageIcon::Question, press(Qt::Key_Escape), seen);
    EXPECT_EQ(seen.title, QStringLiteral("确认"));
    EXPECT_EQ(seen.text, QStringLiteral("确定退出吗？"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(seen.buttons, (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
    EXPECT_EQ(seen.defaultButton, QStringLiteral("是(&Y)"));
}

TEST(MessageBoxTest, CloseBoxAnswersNo) {
    auto messages = makeMessageBox();
    Seen seen;
    const MessageAnswer answer = showAndAct(
        *messages, nullptr, QStringLiteral("?"), QStringLiteral("确认"), MessageButtons::YesNo,
        MessageIcon::None, [](QMessageBox& box) { box.close(); }, seen);
    EXPECT_FALSE(seen.forcedClose);
    EXPECT_EQ(answer, MessageAnswer::No);
}

TEST(MessageBoxTest, OkBoxHasOneChineseButtonAndNoIcon) {
    auto messages = makeMessageBox();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
        Seen seen;
        const MessageAnswer answer = showAndAct(
            *messages, nullptr, QStringLiteral("此时系统信息不可用"), QStringLiteral("Morvane"),
            MessageButtons::Ok, MessageIcon::None, press(key), seen);
        EXPECT_FALSE(seen.forcedClose) << key;
        EXPECT_EQ(answer, MessageAnswer::Ok);
        EXPECT_EQ(seen.buttons, QStringList{QStringLiteral("确定")});
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.text, QStringLiteral("此时系统信息不可用"));
        EXPECT_EQ(seen.title, QStringLiteral("Morvane"));
    }
}

// A window manager shows a title whole only in a box wider than the title in
// its bold title-bar font plus its icon and three buttons (about 100 pixels
// under openbox and jwm), whatever the box's own text and buttons need.
TEST(MessageBoxTest, IsWideEnoughForItsWholeTitle) {
    auto messages = makeMessageBox();
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    for (const auto& [title, buttons] : {std::pair(u"Quorin温馨提示", MessageButtons::YesNo),
                                         std::pair(u"Morvane", MessageButtons::Ok)}) {
        int width = 0;
        Seen seen;
        showAndAct(
            *messages, nullptr, QStringLiteral("好"), QString::fromUtf16(title), buttons,
            MessageIcon::None, [&width](QMessageBox& box) { width = box.width(), box.done(0); },
            seen);
        EXPECT_GE(width,
                  QFontMetrics(titleFont).horizontalAdvance(QString::fromUtf16(title)) + 100);
    }
}

TEST(MessageBoxTest, ShowsTextAsWrittenOverAParentWindow) {
    QWidget parent;
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    auto messages = makeMessageBox();
    Seen seen;
    const QString markup = QStringLiteral("<b>a &amp; b</b>");
    QWidget* owner = nullptr;
    showAndAct(
        *messages, &parent, markup, QStringLiteral("确认"), MessageButtons::Ok, MessageIcon::None,
        [&owner](QMessageBox& box) {
            owner = box.parentWidget();
            QTest::keyClick(&box, Qt::Key_Return);
        },
        seen);
    EXPECT_EQ(owner, &parent);
    EXPECT_EQ(seen.text, markup);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_FALSE(seen.forcedClose);
}

} // namespace
} // namespace morvane::platform
