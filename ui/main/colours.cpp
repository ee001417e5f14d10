// Colour settings.
#include "ui/main/frm_main.h"

namespace morvane::ui {

void FrmMain::ConnectColours() {}
void FrmMain::ComboColor_Click(int Index) { (void)Index; }

} // namespace morvane::ui
