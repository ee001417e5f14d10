// Help tips: the pointer over a control writes that control's tip behind the
// prefix, on every move; controls without a tip leave the text alone.

#include "shown_window.h"
#include "ui/main/help_tips.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>
#include <set>
#include <string>

namespace morvane::ui {
namespace {

const QString kPrefix = QStringLiteral("帮助提示:"); // ends in an ASCII colon
const QString kStartSentence = QStringLiteral("将鼠标放到相应控件之上即可查看帮助提示。");

struct TipCase {
    std::string control;
    std::function<QWidget*(FrmMain&)> target; // where the pointer goes
    const char16_t* tip;
};

QWidget* ViewportOf(TextBox* box) {
    return box->viewport();
}

// Every control that has a tip, with its tip from the window's one table.
std::vector<TipCase> TipCases() {
    std::vector<TipCase> cases;
    auto add = [&cases](const char* array, std::size_t count, auto member, const auto& tips) {
        for (std::size_t i = 0; i < count; ++i) {
            cases.push_back({std::string(array) + "(" + std::to_string(i) + ")",
                             [member, i](FrmMain& w) -> QWidget* { return (w.*member)[i]; },
                             tips[i]});
        }
    };
    add("ChkChoose", kChooseTips.size(), &FrmMain::ChkChoose, kChooseTips);
    add("ChkOption", kOptionTips.size(), &FrmMain::ChkOption, kOptionTips);
    add("CmdButton", kButtonTips.size(), &FrmMain::CmdButton, kButtonTips);
    cases.push_back({"TxtTop1", [](FrmMain& w) { return ViewportOf(w.TxtTop1); }, kInputTip});
    cases.push_back(
        {"TxtBottom1", [](FrmMain& w) { return ViewportOf(w.TxtBottom1); }, kOutputTip});
    cases.push_back({"Txttop", [](FrmMain& w) { return ViewportOf(w.Txttop); }, kInputTip});
    cases.push_back({"TxtBottom", [](FrmMain& w) { return ViewportOf(w.TxtBottom); }, kOutputTip});
    cases.push_back({"PicContainer", [](FrmMain& w) { return w.PicContainer; }, u""});
    return cases;
}

// The tips tell the controls apart: no two controls share one, but for the
// two input boxes and the two output boxes, and none is empty.
TEST(TipTable, EveryControlHasATipOfItsOwn) {
    std::set<std::u16string> seen;
    for (const TipCase& c : TipCases()) {
        if (c.control == "Txttop" || c.control == "TxtBottom" || c.control == "PicContainer") {
            continue;
        }
        const std::u16string tip(c.tip);
        EXPECT_FALSE(tip.empty()) << c.control;
        EXPECT_TRUE(seen.insert(tip).second) << c.control << " repeats a tip";
    }
    EXPECT_EQ(seen.size(), kChooseTips.size() + kOptionTips.size() + kButtonTips.size() + 2);
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
