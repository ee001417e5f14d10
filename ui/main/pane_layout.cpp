#include "ui/main/pane_layout.h"

namespace morvane::ui {

namespace {
// Taken off the client height before the ratio applies; also the gap between
// the upper and the lower boxes.
constexpr float kSplitGap = 10;
// Least height of the upper boxes, and the room the lower boxes need (more
// than this) before they are laid out at all.
constexpr float kMinPane = 400;
// Kept free below the lower boxes when their room is measured.
constexpr float kBelowLower = 280;
// Further taken off the lower boxes' height: they end 5 twips above the
// 315-twip status bar.
constexpr float kLowerTrim = 50;
// The right-hand panel's 1590 twips plus an 80-twip column of background.
constexpr float kPanelReserve = 1670;
} // namespace

PaneLayout LayOutPanes(float ScaleWidth, float ScaleHeight, float SplitRatio) {
    PaneLayout layout;
    float upperHeight = (ScaleHeight - kSplitGap) * SplitRatio;
    if (upperHeight < kMinPane) {
        upperHeight = kMinPane;
    }
    const float width = ScaleWidth - kPanelReserve;
    layout.upper = {0, 0, width, upperHeight};
    const float lowerRoom = ScaleHeight - upperHeight - kBelowLower;
    if (lowerRoom > kMinPane) {
        layout.lower = TwipRect{0, upperHeight + kSplitGap, width, lowerRoom - kLowerTrim};
    }
    return layout;
}

float DragRatio(float Y, float ScaleHeight) {
    float ratio = Y / ScaleHeight;
    if (!(ratio >= 0)) {
        ratio = 0;
    }
    if (ratio > 1) {
        ratio = 1;
    }
    return ratio;
}

} // namespace morvane::ui
