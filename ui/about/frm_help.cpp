#include "ui/about/frm_help.h"

#include "ui/text_box.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace morvane::ui {

FrmHelp::FrmHelp(platform::Platform& platform)
    : QDialog(nullptr)
    , m_platform(platform) {
    Text1 = new TextBox(this);
    Text1->SetText(WmlExample());
    Text1->hide();
    Form_Load();
}

FrmHelp::~FrmHelp() = default;

void FrmHelp::done(int result) {
    QDialog::done(result);
    Q_EMIT Unloaded();
}

bool FrmHelp::eventFilter(QObject* watched, QEvent* event) {
    return QDialog::eventFilter(watched, event);
}

void FrmHelp::Form_Load() {}
void FrmHelp::cmdOK_Click() {}
void FrmHelp::cmdSysInfo_Click() { StartSysInfo(); }
void FrmHelp::lblDescription_Click(int) {}
void FrmHelp::picIcon_Click() {}

} // namespace morvane::ui
