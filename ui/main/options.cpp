// The four options.
#include "ui/main/frm_main.h"

namespace morvane::ui {

void FrmMain::ConnectOptions() {}
void FrmMain::ChkChoose_Click(int Index) { (void)Index; }
void FrmMain::SetOnTop(int IsOnTop) { (void)IsOnTop; }

} // namespace morvane::ui
