#pragma once
// Every effect outside the program's own windows, gathered in one bundle that
// the windows receive at construction. app/ passes the real implementations,
// tests pass recording fakes.

#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/window_manager.h"

namespace morvane::platform {

struct Platform {
    WindowManager& windows;
    Clipboard& clipboard;
    Shell& shell;
    MessageBox& messages;
    Registry& registry;
    Process& process;
};

} // namespace morvane::platform
