// The close request: the close box, the exit reminder's question, the About
// window that must not outlive the main window, and the end of the session.

#include "shown_window.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::ui {
namespace {

using platform::MessageAnswer;

class Close : public ShownWindow {};

TEST_F(Close, QueryUnloadAsksOnlyWithTheReminderAndRefusesOnlyOnNo) {
    const struct {
        bool reminder;
        MessageAnswer answer;
        bool asked;
        bool cancel;
    } table[] = {{false, MessageAnswer::No, false, false},
                 {false, MessageAnswer::Yes, false, false},
                 {true, MessageAnswer::Yes, true, false},
                 {true, MessageAnswer::No, true, true}};
    for (const auto& row : table) {
        w->ChkChoose[kExitReminder]->setChecked(row.reminder);
        fake.messages.calls.clear();
        fake.messages.answers = {row.answer};
        bool Cancel = false;
        FrmMainProbe::Form_QueryUnload(*w, Cancel);
        EXPECT_EQ(Cancel, row.cancel) << row.reminder;
        ASSERT_EQ(fake.messages.calls.size(), row.asked ? 1u : 0u);
        if (row.asked) {
            const auto& call = fake.messages.calls.front();
            EXPECT_EQ(call.text, QStringLiteral("您真的要退出吗？"));
            EXPECT_EQ(call.title, QStringLiteral("Quorin温馨提示"));
            EXPECT_EQ(call.buttons, platform::MessageButtons::YesNo);
            EXPECT_EQ(call.icon, platform::MessageIcon::Question);
        }
    }
}

TEST_F(Close, CloseBoxWithReminderAndNoKeepsEverything) {
    w->ChkChoose[kExitReminder]->setChecked(true);
    w->TxtTop1->SetText(QStringLiteral("in\r\n"));
    w->TxtBottom1->SetText(QStringLiteral("out\r\n"));
    fake.messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->TxtTop1->Text(), QStringLiteral("in\r\n"));
    EXPECT_EQ(w->TxtBottom1->Text(), QStringLiteral("out\r\n"));
    EXPECT_TRUE(w->ChkChoose[kExitReminder]->isChecked());
    fake.messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(fake.messages.calls.size(), 2u);
}

// The example command leaves the About window loaded and hidden: closing the
// main window takes it along.
TEST_F(Close, HiddenAboutWindowGoesWithTheMainWindow) {
    FrmMainProbe::CmdButton_Click(*w, kWmlExample);
    ASSERT_TRUE(w->HelpLoaded());
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->HelpLoaded());
    EXPECT_TRUE(fake.messages.calls.empty());
}

// Log-off and shutdown: the same request; a refusal cancels the session's end.
TEST_F(Close, SessionEndAsksTheSameQuestion) {
    const struct {
        bool reminder;
        bool mayAsk;
        MessageAnswer answer;
        bool goesOn;
        bool closed;
        int asks;
    } table[] = {
        {false, true, MessageAnswer::Yes, true, true, 0},
        {true, true, MessageAnswer::Yes, true, true, 1},
        {true, true, MessageAnswer::No, false, false, 1},
        // Not allowed to ask: the session ends the program regardless.
        {true, false, MessageAnswer::No, true, false, 0},
    };
    for (const auto& row : table) {
        w = std::make_unique<FrmMain>(fake.platform);
        w->show();
        w->ChkChoose[kExitReminder]->setChecked(row.reminder);
        fake.messages.calls.clear();
        fake.messages.answers = {row.answer};
        int requests = 0;
        const bool goesOn = FrmMainProbe::SessionEnding(*w, [&] {
            ++requests;
            return row.mayAsk;
        });
        EXPECT_EQ(goesOn, row.goesOn) << row.reminder << row.mayAsk;
        EXPECT_EQ(!w->isVisible(), row.closed) << row.reminder << row.mayAsk;
        EXPECT_EQ(static_cast<int>(fake.messages.calls.size()), row.asks);
        // Permission to interact is asked for only when there is a question.
        EXPECT_EQ(requests, row.reminder ? 1 : 0);
    }
}

} // namespace
} // namespace morvane::ui
