// Status bar: help tips, clock, link.
#include "ui/main/frm_main.h"

namespace morvane::ui {

void FrmMain::ConnectStatusBar() {}
bool FrmMain::FilterStatusEvent(QObject*, QEvent*) { return false; }
void FrmMain::ShowHelpTip(const QString& tip) { (void)tip; }
void FrmMain::ChkChoose_MouseMove(int) {}
void FrmMain::ChkOption_MouseMove(int) {}
void FrmMain::CmdButton_MouseMove(int) {}
void FrmMain::PicContainer_MouseMove() {}
void FrmMain::TextBox_MouseMove(const TextBox*) {}
void FrmMain::TimStatuBar_Timer() {}
void FrmMain::TxtLineTip_Click() {}
void FrmMain::TxtTimeTip_GotFocus() {}
void FrmMain::TxtHelpTip_GotFocus() {}

} // namespace morvane::ui
