#pragma once
// The real implementations for this machine (Linux with X11 through Qt, or
// Windows), owned together so app/main.cpp can hand out one Platform.

#include "platform/platform.h"

#include <memory>

namespace morvane::platform {

class RealPlatform final {
public:
    RealPlatform();
    ~RealPlatform();
    RealPlatform(const RealPlatform&) = delete;
    RealPlatform& operator=(const RealPlatform&) = delete;

    Platform& get() { return *m_platform; }

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    std::unique_ptr<Platform> m_platform;
};

/// Chooses the xcb platform plugin on a Wayland session (through XWayland) so
/// the program can place its own windows; call before QApplication exists.
/// Leaves an explicit QT_QPA_PLATFORM alone.
void preferX11();

} // namespace morvane::platform
