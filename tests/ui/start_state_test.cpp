// The main window as it opens.

#include "fake_platform.h"
#include "probe.h"
#include "ui/back_color.h"
#include "ui/product.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

namespace morvane::ui {
namespace {

TEST(MainWindowStart, OptionsPanesAndListsStartAsGiven) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    EXPECT_TRUE(w.ChkChoose[kWordWrap]->isChecked());
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(w.ChkChoose[static_cast<std::size_t>(i)]->isChecked()) << i;
    }
    for (QCheckBox* box : w.ChkOption) {
        EXPECT_TRUE(box->isChecked());
    }
    for (QComboBox* list : w.ComboColor) {
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_TRUE(list->currentText().isEmpty());
        EXPECT_EQ(list->count(), 26);
        EXPECT_EQ(list->itemText(24), QStringLiteral("240"));
        EXPECT_EQ(list->itemText(25), QStringLiteral("255"));
    }
    EXPECT_FALSE(w.TxtTop1->isHidden());
    EXPECT_FALSE(w.TxtBottom1->isHidden());
    EXPECT_TRUE(w.Txttop->isHidden());
    EXPECT_TRUE(w.TxtBottom->isHidden());
    for (TextBox* box : {w.TxtTop1, w.TxtBottom1, w.Txttop, w.TxtBottom}) {
        EXPECT_TRUE(box->Text().isEmpty());
    }
    EXPECT_EQ(w.TxtHelpTip->text(), QStringLiteral("将鼠标放到相应控件之上即可查看帮助提示。"));
    EXPECT_EQ(w.TxtTimeTip->text(), QStringLiteral("现在时间："));
    EXPECT_TRUE(w.TimStatuBar->isActive());
    EXPECT_EQ(w.TimStatuBar->interval(), 1000);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FLOAT_EQ(FrmMainProbe::SplitRatio(w), 0.5f);
    EXPECT_FALSE(FrmMainProbe::SplitDragging(w));
    EXPECT_TRUE(FrmMainProbe::HelpTipText(w).isEmpty());
}

TEST(MainWindowStart, CaptionAndClientSize) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    EXPECT_EQ(w.windowTitle(),
              QStringLiteral("Morvane V%1.%2  -- Tarnwick[WWW.TARNWICK.EXAMPLE]出品")
                  .arg(kVersionMajor)
                  .arg(kVersionMinor));
    EXPECT_FLOAT_EQ(w.ScaleWidth(), 10170);
    EXPECT_FLOAT_EQ(w.ScaleHeight(), 8340);
}

// Controls that no later step moves: they stand where they were created.
TEST(MainWindowStart, ControlsStandAtTheirPlacesInTwips) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    const struct {
        QWidget* control;
        TwipRect place;
    } table[] = {
        {w.FrameOption, {90, 0, 1485, 1425}},
        {w.ChkChoose[kWordWrap], {60, 210, 1395, 255}},
        {w.ChkChoose[kExitReminder], {60, 1110, 1395, 255}},
        {w.CmdButton[kGbToUtf], {100, 1560, 1455, 495}},
        {w.CmdButton[kClear], {100, 4560, 1455, 495}},
        {w.CmdButton[kExit], {120, 5160, 1455, 495}},
        {w.CmdButton[kAbout], {120, 5760, 1455, 495}},
        {w.FrameColor, {80, 6330, 1480, 1635}},
        {w.ComboColor[kBlue], {390, 930, 1065, 300}},
        {w.Label1, {90, 300, 225, 1005}},
        {w.ChkOption[kColourWindow], {80, 1290, 435, 255}},
        {w.ChkOption[kColourText], {550, 1290, 435, 255}},
        {w.ChkOption[kColourButtons], {1000, 1290, 435, 255}},
        {w.TxtHelpTip, {3900, 30, 5175, 285}},
        {w.TxtTimeTip, {1695, 30, 2175, 285}},
        {w.TxtLineTip, {0, 30, 1665, 285}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Geometry(row.control), row.place) << row.control->objectName().toStdString();
        // Qt got the same place, rounded to whole pixels (15 twips each).
        EXPECT_EQ(row.control->pos(), QPoint(ToPixels(row.place.Left), ToPixels(row.place.Top)))
            << row.control->objectName().toStdString();
    }
}

TEST(MainWindowStart, CaptionsAndAccessKeys) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    const QStringList captions = {
        QStringLiteral("&GB2312转UTF-8"), QStringLiteral("&UTF-8转GB2312"),
        QStringLiteral("代码互换(&R)"),   QStringLiteral("&WML源码实例"),
        QStringLiteral("复制结果(&C)"),   QStringLiteral("清空代码(&D)"),
        QStringLiteral("退出(&E)"),       QStringLiteral("关于本软件(&A)")};
    for (std::size_t i = 0; i < w.CmdButton.size(); ++i) {
        EXPECT_EQ(w.CmdButton[i]->text(), captions[static_cast<qsizetype>(i)]) << i;
    }
    const QStringList options = {QStringLiteral("启用自动换行"), QStringLiteral("保持窗体最前"),
                                 QStringLiteral("自动隐藏窗体"), QStringLiteral("退出时提醒我")};
    for (std::size_t i = 0; i < w.ChkChoose.size(); ++i) {
        EXPECT_EQ(w.ChkChoose[i]->text(), options[static_cast<qsizetype>(i)]) << i;
    }
    EXPECT_EQ(w.FrameOption->title(), QStringLiteral("选项设置"));
    EXPECT_EQ(w.FrameColor->title(), QStringLiteral("背景颜色选择"));
}

TEST(MainWindowStart, PanesWrapOrScrollAndAcceptDrops) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    for (TextBox* box : {w.TxtTop1, w.TxtBottom1}) {
        EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    for (TextBox* box : {w.Txttop, w.TxtBottom}) {
        EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }
    for (TextBox* box : {w.TxtTop1, w.TxtBottom1, w.Txttop, w.TxtBottom}) {
        EXPECT_TRUE(box->acceptDrops()) << box->objectName().toStdString();
        EXPECT_FALSE(box->isReadOnly()) << box->objectName().toStdString();
        EXPECT_EQ(BackColor(box), RGB(255, 255, 192));
    }
}

// The window's own text colour is the panes' background colour: it must stay
// the window's, or typed text and captions vanish into their backgrounds.
TEST(MainWindowStart, TextStandsOutFromItsBackground) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    const QColor windowFore(255, 255, 192);
    for (TextBox* box : {w.TxtTop1, w.TxtBottom1, w.Txttop, w.TxtBottom}) {
        EXPECT_NE(box->palette().color(QPalette::Text), windowFore)
            << box->objectName().toStdString();
    }
    for (QWidget* caption :
         std::initializer_list<QWidget*>{w.ChkChoose[kWordWrap], w.ChkChoose[kExitReminder],
                                         w.FrameOption, w.TxtTimeTip, w.TxtHelpTip}) {
        EXPECT_EQ(caption->palette().color(QPalette::WindowText),
                  QApplication::palette(caption).color(QPalette::WindowText))
            << caption->objectName().toStdString();
        EXPECT_EQ(caption->palette().color(QPalette::Text),
                  QApplication::palette(caption).color(QPalette::Text))
            << caption->objectName().toStdString();
    }
    EXPECT_EQ(w.CmdButton[kGbToUtf]->palette().color(QPalette::ButtonText),
              QApplication::palette(w.CmdButton[kGbToUtf]).color(QPalette::ButtonText));
    EXPECT_EQ(w.palette().color(QPalette::WindowText), windowFore);

    // And on screen: a box holding text shows pixels far from its background.
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.TxtTop1->SetText(QStringLiteral("WWWW MMMM 中文中文"));
    const QImage shot = w.TxtTop1->viewport()->grab().toImage();
    int darkest = 255 * 3;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            darkest = std::min(darkest, c.red() + c.green() + c.blue());
        }
    }
    EXPECT_LT(darkest, 255 * 3 / 2);
}

TEST(MainWindowStart, FocusStartsInTheInputBox) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), w.TxtTop1);
}

// The keyboard order as given, hidden boxes included.
std::vector<QWidget*> GivenTabOrder(const FrmMain& w) {
    return {w.TxtTop1,
            w.TxtBottom1,
            w.ChkChoose[kWordWrap],
            w.ChkChoose[kKeepOnTop],
            w.ChkChoose[kAutoHide],
            w.ChkChoose[kExitReminder],
            w.CmdButton[kGbToUtf],
            w.CmdButton[kUtfToGb],
            w.CmdButton[kSwap],
            w.CmdButton[kWmlExample],
            w.CmdButton[kCopyResult],
            w.CmdButton[kClear],
            w.CmdButton[kExit],
            w.ComboColor[kRed],
            w.ComboColor[kGreen],
            w.ComboColor[kBlue],
            w.ChkOption[kColourWindow],
            w.ChkOption[kColourText],
            w.ChkOption[kColourButtons],
            w.TxtBottom,
            w.Txttop,
            w.TxtLineTip,
            w.TxtTimeTip,
            w.TxtHelpTip,
            w.CmdButton[kAbout]};
}

// The keyboard order as set up, hidden boxes included; the clock and help-tip
// boxes, which pass the focus on at once, are no Tab stops.
TEST(MainWindowStart, TabOrderIsTheGivenOne) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    std::vector<QWidget*> expected = GivenTabOrder(w);
    std::vector<QWidget*> chain;
    std::vector<QWidget*> stops;
    QWidget* next = w.TxtTop1;
    do {
        if (std::find(expected.begin(), expected.end(), next) != expected.end()) {
            chain.push_back(next);
        }
        if ((next->focusPolicy() & Qt::TabFocus) != 0) {
            stops.push_back(next);
        }
        next = next->nextInFocusChain();
    } while (next != w.TxtTop1 && chain.size() <= expected.size());
    EXPECT_EQ(chain, expected);
    std::erase_if(expected, [&w](QWidget* c) { return c == w.TxtTimeTip || c == w.TxtHelpTip; });
    EXPECT_EQ(stops, expected);
}

// Tab really walks that order, out of the text boxes and past the hidden pair.
TEST(MainWindowStart, TabKeySkipsHiddenBoxes) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // From the input box up to the status bar; the non-wrapping pair is hidden.
    std::vector<QWidget*> expected = GivenTabOrder(w);
    std::erase_if(expected, [&w](QWidget* c) { return c == w.TxtBottom || c == w.Txttop; });
    expected.erase(expected.begin());
    expected.erase(std::find(expected.begin(), expected.end(), w.TxtLineTip) + 1, expected.end());
    for (QWidget* control : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), control) << control->objectName().toStdString();
    }
    EXPECT_TRUE(w.TxtTop1->Text().isEmpty()); // Tab typed nothing
}

} // namespace
} // namespace morvane::ui
