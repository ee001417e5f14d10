// Pane layout and splitter: the four text boxes follow the client size and
// the split ratio; a drag on the window's own background moves the split.
#include "ui/main/frm_main.h"
#include "ui/main/help_tips.h"
#include "ui/main/pane_layout.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace morvane::ui {

namespace {

// Heights and widths of the two panels that stick to the bottom and right edges.
constexpr float kStatusBarHeight = 315;
constexpr float kPanelWidth = 1590;
// Right margin of the help-tip box, against the window's outer width.
constexpr float kHelpTipMargin = 125;
// The corner picture's distance from the window's outer right edge.
constexpr float kCornerFromRight = 395;

constexpr char16_t kSplitterTip[] = u"可以按下鼠标左键，拖动鼠标改变文本框的相对大小。";

} // namespace

QSize FrmMain::MinimumClientSize() const {
    // Down to the status bar the panel holds its controls at fixed places:
    // the client area must reach below the lowest of them.
    float panelBottom = 0;
    for (const QWidget* control :
         PicContainer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const TwipRect place = Geometry(control);
        panelBottom = std::max(panelBottom, place.Top + place.Height);
    }
    const int height =
        static_cast<int>(std::ceil((panelBottom + kStatusBarHeight) / kTwipsPerPixel));

    // The status bar's boxes stand at fixed places but the help tip's, which
    // ends at the window's right edge: it must keep room for the prefix of
    // every tip, frame and margins included. The outer width is at least the
    // client width, so a client that wide leaves the box at least that wide.
    const int frame =
        TxtHelpTip->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, TxtHelpTip);
    constexpr int kTextMargin = 2; // the line box's own margin on each side of its text
    const int prefix = TxtHelpTip->fontMetrics().horizontalAdvance(QString::fromUtf16(kTipPrefix));
    const int tipWidth = prefix + 2 * (frame + kTextMargin) + 1; // and the caret
    const float tipLeft = Geometry(TxtHelpTip).Left;
    const int statusWidth =
        static_cast<int>(std::ceil((tipLeft + kHelpTipMargin) / kTwipsPerPixel)) + tipWidth;
    const int panelWidth = static_cast<int>(std::ceil(kPanelWidth / kTwipsPerPixel));
    QSize least(std::max(statusWidth, panelWidth), height);

    // Never more than the screen holds, frame included: on a screen that
    // small (at a high scale) the window manager must still be able to fit
    // the window to it, its title bar on screen.
    if (const QScreen* s = screen()) {
        constexpr int kFrameRoom = 40; // a title bar and borders, in pixels
        least = least.boundedTo(s->availableGeometry().size() - QSize(kFrameRoom, kFrameRoom));
    }
    return least;
}

void FrmMain::ArrangeTextBoxes() {
    if (isMinimized()) {
        return;
    }
    const PaneLayout layout = LayOutPanes(ScaleWidth(), ScaleHeight(), SplitRatio);
    // A refused MoveTwips (negative width) leaves that box as it was; the others
    // are still tried.
    for (TextBox* box : {Txttop, TxtTop1}) {
        MoveTwips(box, layout.upper.Left, layout.upper.Top, layout.upper.Width,
                  layout.upper.Height);
    }
    if (!layout.lower) {
        return;
    }
    for (TextBox* box : {TxtBottom, TxtBottom1}) {
        MoveTwips(box, layout.lower->Left, layout.lower->Top, layout.lower->Width,
                  layout.lower->Height);
    }
}

void FrmMain::Form_Resize() {
    // The status bar spans the bottom edge and the panel the right edge, down
    // to the status bar.
    MoveTwips(Picbottom, 0, ScaleHeight() - kStatusBarHeight, ScaleWidth(), kStatusBarHeight);
    MoveTwips(PicContainer, ScaleWidth() - kPanelWidth, 0, kPanelWidth,
              ScaleHeight() - kStatusBarHeight);

    ArrangeTextBoxes();

    m_fittedOuterWidth = -1;
    FitStatusBarToFrame();
}

void FrmMain::FitStatusBarToFrame() {
    const float outer = OuterWidth();
    if (outer == m_fittedOuterWidth) {
        return;
    }
    m_fittedOuterWidth = outer;
    const TwipRect tip = Geometry(TxtHelpTip);
    MoveTwips(TxtHelpTip, tip.Left, tip.Top, outer - tip.Left - kHelpTipMargin, tip.Height);
    const TwipRect corner = Geometry(Picjiao);
    MoveTwips(Picjiao, outer - kCornerFromRight, corner.Top, corner.Width, corner.Height);
}

void FrmMain::Form_MouseDown(Qt::MouseButtons /*Button*/, float /*X*/, float /*Y*/) {
    // Any button starts a drag; Qt keeps sending the moves and the release
    // here until the button is let go, wherever the pointer goes.
    SplitDragging = true;
}

void FrmMain::Form_MouseMove(Qt::MouseButtons /*Button*/, float /*X*/, float Y) {
    ShowHelpTip(QString::fromUtf16(kSplitterTip));
    if (!SplitDragging) {
        return;
    }
    SplitRatio = DragRatio(Y, ScaleHeight());
    ArrangeTextBoxes();
}

void FrmMain::Form_MouseUp(Qt::MouseButtons /*Button*/, float /*X*/, float /*Y*/) {
    SplitDragging = false;
}

} // namespace morvane::ui
