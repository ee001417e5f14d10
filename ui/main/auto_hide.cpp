// Edge auto-hide: while the option is on, Timer1 ticks ten times a second and
// each tick tucks the window away beyond the top, left or right screen edge it
// touches, or pulls it back when the pointer comes onto the strip left showing.
// A tick keeps no state: it decides afresh from the pointer and the frame.
// Every pixel here is a logical one, the unit of the pointer, the screen and
// the moves; on a high-DPI screen the platform turns the window system's
// device pixels into these before the tick sees them.
#include "ui/main/frm_main.h"

#include "ui/twips.h"

#include <QTimer>

namespace morvane::ui {

namespace {

// A rectangle whose top (or left) is at most this many pixels from the screen's
// top (or left) touches that edge.
constexpr int kEdgePixels = 4;
// A right edge within this many twips of the screen width, or beyond, touches it.
constexpr float kRightEdgeTwips = 4;
// What a hidden window leaves on screen.
constexpr float kStripTwips = 40;
// How far beyond the edge a revealed window stands.
constexpr float kRevealTwips = 10;

} // namespace

void FrmMain::ConnectAutoHide() {
    connect(Timer1, &QTimer::timeout, this, &FrmMain::Timer1_Timer);
}

void FrmMain::Timer1_Timer() {
    platform::WindowManager& wm = m_platform.windows;
    const QPoint pointer = wm.cursorPos();
    // right and bottom lie one past the last pixel of the frame, so the strict
    // tests below count the left and top boundary pixels as outside and the
    // last column and row as inside.
    const platform::ScreenRect rect = wm.frameRect(*this);
    if (isMinimized()) {
        return;
    }

    // The outer frame and the screen in twips, all from the same readings, so
    // the tables below compare one consistent picture of the window.
    const float Left = ToTwips(rect.left);
    const float Top = ToTwips(rect.top);
    const float Width = ToTwips(rect.right - rect.left);
    const float Height = ToTwips(rect.bottom - rect.top);
    const float ScreenWidth = ToTwips(wm.primaryScreenWidth());
    const float RightEdge = Left + Width;

    // A new Left or Top in twips becomes the nearest whole pixel; the other
    // coordinate stays where the frame is.
    const auto moveTop = [&](float NewTop) { wm.moveFrame(*this, {rect.left, ToPixels(NewTop)}); };
    const auto moveLeft = [&](float NewLeft) {
        wm.moveFrame(*this, {ToPixels(NewLeft), rect.top});
    };

    const bool pointerOver = rect.left < pointer.x() && pointer.x() < rect.right &&
                             rect.top < pointer.y() && pointer.y() < rect.bottom;
    if (pointerOver) {
        if (Top < 0) {
            moveTop(-kRevealTwips);
            wm.showAndActivate(*this);
        } else if (Left < 0) {
            moveLeft(-kRevealTwips);
            wm.showAndActivate(*this);
        } else if (RightEdge >= ScreenWidth) {
            moveLeft(ScreenWidth - Width + kRevealTwips);
            wm.showAndActivate(*this);
        }
        return;
    }

    if (rect.top <= kEdgePixels) {
        moveTop(kStripTwips - Height);
    } else if (rect.left <= kEdgePixels) {
        moveLeft(kStripTwips - Width);
    } else if (ScreenWidth - kRightEdgeTwips <= RightEdge) {
        moveLeft(ScreenWidth - kStripTwips);
    }
}

} // namespace morvane::ui
