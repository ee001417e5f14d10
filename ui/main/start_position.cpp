// Where the main window first shows: centred on the screen's available
// area, with its title bar on screen however large the window is.

#include "ui/main/frm_main.h"

#include <QScreen>
#include <QTimer>

namespace morvane::ui {

namespace {

// How often, and how many milliseconds apart, a window shown before its frame
// was known looks for the frame (two seconds in all).
constexpr int kStartFrameChecks = 40;
constexpr int kStartFrameInterval = 50;

// Whether Qt knows the window manager's frame around the client area: a frame
// larger than the client area and around it. (Until the manager reports its
// frame, Qt gives the client area itself, and while the manager is still
// framing the window it may give a frame that does not even hold the client.)
bool FrameKnown(const QRect& frame, const QRect& client) {
    return frame.size() != client.size() && frame.contains(client);
}

// Where the outer frame's top-left corner goes when the window first shows:
// centred in the screen's available area. A frame taller than the area (a
// small screen at a high scale) starts at the area's top instead, and one
// wider than the area with its right end at the area's right edge, where the
// close box sits on the common desktops: the title bar stays on screen, to
// move the window by and to close it, and the window keeps its size.
QPoint StartPosition(const QRect& area, const QSize& frame) {
    QPoint topLeft = area.center() - QPoint(frame.width() / 2, frame.height() / 2);
    if (frame.height() > area.height()) {
        topLeft.setY(area.top());
    }
    if (frame.width() > area.width()) {
        topLeft.setX(area.left() + area.width() - frame.width());
    }
    return topLeft;
}

} // namespace

void FrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        if (const QScreen* s = screen()) {
            const QRect frame = frameGeometry();
            const bool framed = FrameKnown(frame, geometry());
            move(StartPosition(s->availableGeometry(), frame.size()));
            // Until an X11 window manager has framed the window, Qt knows no
            // frame: the frame is the client area, which then stands where
            // the frame was meant to, and the title bar lands above it.
            m_startFramed = framed;
            // The manager reports its frame a moment after mapping the window,
            // with no event to the window for it: look again a few times.
            CheckStartFrame(kStartFrameChecks);
        }
    }
}

void FrmMain::CheckStartFrame(int triesLeft) {
    if (m_startFramed) {
        return;
    }
    const QScreen* s = screen();
    const QRect frame = frameGeometry();
    if (s == nullptr || !FrameKnown(frame, geometry())) {
        // No frame known yet (or none at all, without a window manager).
        if (triesLeft > 0) {
            QTimer::singleShot(kStartFrameInterval, this,
                               [this, triesLeft] { CheckStartFrame(triesLeft - 1); });
        }
        return;
    }
    m_startFramed = true;
    // A window that fits stays where it was centred; one too large for the
    // area is placed again by its real frame, so its title bar is on screen.
    const QRect area = s->availableGeometry();
    if (!area.contains(frame)) {
        move(StartPosition(area, frame.size()));
    }
}

} // namespace morvane::ui
