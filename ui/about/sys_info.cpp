// The system-information launcher.
#include "ui/about/frm_help.h"

namespace morvane::ui {

void FrmHelp::StartSysInfo() {}

bool FrmHelp::GetKeyValue(platform::RegKey, const QString&, const QString&, QString&) {
    return false;
}

} // namespace morvane::ui
