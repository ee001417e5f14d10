// Screen pixels from device pixels: the window system answers in device
// pixels (the X server, and Windows for a program aware of each monitor's
// scale), the windows speak the toolkit's logical pixels.

#include "platform/window_manager.h"

#include <QtGlobal>

namespace morvane::platform {

ScreenRect LogicalFromDevice(const QRect& device, qreal ratio, QPoint screenOrigin) {
    if (ratio <= 0) {
        ratio = 1;
    }
    // The toolkit keeps a screen's top-left corner at the same place in both
    // units and scales the distance from it.
    const auto x = [&](int deviceX) {
        return screenOrigin.x() + qRound((deviceX - screenOrigin.x()) / ratio);
    };
    const auto y = [&](int deviceY) {
        return screenOrigin.y() + qRound((deviceY - screenOrigin.y()) / ratio);
    };
    return {x(device.left()), y(device.top()), x(device.left() + device.width()),
            y(device.top() + device.height())};
}

} // namespace morvane::platform
