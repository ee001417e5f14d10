// Closing the main window: every close request (the close box, the exit
// command, the end of the desktop session) passes Form_QueryUnload, which asks
// first when the exit reminder is ticked.

#include "ui/main/frm_main.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>

namespace morvane::ui {

void FrmMain::ConnectSessionEnd() {
    // Logging off or shutting down asks the same question as the close box.
    // Qt 6 leaves the windows open at that point, so the request is passed on
    // here; a refusal cancels the session's end.
    if (qGuiApp != nullptr) {
        connect(
            qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager& manager) {
                bool granted = false;
                const bool goOn = SessionEnding([&manager, &granted] {
                    granted = manager.allowsInteraction();
                    return granted;
                });
                if (!goOn) {
                    manager.cancel();
                }
                if (granted) {
                    manager.release();
                }
            },
            Qt::DirectConnection);
    }
}

bool FrmMain::SessionEnding(const std::function<bool()>& mayAsk) {
    if (isHidden()) {
        return true; // already closed
    }
    // The question needs the user, which the session manager must allow
    // first; when it does not, the session ends the program without asking.
    if (ChkChoose[kExitReminder]->isChecked() && !mayAsk()) {
        return true;
    }
    return close();
}

void FrmMain::Form_QueryUnload(bool& Cancel) {
    if (ChkChoose[kExitReminder]->isChecked()) {
        const auto answer = m_platform.messages.show(
            this, QStringLiteral("您真的要退出吗？"), QStringLiteral("Quorin温馨提示"),
            platform::MessageButtons::YesNo, platform::MessageIcon::Question);
        if (answer == platform::MessageAnswer::No) {
            Cancel = true;
        }
    }
}

void FrmMain::closeEvent(QCloseEvent* event) {
    bool Cancel = false;
    Form_QueryUnload(Cancel);
    if (Cancel) {
        event->ignore();
        return;
    }
    UnloadHelp();
    event->accept();
}

} // namespace morvane::ui
