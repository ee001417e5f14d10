// Status bar: help tips for the controls under the pointer, the clock, the
// link to the maker's site, and the two boxes that pass the focus on.
#include "ui/main/clock_text.h"
#include "ui/main/frm_main.h"

#include "ui/main/help_tips.h"
#include "ui/product.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <array>

namespace morvane::ui {

namespace {

/// Position of `watched` in a control array, or -1.
template <typename Array> int IndexIn(const Array& controls, const QObject* watched) {
    const auto it = std::find(controls.begin(), controls.end(), watched);
    return it == controls.end() ? -1 : static_cast<int>(it - controls.begin());
}

} // namespace

void FrmMain::ConnectStatusBar() {
    for (QCheckBox* box : ChkChoose) {
        box->installEventFilter(this);
    }
    for (QCheckBox* box : ChkOption) {
        box->installEventFilter(this);
    }
    for (QPushButton* button : CmdButton) {
        button->installEventFilter(this);
    }
    PicContainer->installEventFilter(this);
    // A text box's pointer events arrive on its viewport.
    for (TextBox* box : Panes()) {
        box->viewport()->setMouseTracking(true);
        box->viewport()->installEventFilter(this);
    }
    for (QLineEdit* box : {TxtLineTip, TxtTimeTip, TxtHelpTip}) {
        box->installEventFilter(this);
    }
    Picbottom->installEventFilter(this);
    // Pointer events over the panes, the panel and the status bar belong to
    // those controls. Without this, every move or press they leave unhandled
    // would bubble up to the window and count as one on its background: the
    // splitter tip would replace the panel's tip and a press on the panel
    // would start a splitter drag.
    for (QWidget* w : {static_cast<QWidget*>(TxtTop1), static_cast<QWidget*>(Txttop),
                       static_cast<QWidget*>(TxtBottom1), static_cast<QWidget*>(TxtBottom),
                       PicContainer, Picbottom}) {
        w->setAttribute(Qt::WA_NoMousePropagation);
    }
    connect(TimStatuBar, &QTimer::timeout, this, &FrmMain::TimStatuBar_Timer);
}

bool FrmMain::FilterStatusEvent(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: {
        if (const int i = IndexIn(CmdButton, watched); i >= 0) {
            CmdButton_MouseMove(i);
        } else if (const int j = IndexIn(ChkChoose, watched); j >= 0) {
            ChkChoose_MouseMove(j);
        } else if (const int k = IndexIn(ChkOption, watched); k >= 0) {
            ChkOption_MouseMove(k);
        } else if (watched == PicContainer) {
            // A move a button left unhandled also reaches the panel: only
            // the panel's own background counts.
            const auto* move = static_cast<QMouseEvent*>(event);
            if (PicContainer->childAt(move->position().toPoint()) == nullptr) {
                PicContainer_MouseMove();
            }
        } else {
            for (const TextBox* box : Panes()) {
                if (watched == box->viewport()) {
                    TextBox_MouseMove(box);
                    break;
                }
            }
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        // A click: the left button released over the box it was pressed on
        // (a release always goes to the control that took the press).
        const auto* release = static_cast<QMouseEvent*>(event);
        if (watched == TxtLineTip && release->button() == Qt::LeftButton &&
            TxtLineTip->rect().contains(release->position().toPoint())) {
            TxtLineTip_Click();
        }
        return false;
    }
    case QEvent::FocusIn:
        // Consumed: the box must not start its caret or select its text
        // after the focus has already gone on.
        if (watched == TxtTimeTip) {
            TxtTimeTip_GotFocus();
            return true;
        }
        if (watched == TxtHelpTip) {
            TxtHelpTip_GotFocus();
            return true;
        }
        return false;
    case QEvent::FocusOut:
        // Only a move to another control ends the hand-over; the window
        // losing activation (a dialog, another program) does not.
        if (watched == Picbottom) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                m_focusPassedBy = nullptr;
            }
        }
        return false;
    default:
        return false;
    }
}

bool FrmMain::focusNextPrevChild(bool next) {
    // The status bar itself has no place in the keyboard order: a Tab there
    // carries on from the clock or tip box that handed the focus over, so
    // the order runs on to CmdButton(kAbout) and back past the link.
    if (m_focusPassedBy != nullptr && QApplication::focusWidget() == Picbottom) {
        if (QWidget* to = NextInTabOrder(m_focusPassedBy, next)) {
            to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QWidget::focusNextPrevChild(next);
}

QWidget* FrmMain::NextInTabOrder(QWidget* from, bool next) const {
    // The same test the toolkit applies: takes Tab focus, shown, enabled.
    for (QWidget* w = from;;) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == nullptr || w == from) {
            return nullptr;
        }
        if (w->window() == this && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->isVisibleTo(this) && w->isEnabled() && w->focusProxy() == nullptr) {
            return w;
        }
    }
}

void FrmMain::ShowHelpTip(const QString& tip) {
    HelpTipText = tip;
    TxtHelpTip->setText(QString::fromUtf16(kTipPrefix) + HelpTipText);
}

void FrmMain::ChkChoose_MouseMove(int Index) {
    ShowHelpTip(QString::fromUtf16(kChooseTips.at(static_cast<std::size_t>(Index))));
}

void FrmMain::ChkOption_MouseMove(int Index) {
    ShowHelpTip(QString::fromUtf16(kOptionTips.at(static_cast<std::size_t>(Index))));
}

void FrmMain::CmdButton_MouseMove(int Index) {
    ShowHelpTip(QString::fromUtf16(kButtonTips.at(static_cast<std::size_t>(Index))));
}

void FrmMain::PicContainer_MouseMove() {
    ShowHelpTip(QString());
}

void FrmMain::TextBox_MouseMove(const TextBox* box) {
    const bool input = box == TxtTop1 || box == Txttop;
    ShowHelpTip(QString::fromUtf16(input ? kInputTip : kOutputTip));
}

void FrmMain::TimStatuBar_Timer() {
    TxtTimeTip->setText(ClockText(QDateTime::currentDateTime(), QLocale::system()));
}

void FrmMain::TxtLineTip_Click() {
    (void)m_platform.shell.openUrl(kMakerUrl);
}

void FrmMain::TxtTimeTip_GotFocus() {
    Picbottom->setFocus();
    m_focusPassedBy = TxtTimeTip;
}

void FrmMain::TxtHelpTip_GotFocus() {
    Picbottom->setFocus();
    m_focusPassedBy = TxtHelpTip;
}

} // namespace morvane::ui
