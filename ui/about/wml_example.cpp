// The WML example page.
#include "ui/about/frm_help.h"

namespace morvane::ui {

QString WmlExample() { return {}; }

} // namespace morvane::ui
