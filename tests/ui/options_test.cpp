// The four options: word wrap carries the texts between the pane pairs,
// keep-on-top asks the window manager, auto-hide runs the edge watch's timer,
// and the focus goes back to the input box when it can.

#include "shown_window.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace morvane::ui {
namespace {

class Options : public ActiveWindow {
protected:
    void Click(int Index) {
        QCheckBox* box = w->ChkChoose[static_cast<std::size_t>(Index)];
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    bool Shown(const TextBox* box) const { return box->isVisible(); }
};

struct PairTexts {
    const char16_t* input;
    const char16_t* output;
};

// Texts that a careless copy would change: CR LF, lone breaks, a no-break
// space, Chinese, a character outside the basic plane, nothing at all.
const PairTexts kTexts[] = {
    {u"", u""},
    {u"line1\r\nline2\r\n", u"&#x4E2D;\r\n"},
    {u"lone\rcr and lone\nlf", u"tab\there"},
    {u"\u4E2D\u6587 \u00A0nbsp", u"\U0001F600 pair"}, // 中文, a no-break space, an emoji
};

TEST_F(Options, WordWrapOffShowsTheOtherPairWithTheSameTexts) {
    for (const PairTexts& t : kTexts) {
        const QString in = QString::fromUtf16(t.input);
        const QString out = QString::fromUtf16(t.output);
        w->TxtTop1->SetText(in);
        w->TxtBottom1->SetText(out);
        Click(kWordWrap);
        ASSERT_FALSE(w->ChkChoose[kWordWrap]->isChecked());
        EXPECT_TRUE(Shown(w->Txttop) && Shown(w->TxtBottom));
        EXPECT_FALSE(Shown(w->TxtTop1) || Shown(w->TxtBottom1));
        EXPECT_EQ(w->Txttop->Text(), in);
        EXPECT_EQ(w->TxtBottom->Text(), out);
        // The boxes that went hidden keep their texts.
        EXPECT_EQ(w->TxtTop1->Text(), in);
        EXPECT_EQ(w->TxtBottom1->Text(), out);

        // Back on without editing: both texts unchanged.
        Click(kWordWrap);
        ASSERT_TRUE(w->ChkChoose[kWordWrap]->isChecked());
        EXPECT_TRUE(Shown(w->TxtTop1) && Shown(w->TxtBottom1));
        EXPECT_FALSE(Shown(w->Txttop) || Shown(w->TxtBottom));
        EXPECT_EQ(w->TxtTop1->Text(), in);
        EXPECT_EQ(w->TxtBottom1->Text(), out);
    }
}

TEST_F(Options, WordWrapOnBringsBackEditsMadeMeanwhile) {
    w->TxtTop1->SetText(QStringLiteral("old input"));
    w->TxtBottom1->SetText(QStringLiteral("old output"));
    Click(kWordWrap);
    w->Txttop->SetText(QStringLiteral("new input\r\n"));
    w->TxtBottom->setFocus();
    QTest::keyClicks(w->TxtBottom, QStringLiteral("typed"));
    const QString typed = w->TxtBottom->Text();
    ASSERT_TRUE(typed.contains(QStringLiteral("typed")));
    Click(kWordWrap);
    EXPECT_EQ(w->TxtTop1->Text(), QStringLiteral("new input\r\n"));
    EXPECT_EQ(w->TxtBottom1->Text(), typed);
}

// Every option sends the cursor back to the input box while it is shown;
// while the non-wrapping pair is shown the focus stays on the option.
TEST_F(Options, FocusReturnsToTheInputBoxOnlyWhileItIsShown) {
    for (const int Index : {1, 2, 3, 1, 2, 3}) {
        Click(Index);
        EXPECT_EQ(QApplication::focusWidget(), w->TxtTop1) << Index;
    }
    Click(kWordWrap); // word wrap off: TxtTop1 is hidden now
    EXPECT_EQ(QApplication::focusWidget(), w->ChkChoose[kWordWrap]);
    for (const int Index : {3, 2, 1}) {
        Click(Index);
        EXPECT_EQ(QApplication::focusWidget(), w->ChkChoose[static_cast<std::size_t>(Index)])
            << Index;
    }
    Click(kWordWrap); // on again
    EXPECT_EQ(QApplication::focusWidget(), w->TxtTop1);
}

TEST_F(Options, KeepOnTopFollowsTheBox) {
    Click(kKeepOnTop);
    EXPECT_EQ(fake.windows.keepAboveCalls, std::vector<bool>({true}));
    Click(kKeepOnTop);
    EXPECT_EQ(fake.windows.keepAboveCalls, std::vector<bool>({true, false}));
    // A change the program makes runs the same handling.
    w->ChkChoose[kKeepOnTop]->setChecked(true);
    EXPECT_EQ(fake.windows.keepAboveCalls, std::vector<bool>({true, false, true}));
    EXPECT_TRUE(fake.windows.above);
}

TEST_F(Options, SetOnTopPutsTheWindowOnTopOnlyForOne) {
    const struct {
        int IsOnTop;
        bool above;
    } table[] = {{1, true}, {0, false}, {2, false}, {-1, false}, {1, true}, {32767, false}};
    for (const auto& row : table) {
        FrmMainProbe::SetOnTop(*w, row.IsOnTop);
        EXPECT_EQ(fake.windows.keepAboveCalls.back(), row.above) << row.IsOnTop;
    }
    EXPECT_EQ(fake.windows.keepAboveCalls.size(), std::size(table));
}

TEST_F(Options, AutoHideStartsAndStopsTheEdgeWatch) {
    ASSERT_FALSE(w->Timer1->isActive());
    Click(kAutoHide);
    EXPECT_TRUE(w->Timer1->isActive());
    EXPECT_EQ(w->Timer1->interval(), 100);
    Click(kAutoHide);
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_EQ(w->Timer1->interval(), 0);
}

TEST_F(Options, ExitReminderChangesNothingAtOnce) {
    w->TxtTop1->SetText(QStringLiteral("kept"));
    Click(kExitReminder);
    Click(kExitReminder);
    Click(kExitReminder);
    EXPECT_TRUE(w->ChkChoose[kExitReminder]->isChecked());
    EXPECT_TRUE(fake.messages.calls.empty());
    EXPECT_TRUE(fake.windows.keepAboveCalls.empty());
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->TxtTop1->Text(), QStringLiteral("kept"));
}

} // namespace
} // namespace morvane::ui
