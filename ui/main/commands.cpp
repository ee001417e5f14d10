// The eight command buttons.
#include "ui/main/frm_main.h"

#include <QPushButton>

namespace morvane::ui {

void FrmMain::ConnectCommands() {
    for (std::size_t i = 0; i < CmdButton.size(); ++i) {
        connect(CmdButton[i], &QPushButton::clicked, this,
                [this, i] { CmdButton_Click(static_cast<int>(i)); });
    }
}

void FrmMain::CmdButton_Click(int Index) { (void)Index; }

} // namespace morvane::ui
