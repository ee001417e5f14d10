#include "ui/twips.h"

#include <QVariant>
#include <QWidget>

#include <cmath>

namespace morvane::ui {

namespace {
constexpr const char* kTwipProperty = "morvaneTwips";
}

int ToPixels(float twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

bool MoveTwips(QWidget* control, float Left, float Top, float Width, float Height) {
    if (control == nullptr || !(Width >= 0) || !(Height >= 0)) {
        return false;
    }
    control->setProperty(kTwipProperty, QRectF(Left, Top, Width, Height));
    // Round the edges rather than the size so neighbouring controls meet without gaps.
    const int left = ToPixels(Left);
    const int top = ToPixels(Top);
    control->setGeometry(left, top, ToPixels(Left + Width) - left, ToPixels(Top + Height) - top);
    return true;
}

TwipRect Geometry(const QWidget* control) {
    const QVariant stored = control->property(kTwipProperty);
    if (stored.isValid()) {
        const QRectF r = stored.toRectF();
        return {static_cast<float>(r.x()), static_cast<float>(r.y()), static_cast<float>(r.width()),
                static_cast<float>(r.height())};
    }
    const QRect g = control->geometry();
    return {ToTwips(g.x()), ToTwips(g.y()), ToTwips(g.width()), ToTwips(g.height())};
}

} // namespace morvane::ui
