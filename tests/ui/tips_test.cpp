// Help tips: the pointer over a control writes that control's tip behind the
// prefix, on every move; controls without a tip leave the text alone.

#include "shown_window.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace morvane::ui {
namespace {

const QString kPrefix = QStringLiteral("帮助提示:"); // ends in an ASCII colon
const QString kStartSentence = QStringLiteral("将鼠标放到相应控件之上即可查看帮助提示。");

struct TipCase {
    const char* control;
    std::function<QWidget*(FrmMain&)> target; // where the pointer goes
    const char16_t* tip;
};

QWidget* ViewportOf(TextBox* box) {
    return box->viewport();
}

const std::vector<TipCase>& TipCases() {
    static const std::vector<TipCase> cases = {
        {"ChkChoose(0)", [](FrmMain& w) { return w.ChkChoose[kWordWrap]; },
         u"可以选择文本框是否自动换行,默认自动换行。"},
        {"ChkChoose(1)", [](FrmMain& w) { return w.ChkChoose[kKeepOnTop]; },
         u"使程序在所有窗口最上面,默认不是窗体最前。"},
        {"ChkChoose(2)", [](FrmMain& w) { return w.ChkChoose[kAutoHide]; },
         u"当你选择了此项,当窗体靠近屏幕边缘时,会自动隐藏,就像QQ那样。"},
        {"ChkChoose(3)", [](FrmMain& w) { return w.ChkChoose[kExitReminder]; },
         u"选择此项,可以在关闭时,弹出询问窗口,减免操作失误而丢失数据。"},
        {"ChkOption(0)", [](FrmMain& w) { return w.ChkOption[kColourText]; },
         u"选中此项，设置的颜色对文本框有效。"},
        {"ChkOption(1)", [](FrmMain& w) { return w.ChkOption[kColourWindow]; },
         u"选中此项，设置的颜色对窗体有效。"},
        {"ChkOption(2)", [](FrmMain& w) { return w.ChkOption[kColourButtons]; },
         u"选中此项，设置的颜色对按钮有效。"},
        {"CmdButton(0)", [](FrmMain& w) { return w.CmdButton[kGbToUtf]; },
         u"将GB2312编码形式的代码转换成UTF-8形式。"},
        {"CmdButton(1)", [](FrmMain& w) { return w.CmdButton[kUtfToGb]; },
         u"将UTF-8编码形式的代码转换成GB2312形式。"},
        {"CmdButton(2)", [](FrmMain& w) { return w.CmdButton[kSwap]; },
         u"将左侧上下文本框中的内容互换。"},
        {"CmdButton(3)", [](FrmMain& w) { return w.CmdButton[kWmlExample]; },
         u"显示代码事例，可供参考。"},
        // The one tip without a closing full stop.
        {"CmdButton(4)", [](FrmMain& w) { return w.CmdButton[kCopyResult]; },
         u"复制左侧下边文本框中的代码"},
        {"CmdButton(5)", [](FrmMain& w) { return w.CmdButton[kClear]; },
         u"清空文本框中的所有内容。"},
        {"CmdButton(6)", [](FrmMain& w) { return w.CmdButton[kExit]; },
         u"退出程序，假如您选择了|退出时提醒我|退出时将提醒是否退出。"},
        {"CmdButton(7)", [](FrmMain& w) { return w.CmdButton[kAbout]; }, u"查看关于本程序的说明。"},
        {"TxtTop1", [](FrmMain& w) { return ViewportOf(w.TxtTop1); },
         u"此处显示的是需要被转码的内容。"},
        {"TxtBottom1", [](FrmMain& w) { return ViewportOf(w.TxtBottom1); },
         u"此处显示的是转码后的内容。"},
        {"Txttop", [](FrmMain& w) { return ViewportOf(w.Txttop); },
         u"此处显示的是需要被转码的内容。"},
        {"TxtBottom", [](FrmMain& w) { return ViewportOf(w.TxtBottom); },
         u"此处显示的是转码后的内容。"},
        {"PicContainer", [](FrmMain& w) { return w.PicContainer; }, u""},
    };
    return cases;
}

class Tips : public ShownWindow {
protected:
    // The non-wrapping pair is hidden at start; show it in the wrapping
    // pair's place so the pointer can reach it.
    void ShowNonWrappingPair() {
        w->TxtTop1->hide();
        w->TxtBottom1->hide();
        w->Txttop->show();
        w->TxtBottom->show();
    }
};

TEST_F(Tips, EveryControlWithATipShowsItBehindThePrefix) {
    for (const TipCase& c : TipCases()) {
        SCOPED_TRACE(c.control);
        QWidget* target = c.target(*w);
        if (!target->isVisible()) {
            ShowNonWrappingPair();
        }
        PointAt(target);
        const QString tip = QString::fromUtf16(c.tip);
        EXPECT_EQ(w->TxtHelpTip->text(), kPrefix + tip);
        EXPECT_EQ(FrmMainProbe::HelpTipText(*w), tip);
    }
}

TEST_F(Tips, ButtonFourShowsTheCopyTipWithoutAFullStop) {
    PointAt(w->CmdButton[kCopyResult]);
    EXPECT_EQ(w->TxtHelpTip->text(), QStringLiteral("帮助提示:复制左侧下边文本框中的代码"));
}

TEST_F(Tips, TheTipIsWrittenOnEveryMoveNotOnlyOnEntering) {
    PointAt(w->CmdButton[kGbToUtf]);
    w->TxtHelpTip->setText(QStringLiteral("something else"));
    const QPoint p = FreePoint(w->CmdButton[kGbToUtf]);
    QTest::mouseMove(w->CmdButton[kGbToUtf], p + QPoint(3, 1));
    EXPECT_EQ(w->TxtHelpTip->text(),
              kPrefix + QStringLiteral("将GB2312编码形式的代码转换成UTF-8形式。"));
}

TEST_F(Tips, ThePanelBackgroundGivesTheBarePrefixButItsButtonsDoNot) {
    PointAt(w->CmdButton[kWmlExample]);
    PointAt(w->PicContainer);
    EXPECT_EQ(w->TxtHelpTip->text(), kPrefix);
    EXPECT_TRUE(FrmMainProbe::HelpTipText(*w).isEmpty());
    // Moves over a button reach the panel too; they must still give the
    // button's tip, not the panel's.
    PointAt(w->CmdButton[kClear]);
    EXPECT_EQ(w->TxtHelpTip->text(), kPrefix + QStringLiteral("清空文本框中的所有内容。"));
}

TEST_F(Tips, ControlsWithoutATipLeaveTheShownTip) {
    const std::vector<std::pair<const char*, QWidget*>> silent = {
        {"FrameOption", w->FrameOption},
        {"FrameColor", w->FrameColor},
        {"ComboColor(0)", w->ComboColor[kRed]},
        {"ComboColor(1)", w->ComboColor[kGreen]},
        {"ComboColor(2)", w->ComboColor[kBlue]},
        {"Label1", w->Label1},
        {"Picbottom", w->Picbottom},
        {"TxtHelpTip", w->TxtHelpTip},
        {"TxtTimeTip", w->TxtTimeTip},
        {"TxtLineTip", w->TxtLineTip},
        {"Picjiao", w->Picjiao},
    };
    for (const auto& [name, control] : silent) {
        SCOPED_TRACE(name);
        PointAt(w->CmdButton[kSwap]);
        const QString shown = w->TxtHelpTip->text();
        PointAt(control);
        EXPECT_EQ(w->TxtHelpTip->text(), shown);
        EXPECT_EQ(FrmMainProbe::HelpTipText(*w), QStringLiteral("将左侧上下文本框中的内容互换。"));
    }
}

TEST_F(Tips, TheStartSentenceStaysUntilTheFirstControlWithATip) {
    EXPECT_EQ(w->TxtHelpTip->text(), kStartSentence);
    PointAt(w->FrameColor);
    PointAt(w->Label1);
    EXPECT_EQ(w->TxtHelpTip->text(), kStartSentence);
    PointAt(w->ChkOption[kColourWindow]);
    EXPECT_EQ(w->TxtHelpTip->text(), kPrefix + QStringLiteral("选中此项，设置的颜色对窗体有效。"));
}

TEST_F(Tips, TheWindowBackgroundShowsTheSplitterTip) {
    // The 80-twip column between the text area and the panel.
    const QPoint column(w->PicContainer->x() - 3, w->height() / 2);
    ASSERT_EQ(w->childAt(column), nullptr);
    QTest::mouseMove(w.get(), column);
    QTest::mouseMove(w.get(), column + QPoint(0, 5));
    EXPECT_EQ(w->TxtHelpTip->text(),
              kPrefix + QStringLiteral("可以按下鼠标左键，拖动鼠标改变文本框的相对大小。"));
    // The panes and the panel do not pass their moves on to the background.
    PointAt(w->TxtTop1->viewport());
    EXPECT_EQ(FrmMainProbe::HelpTipText(*w), QStringLiteral("此处显示的是需要被转码的内容。"));
    PointAt(w->PicContainer);
    EXPECT_TRUE(FrmMainProbe::HelpTipText(*w).isEmpty());
}

} // namespace
} // namespace morvane::ui
