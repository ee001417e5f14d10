#include "platform/real_platform.h"

namespace morvane::platform {

struct RealPlatform::Parts {};

RealPlatform::RealPlatform() : m_parts(std::make_unique<Parts>()) {}
RealPlatform::~RealPlatform() = default;

void preferX11() {}

} // namespace morvane::platform
