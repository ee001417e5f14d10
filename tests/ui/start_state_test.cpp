// The main window as it opens.

#include "fake_platform.h"
#include "probe.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace morvane::ui {
namespace {

TEST(MainWindowStart, OptionsPanesAndListsStartAsGiven) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    EXPECT_TRUE(w.ChkChoose[0]->isChecked());
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
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Morvane V1.2  -- Tarnwick[WWW.TARNWICK.EXAMPLE]出品"));
    EXPECT_FLOAT_EQ(w.ScaleWidth(), 10170);
    EXPECT_FLOAT_EQ(w.ScaleHeight(), 8340);
}

} // namespace
} // namespace morvane::ui
