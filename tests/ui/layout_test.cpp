// Text pane layout, edge alignment and the splitter, in twips: the pure
// arithmetic for exact cases, and the real window for the wiring.

#include "shown_window.h"
#include "ui/main/pane_layout.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include <cmath>
#include <limits>
#include <optional>

namespace morvane::ui {
namespace {

struct LayoutCase {
    const char* name;
    float width, height, ratio;
    TwipRect upper;
    std::optional<TwipRect> lower;
};

TEST(LayOutPanes, EveryEdgeInExactTwips) {
    const std::vector<LayoutCase> cases = {
        {"start size, half", 10170, 8340, 0.5f, {0, 0, 8500, 4165}, TwipRect{0, 4175, 8500, 3845}},
        {"ratio 0: upper at its least",
         10170,
         8340,
         0,
         {0, 0, 8500, 400},
         TwipRect{0, 410, 8500, 7610}},
        {"ratio 1: no room below", 10170, 8340, 1, {0, 0, 8500, 8330}, std::nullopt},
        {"just under the least height", 10170, 809, 0.5f, {0, 0, 8500, 400}, std::nullopt},
        {"lower room exactly 400", 10170, 1080, 0, {0, 0, 8500, 400}, std::nullopt},
        {"lower room 400.5", 10170, 1080.5f, 0, {0, 0, 8500, 400}, TwipRect{0, 410, 8500, 350.5f}},
        {"ratio above the least height",
         10170,
         2010,
         0.5f,
         {0, 0, 8500, 1000},
         TwipRect{0, 1010, 8500, 680}},
        {"lower room exactly 400 from the ratio",
         10170,
         1350,
         0.5f,
         {0, 0, 8500, 670},
         std::nullopt},
        {"narrower than the panel reserve",
         1500,
         8340,
         0.5f,
         {0, 0, -170, 4165},
         TwipRect{0, 4175, -170, 3845}},
        {"exactly the panel reserve",
         1670,
         8340,
         0.5f,
         {0, 0, 0, 4165},
         TwipRect{0, 4175, 0, 3845}},
        {"quarter",
         12000,
         9000,
         0.25f,
         {0, 0, 10330, 2247.5f},
         TwipRect{0, 2257.5f, 10330, 6422.5f}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PaneLayout l = LayOutPanes(c.width, c.height, c.ratio);
        EXPECT_EQ(l.upper, c.upper);
        ASSERT_EQ(l.lower.has_value(), c.lower.has_value());
        if (c.lower) {
            EXPECT_EQ(*l.lower, *c.lower);
        }
    }
}

TEST(DragRatio, ClampsToZeroAndOne) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const struct {
        float y, height, ratio;
    } cases[] = {
        {4170, 8340, 0.5f}, {0, 8340, 0},    {8340, 8340, 1},
        {-15, 8340, 0},     {9000, 8340, 1}, {0, 0, 0} /* 0/0 is not a number */,
        {15, 0, 1},         {-15, 0, 0},     {inf, 8340, 1},
        {-inf, 8340, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.y << " / " << c.height);
        EXPECT_EQ(DragRatio(c.y, c.height), c.ratio);
    }
    EXPECT_EQ(DragRatio(std::nanf(""), 8340), 0);
}

class Layout : public ShownWindow {
protected:
    void ExpectUpper(const TwipRect& r) {
        EXPECT_EQ(Geometry(w->TxtTop1), r);
        EXPECT_EQ(Geometry(w->Txttop), r);
    }
    void ExpectLower(const TwipRect& r) {
        EXPECT_EQ(Geometry(w->TxtBottom1), r);
        EXPECT_EQ(Geometry(w->TxtBottom), r);
    }
    // A point of the 80-twip background column between panes and panel.
    QPoint Column(int y) const { return {w->PicContainer->x() - 3, y}; }
    // Pointer position for Y twips in client coordinates.
    static int Pixels(float twips) { return ToPixels(twips); }
};

TEST_F(Layout, TheStartSizeGivesTheDocumentedBoxes) {
    ASSERT_EQ(w->ScaleWidth(), 10170);
    ASSERT_EQ(w->ScaleHeight(), 8340);
    ExpectUpper({0, 0, 8500, 4165});
    ExpectLower({0, 4175, 8500, 3845});
    EXPECT_EQ(Geometry(w->Picbottom), (TwipRect{0, 8025, 10170, 315}));
    EXPECT_EQ(Geometry(w->PicContainer), (TwipRect{8580, 0, 1590, 8025}));
}

TEST_F(Layout, PanelsStatusBoxesAndPanesFollowANewSize) {
    w->resize(800, 600); // 12000 x 9000 twips
    ExpectUpper({0, 0, 10330, 4495});
    ExpectLower({0, 4505, 10330, 4175});
    EXPECT_EQ(Geometry(w->Picbottom), (TwipRect{0, 8685, 12000, 315}));
    EXPECT_EQ(Geometry(w->PicContainer), (TwipRect{10410, 0, 1590, 8685}));
    const float outer = w->OuterWidth();
    EXPECT_GE(outer, w->ScaleWidth());
    const TwipRect tip = Geometry(w->TxtHelpTip);
    EXPECT_EQ(tip, (TwipRect{3900, 30, outer - 3900 - 125, 285}));
    EXPECT_EQ(Geometry(w->Picjiao), (TwipRect{outer - 395, 75, 330, 300}));
}

TEST_F(Layout, DraggingAboveTheClientAreaStopsTheUpperBoxesAt400) {
    QTest::mousePress(w.get(), Qt::LeftButton, {}, Column(200));
    EXPECT_TRUE(FrmMainProbe::SplitDragging(*w));
    QTest::mouseMove(w.get(), Column(-20));
    EXPECT_EQ(FrmMainProbe::SplitRatio(*w), 0);
    ExpectUpper({0, 0, 8500, 400});
    ExpectLower({0, 410, 8500, 7610});
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, Column(-20));
    EXPECT_FALSE(FrmMainProbe::SplitDragging(*w));
}

TEST_F(Layout, DraggingBelowTheClientAreaLeavesTheLowerBoxesWhereTheyWere) {
    QTest::mousePress(w.get(), Qt::LeftButton, {}, Column(200));
    QTest::mouseMove(w.get(), Column(Pixels(2085))); // ratio 0.25
    ExpectLower({0, 2092.5f, 8500, 5927.5f});
    QTest::mouseMove(w.get(), Column(w->height() + 40));
    EXPECT_EQ(FrmMainProbe::SplitRatio(*w), 1);
    ExpectUpper({0, 0, 8500, 8330});
    ExpectLower({0, 2092.5f, 8500, 5927.5f});
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, Column(w->height() + 40));
    // The kept ratio serves the next resize.
    w->resize(800, 600);
    ExpectUpper({0, 0, 10330, 8990});
}

TEST_F(Layout, EveryButtonDragsAndEveryReleaseEndsTheDrag) {
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        SCOPED_TRACE(static_cast<int>(button));
        FrmMainProbe::SplitRatio(*w) = 0.5f;
        FrmMainProbe::Form_Resize(*w);
        QTest::mousePress(w.get(), button, {}, Column(300));
        QTest::mouseMove(w.get(), Column(Pixels(2085)));
        EXPECT_EQ(FrmMainProbe::SplitRatio(*w), 0.25f);
        ExpectUpper({0, 0, 8500, 2082.5f});
        ExpectLower({0, 2092.5f, 8500, 5927.5f});
        QTest::mouseRelease(w.get(), button, {}, Column(Pixels(2085)));
        EXPECT_FALSE(FrmMainProbe::SplitDragging(*w));
    }
}

TEST_F(Layout, MovesWithoutAButtonOnlyChangeTheTip) {
    for (int y : {20, 150, 400}) {
        QTest::mouseMove(w.get(), Column(y));
    }
    EXPECT_EQ(FrmMainProbe::SplitRatio(*w), 0.5f);
    ExpectUpper({0, 0, 8500, 4165});
    ExpectLower({0, 4175, 8500, 3845});
    EXPECT_EQ(FrmMainProbe::HelpTipText(*w),
              QStringLiteral("可以按下鼠标左键，拖动鼠标改变文本框的相对大小。"));
}

// The split pointer shows over the window's own background only.
TEST_F(Layout, TheSplitPointerShowsOverTheBackgroundOnly) {
    QWidget* scrollBar = w->TxtTop1->verticalScrollBar();
    const std::pair<QPoint, Qt::CursorShape> cases[] = {
        {FreePoint(w.get()), Qt::SplitVCursor},
        {Column(Pixels(6000)), Qt::SplitVCursor},
        {scrollBar->mapTo(w.get(), scrollBar->rect().center()), Qt::ArrowCursor},
        {w->TxtBottom1->mapTo(w.get(), QPoint(40, 40)), Qt::IBeamCursor},
        {w->PicContainer->mapTo(w.get(), FreePoint(w->PicContainer)), Qt::ArrowCursor},
        {w->Picbottom->mapTo(w.get(), FreePoint(w->Picbottom)), Qt::ArrowCursor},
        {w->TxtLineTip->mapTo(w.get(), QPoint(3, 3)), Qt::PointingHandCursor},
    };
    for (const auto& [at, shape] : cases) {
        QWidget* under = w->childAt(at);
        EXPECT_EQ((under != nullptr ? under : w.get())->cursor().shape(), shape)
            << at.x() << "," << at.y();
    }
}

TEST_F(Layout, APressOnThePanelOrStatusBarStartsNoDrag) {
    const std::vector<QWidget*> controls = {w->PicContainer, w->FrameOption, w->Picbottom,
                                            w->Picjiao, w->TxtTop1->viewport()};
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        const QPoint p = FreePoint(control);
        QTest::mousePress(control, Qt::LeftButton, {}, p);
        EXPECT_FALSE(FrmMainProbe::SplitDragging(*w));
        QTest::mouseMove(control, p + QPoint(0, 1));
        QTest::mouseRelease(control, Qt::LeftButton, {}, p + QPoint(0, 1));
        EXPECT_EQ(FrmMainProbe::SplitRatio(*w), 0.5f);
    }
}

// Below the window's minimum size, where a window manager that ignores it
// (a tiling one) may still put it, the pane rules hold as above it.
TEST_F(Layout, ALowerRoomOfExactly400LeavesTheLowerBoxes) {
    w->setMinimumSize(0, 0);
    w->resize(678, 72); // 1080 twips high
    QTest::mousePress(w.get(), Qt::LeftButton, {}, Column(30));
    QTest::mouseMove(w.get(), Column(-5)); // ratio 0: upper 400, lower room 400
    QTest::mouseRelease(w.get(), Qt::LeftButton, {}, Column(-5));
    ExpectUpper({0, 0, 8500, 400});
    ExpectLower({0, 4175, 8500, 3845});
    w->resize(678, 73); // 1095: lower room 415
    ExpectLower({0, 410, 8500, 365});
}

TEST_F(Layout, MinimisedTheBoxesStayAndRestoringUsesTheKeptRatio) {
    w->showMinimized();
    ASSERT_TRUE(w->isMinimized());
    FrmMainProbe::SplitRatio(*w) = 0.25f;
    FrmMainProbe::Form_Resize(*w);
    ExpectUpper({0, 0, 8500, 4165});
    ExpectLower({0, 4175, 8500, 3845});
    w->showNormal();
    ExpectUpper({0, 0, 8500, 2082.5f});
    ExpectLower({0, 2092.5f, 8500, 5927.5f});
}

TEST_F(Layout, AClientNarrowerThanTheReserveKeepsTheBoxesButAlignsTheRest) {
    w->setMinimumSize(0, 0); // as a window manager that ignores it may do
    w->resize(100, 400);     // 1500 x 6000 twips
    ExpectUpper({0, 0, 8500, 4165});
    ExpectLower({0, 4175, 8500, 3845});
    EXPECT_EQ(Geometry(w->Picbottom), (TwipRect{0, 5685, 1500, 315}));
    EXPECT_EQ(Geometry(w->PicContainer), (TwipRect{-90, 0, 1590, 5685}));
    EXPECT_EQ(Geometry(w->Picjiao).Left, w->OuterWidth() - 395);
    // Outer width - 4025 is negative here: the help box keeps its width.
    EXPECT_LT(w->OuterWidth() - 3900 - 125, 0);
    EXPECT_GT(Geometry(w->TxtHelpTip).Width, 0);
}

} // namespace
} // namespace morvane::ui
