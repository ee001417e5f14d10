// Pane layout and splitter: the four text boxes follow the client size and
// the split ratio; a drag on the window's own background moves the split.
#include "ui/main/frm_main.h"
#include "ui/main/pane_layout.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>

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
