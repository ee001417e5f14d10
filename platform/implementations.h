#pragma once
// Factories for the real implementation of each platform effect. Every
// implementation lives in its own .cpp (Qt for windows, clipboard, browser,
// message boxes and processes; the registry once per operating system);
// RealPlatform gathers one of each, and the platform tests build them one by one.

#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/window_manager.h"

#include <memory>

namespace morvane::platform {

std::unique_ptr<WindowManager> makeWindowManager();
std::unique_ptr<Clipboard> makeClipboard();
std::unique_ptr<Shell> makeShell();
std::unique_ptr<MessageBox> makeMessageBox();
std::unique_ptr<Registry> makeRegistry();
std::unique_ptr<Process> makeProcess();

} // namespace morvane::platform
