// Edge auto-hide.
#include "ui/main/frm_main.h"

namespace morvane::ui {

void FrmMain::ConnectAutoHide() {}
void FrmMain::Timer1_Timer() {}

} // namespace morvane::ui
