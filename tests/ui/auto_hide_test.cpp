// Edge auto-hide: one Timer1 tick over the recording window manager. The fake
// screen is 1280 pixels (19200 twips) wide; the frame is 700 x 600 pixels
// (10500 x 9000 twips) unless a row says otherwise.

#include "fake_platform.h"
#include "probe.h"

#include <QCheckBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace morvane::ui {
namespace {

using platform::ScreenRect;

// Frame of 700 x 600 pixels with its top-left corner at (left, top).
ScreenRect FrameAt(int left, int top) {
    return {left, top, left + 700, top + 600};
}

// A pointer position well away from every frame used below.
constexpr QPoint kAway{640, 795};

struct TickCase {
    const char* name;
    ScreenRect frame;
    QPoint pointer;
    /// The one move expected (outer frame top-left, pixels), if any.
    std::optional<QPoint> move;
    bool activates;
    friend std::ostream& operator<<(std::ostream& os, const TickCase& c) { return os << c.name; }
};

// Hidden positions: 40 twips of the frame stay on screen, which is 2.67 pixels
// and rounds to 3. Revealed positions stand 10 twips (0.67 pixel, rounding to
// 1) beyond the edge.
const TickCase kTickCases[] = {
    // Hiding.
    {"TopThreePixelsHidesUpwards", FrameAt(300, 3), kAway, QPoint(300, 3 - 600), false},
    {"TopAtFourPixelsStillTouches", FrameAt(300, 4), kAway, QPoint(300, 3 - 600), false},
    {"FivePixelsFromTopAndLeftStays", FrameAt(5, 5), kAway, std::nullopt, false},
    {"LeftEdgeHidesLeftwards", FrameAt(3, 100), kAway, QPoint(3 - 700, 100), false},
    {"RightEdgeAtScreenWidthHides", FrameAt(580, 100), kAway, QPoint(1277, 100), false},
    {"RightEdgeBeyondScreenHides", FrameAt(900, 100), kAway, QPoint(1277, 100), false},
    {"RightEdgeOnePixelShortStays", FrameAt(579, 100), kAway, std::nullopt, false},
    {"TopLeftCornerHidesUpwardsOnly", FrameAt(0, 0), kAway, QPoint(0, 3 - 600), false},
    {"TopRightCornerHidesUpwardsOnly", FrameAt(580, 2), kAway, QPoint(580, 3 - 600), false},
    // Wider than the screen: touches left and right; the left edge wins and
    // leaves 40 twips of its 19200 on screen (-19160 twips = -1277.3 pixels).
    {"LeftBeforeRight", {2, 100, 1282, 700}, kAway, QPoint(-1277, 100), false},
    {"BottomEdgeNeverHides", FrameAt(300, 200), QPoint(100, 100), std::nullopt, false},
    {"BelowTheBottomNeverHides", FrameAt(300, 400), QPoint(100, 100), std::nullopt, false},
    {"HiddenAtTopHidesAgain", FrameAt(300, 3 - 600), kAway, QPoint(300, 3 - 600), false},

    // Where the pointer counts as over the frame: right and bottom lie one
    // past the last pixel, so the last column and row are inside and the
    // first column and row (the boundary pixels) outside.
    {"PointerOnTopBoundaryIsOutside", FrameAt(300, 3), QPoint(640, 3), QPoint(300, 3 - 600), false},
    {"PointerOnLeftBoundaryIsOutside", FrameAt(3, 100), QPoint(3, 400), QPoint(3 - 700, 100),
     false},
    {"PointerJustInsideTopStays", FrameAt(300, 3), QPoint(640, 4), std::nullopt, false},
    {"PointerJustInsideLeftStays", FrameAt(3, 100), QPoint(4, 400), std::nullopt, false},
    {"PointerOnLastColumnIsInside", FrameAt(300, 3), QPoint(999, 300), std::nullopt, false},
    {"PointerPastLastColumnIsOutside", FrameAt(300, 3), QPoint(1000, 300), QPoint(300, 3 - 600),
     false},
    {"PointerOnLastRowIsInside", FrameAt(300, 3), QPoint(640, 602), std::nullopt, false},
    {"PointerPastLastRowIsOutside", FrameAt(300, 3), QPoint(640, 603), QPoint(300, 3 - 600), false},

    // Revealing.
    {"RevealAtTop", FrameAt(300, 3 - 600), QPoint(640, 0), QPoint(300, -1), true},
    {"RevealAtLeft", FrameAt(3 - 700, 100), QPoint(1, 400), QPoint(-1, 100), true},
    {"RevealAtRight", FrameAt(1277, 100), QPoint(1279, 400), QPoint(1280 - 700 + 1, 100), true},
    {"RevealInTopCornerAlongTop", FrameAt(3 - 700, 3 - 600), QPoint(1, 1), QPoint(3 - 700, -1),
     true},
    {"RevealedAtTopIsSetAgain", FrameAt(300, -1), QPoint(640, 300), QPoint(300, -1), true},
    {"RevealedAtRightIsSetAgain", FrameAt(581, 100), QPoint(640, 300), QPoint(581, 100), true},
    {"DraggedPartlyOffTopIsPulledBack", FrameAt(300, -250), QPoint(640, 100), QPoint(300, -1),
     true},
    {"DraggedPartlyOffLeftIsPulledBack", FrameAt(-250, 100), QPoint(100, 400), QPoint(-1, 100),
     true},
    {"OverAWindowInsideTheScreenNothing", FrameAt(300, 3), QPoint(640, 300), std::nullopt, false},
    {"OverAWindowAtTopZeroNothing", FrameAt(300, 0), QPoint(640, 300), std::nullopt, false},
    {"OverAWindowAtLeftZeroNothing", FrameAt(0, 100), QPoint(300, 300), std::nullopt, false},
    {"OverAWindowOnePixelShortOfRightNothing", FrameAt(579, 100), QPoint(900, 300), std::nullopt,
     false},
};

class AutoHideTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(AutoHideTick, MovesAndActivatesAsTheTablesSay) {
    const TickCase& c = GetParam();
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    fake.windows.frame = c.frame;
    fake.windows.cursor = c.pointer;

    FrmMainProbe::Timer1_Timer(w);

    std::vector<QPoint> expected;
    if (c.move) {
        expected.push_back(*c.move);
    }
    EXPECT_EQ(fake.windows.moves, expected);
    EXPECT_EQ(fake.windows.activations, c.activates ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Edges, AutoHideTick, ::testing::ValuesIn(kTickCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AutoHide, MinimisedWindowIsNeverMoved) {
    for (const auto& [frame, pointer] :
         {std::pair{FrameAt(300, 3), kAway}, std::pair{FrameAt(300, 3 - 600), QPoint(640, 0)},
          std::pair{FrameAt(1277, 100), QPoint(1279, 400)}}) {
        fakes::FakePlatform fake;
        FrmMain w(fake.platform);
        w.setWindowState(Qt::WindowMinimized);
        fake.windows.frame = frame;
        fake.windows.cursor = pointer;
        FrmMainProbe::Timer1_Timer(w);
        EXPECT_TRUE(fake.windows.moves.empty()) << frame.left << "," << frame.top;
        EXPECT_EQ(fake.windows.activations, 0);
    }
}

TEST(AutoHide, UsesThePrimaryScreenWidth) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    fake.windows.screenWidth = 1920;
    fake.windows.frame = FrameAt(580, 100); // right edge at 1280: well inside
    fake.windows.cursor = kAway;
    FrmMainProbe::Timer1_Timer(w);
    EXPECT_TRUE(fake.windows.moves.empty());

    fake.windows.frame = FrameAt(1220, 100); // right edge at 1920
    FrmMainProbe::Timer1_Timer(w);
    EXPECT_EQ(fake.windows.moves, std::vector<QPoint>{QPoint(1917, 100)});
}

// Hide and reveal at each edge: a frame touching it, the pointer on the strip
// that hiding leaves, and the frames after hiding and after revealing.
struct Cycle {
    ScreenRect start;
    QPoint strip;
    ScreenRect hidden;
    ScreenRect revealed;
};
const Cycle kCycles[] = {
    {FrameAt(300, 2), QPoint(640, 0), FrameAt(300, -597), FrameAt(300, -1)},
    {FrameAt(0, 100), QPoint(0, 400), FrameAt(-697, 100), FrameAt(-1, 100)},
    {FrameAt(580, 100), QPoint(1279, 400), FrameAt(1277, 100), FrameAt(581, 100)},
};

// Whole cycles, each tick reading the frame the previous one left.
TEST(AutoHide, HideThenRevealAtEachEdge) {
    for (const Cycle& c : kCycles) {
        fakes::FakePlatform fake;
        FrmMain w(fake.platform);
        fake.windows.frame = c.start;
        fake.windows.cursor = kAway;
        FrmMainProbe::Timer1_Timer(w);
        EXPECT_EQ(fake.windows.frame, c.hidden) << c.start.left << "," << c.start.top;
        FrmMainProbe::Timer1_Timer(w); // stays hidden
        EXPECT_EQ(fake.windows.frame, c.hidden);

        fake.windows.cursor = c.strip;
        FrmMainProbe::Timer1_Timer(w);
        EXPECT_EQ(fake.windows.frame, c.revealed);
        EXPECT_EQ(fake.windows.activations, 1);

        fake.windows.cursor = kAway;
        FrmMainProbe::Timer1_Timer(w);
        EXPECT_EQ(fake.windows.frame, c.hidden);
        EXPECT_EQ(fake.windows.activations, 1);
    }
}

// The same cycles on a high-DPI screen, where the X server counts the frame in
// device pixels and everything else is logical: the window hides and comes
// back at the same logical places at every scale, leaves its 3 logical pixels
// on screen, and a window in the middle of the screen stays where it is.
TEST(AutoHide, SameCyclesAtEveryScale) {
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        const auto toDevice = [ratio](const ScreenRect& r) {
            return QRect(QPoint(qRound(r.left * ratio), qRound(r.top * ratio)),
                         QPoint(qRound(r.right * ratio) - 1, qRound(r.bottom * ratio) - 1));
        };
        for (const Cycle& c : kCycles) {
            const std::string where = "scale " + std::to_string(ratio) + " from " +
                                      std::to_string(c.start.left) + "," +
                                      std::to_string(c.start.top);
            fakes::FakePlatform fake;
            fakes::FakeScaledWindowManager scaled(ratio);
            platform::Platform platform{scaled,        fake.clipboard, fake.shell,
                                        fake.messages, fake.registry,  fake.process};
            FrmMain w(platform);
            scaled.device = toDevice(c.start);
            scaled.cursor = kAway;
            FrmMainProbe::Timer1_Timer(w);
            EXPECT_EQ(scaled.frameRect(w), c.hidden) << where;
            // What stays on screen, in device pixels: 3 logical ones.
            const QRect& d = scaled.device;
            const int showing = c.hidden.top < 0    ? d.bottom() + 1
                                : c.hidden.left < 0 ? d.right() + 1
                                                    : qRound(1280 * ratio) - d.left();
            EXPECT_NEAR(showing, 3 * ratio, 1) << where;
            FrmMainProbe::Timer1_Timer(w);
            EXPECT_EQ(scaled.frameRect(w), c.hidden) << where << ": stays hidden";

            scaled.cursor = c.strip;
            FrmMainProbe::Timer1_Timer(w);
            EXPECT_EQ(scaled.frameRect(w), c.revealed) << where;
            EXPECT_EQ(scaled.activations, 1) << where;

            scaled.cursor = kAway;
            FrmMainProbe::Timer1_Timer(w);
            EXPECT_EQ(scaled.frameRect(w), c.hidden) << where << ": hidden again";
        }

        fakes::FakePlatform fake;
        fakes::FakeScaledWindowManager scaled(ratio);
        platform::Platform platform{scaled,        fake.clipboard, fake.shell,
                                    fake.messages, fake.registry,  fake.process};
        FrmMain w(platform);
        scaled.device = toDevice(FrameAt(300, 111));
        const QRect start = scaled.device;
        scaled.cursor = kAway;
        FrmMainProbe::Timer1_Timer(w);
        EXPECT_EQ(scaled.device, start) << "scale " << ratio << ": a window in the middle";
    }
}

TEST(AutoHide, Timer1TicksRunTheEdgeWatch) {
    fakes::FakePlatform fake;
    FrmMain w(fake.platform);
    fake.windows.frame = FrameAt(300, 3);
    fake.windows.cursor = kAway;
    w.Timer1->start(5);
    for (int waited = 0; waited < 2000 && fake.windows.moves.empty(); waited += 10) {
        QTest::qWait(10);
    }
    ASSERT_FALSE(fake.windows.moves.empty());
    EXPECT_EQ(fake.windows.moves.front(), QPoint(300, -597));
}

} // namespace
} // namespace morvane::ui
