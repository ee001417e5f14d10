// The four options: word wrap (which pane pair is shown), keep on top,
// auto-hide (the edge watch's timer) and the exit reminder.
#include "ui/main/frm_main.h"

#include "ui/pane_wait_cursor.h"
#include "ui/text_box.h"

#include <QCheckBox>
#include <QTimer>

namespace morvane::ui {

namespace {

// Edge-watch period while auto-hide is on, in milliseconds.
constexpr int kAutoHideInterval = 100;

// Carries the text of the box that was shown into the box about to be shown,
// as one step on that box's undo stack. A box that already holds the same
// text keeps it as it is (switching off and on again without an edit costs
// nothing and adds no step).
void HandOver(const TextBox* from, TextBox* to) {
    const QString text = from->Text();
    if (to->Text() != text) {
        to->SetText(text);
    }
}

// Carries the texts of the pane pair that was shown into the pair about to be
// shown, hides the first pair and shows the second. The boxes that go hidden
// keep their texts.
void SwitchPair(PanePair from, PanePair to) {
    PaneWaitCursor wait;
    wait.Expect(PaneWaitCursor::Chars(from.input) + PaneWaitCursor::Chars(from.output));
    HandOver(from.input, to.input);
    from.input->hide();
    to.input->show();
    HandOver(from.output, to.output);
    from.output->hide();
    to.output->show();
}

} // namespace

void FrmMain::ConnectOptions() {
    // The handler runs on every change of a box's state, also one the program
    // makes (the About command unticks keep-on-top this way).
    for (std::size_t i = 0; i < ChkChoose.size(); ++i) {
        connect(ChkChoose[i], &QCheckBox::toggled, this,
                [this, i] { ChkChoose_Click(static_cast<int>(i)); });
    }
}

void FrmMain::ChkChoose_Click(int Index) {
    if (Index < 0 || Index >= static_cast<int>(ChkChoose.size())) {
        return;
    }
    const int Value = ChkChoose[static_cast<std::size_t>(Index)]->isChecked() ? 1 : 0;
    switch (Index) {
    case kWordWrap: // word wrap
        if (Value == 1) {
            SwitchPair({Txttop, TxtBottom}, {TxtTop1, TxtBottom1});
        } else {
            SwitchPair({TxtTop1, TxtBottom1}, {Txttop, TxtBottom});
        }
        break;
    case kKeepOnTop: // keep on top
        if (Value == 1) {
            SetOnTop(1);
        }
        if (Value == 0) {
            SetOnTop(0);
        }
        break;
    case kAutoHide: // auto-hide: a QTimer with interval 0 would fire on every pass of
                    // the event loop, so "0" also stops it
        if (Value == 1) {
            Timer1->setInterval(kAutoHideInterval);
            Timer1->start();
        }
        if (Value == 0) {
            Timer1->stop();
            Timer1->setInterval(0);
        }
        break;
    default: // the exit reminder is read by the close request
        break;
    }
    // Back to typing in the input box; while the non-wrapping pair is shown
    // that box is hidden and the focus stays on the option.
    if (TxtTop1->isVisible()) {
        TxtTop1->setFocus();
    }
}

void FrmMain::SetOnTop(int IsOnTop) {
    // Position and size stay as they are; only the stacking layer changes.
    m_platform.windows.setKeepAbove(*this, IsOnTop == 1);
}

} // namespace morvane::ui
