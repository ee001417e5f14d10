// Pane layout and splitter.
#include "ui/main/frm_main.h"

namespace morvane::ui {

void FrmMain::ArrangeTextBoxes() {}
void FrmMain::Form_Resize() {}
void FrmMain::Form_MouseDown(Qt::MouseButtons, float, float) {}
void FrmMain::Form_MouseMove(Qt::MouseButtons, float, float) {}
void FrmMain::Form_MouseUp(Qt::MouseButtons, float, float) {}

} // namespace morvane::ui
