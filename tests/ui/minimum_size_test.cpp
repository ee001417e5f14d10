// The main window's smallest size: every control of the right-hand panel and
// of the status bar stays whole, and no more room than that is kept.

#include "shown_window.h"
#include "ui/main/help_tips.h"
#include "ui/text_box.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>

namespace morvane::ui {
namespace {

class MinimumSize : public ShownWindow {};

/// Whether `control` lies whole inside its parent's area.
bool Whole(const QWidget* control) {
    return control->parentWidget()->rect().contains(control->geometry());
}

TEST_F(MinimumSize, KeepsThePanelAndTheStatusBarWhole) {
    // Far too small: the window stops at its minimum.
    w->resize(300, 250);
    QTest::qWait(50);
    const QSize least = w->size();
    EXPECT_EQ(least, w->minimumSize());
    EXPECT_GT(least.height(), 250);

    for (QWidget* part : {w->PicContainer, w->Picbottom}) {
        EXPECT_TRUE(Whole(part)) << part->objectName().toStdString();
        for (QWidget* control : part->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (control == w->Picjiao) {
                // The corner picture hangs below the bar at every size: it
                // only has to stay whole across.
                const QRect g = control->geometry();
                EXPECT_TRUE(g.left() >= 0 && g.right() <= part->rect().right());
                continue;
            }
            EXPECT_TRUE(Whole(control)) << control->objectName().toStdString();
        }
    }
    for (QWidget* control : w->PicContainer->findChildren<QWidget*>()) {
        if (control->isVisible() && !control->isWindow()) {
            EXPECT_TRUE(Whole(control)) << control->objectName().toStdString() << " in "
                                        << control->parentWidget()->objectName().toStdString();
        }
    }
    // The panel and the status bar do not overlap.
    EXPECT_LE(w->PicContainer->geometry().bottom(), w->Picbottom->geometry().top());

    // The help-tip box shows a tip's prefix without scrolling it: the caret
    // after the prefix stands where it does in a wide window.
    const auto caretAfterPrefix = [this] {
        w->TxtHelpTip->setText(QString::fromUtf16(kTipPrefix));
        w->TxtHelpTip->end(false);
        w->TxtHelpTip->grab(); // the box scrolls its text as it paints
        return w->TxtHelpTip->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    };
    const QRect narrow = caretAfterPrefix();
    EXPECT_TRUE(w->TxtHelpTip->rect().contains(narrow));
    w->resize(800, 600);
    QTest::qWait(50);
    EXPECT_EQ(caretAfterPrefix(), narrow);

    // No room to spare below the panel's lowest control, nor in the help-tip
    // box beyond the prefix, its frame and margins.
    int lowest = 0;
    for (QWidget* control : w->PicContainer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        lowest = std::max(lowest, control->geometry().bottom() + 1);
    }
    EXPECT_LE(least.height() - ToPixels(315) - lowest, 1);
    w->resize(least);
    QTest::qWait(50);
    EXPECT_LE(w->TxtHelpTip->width() - narrow.right(), 16);

    // Above the minimum the panes follow the window as before.
    w->resize(least.width() + 40, least.height() + 40);
    QTest::qWait(50);
    EXPECT_EQ(w->TxtTop1->width(), ToPixels(w->ScaleWidth() - 1670));
}

} // namespace
} // namespace morvane::ui
