// The command buttons' faces and the colour lists' boxes show exactly their
// colour on screen, not a lighter gradient of it; pressing a button and
// giving it the keyboard focus still show.

#include "shown_window.h"

#include <QComboBox>
#include <QPushButton>

#include <cstdlib>

namespace morvane::ui {
namespace {

// Tolerance per channel over a face.
constexpr int kExact = 2;

/// Pixels of `area` in `image` further than kExact from `colour` in some channel.
int Off(const QImage& image, const QRect& area, QColor colour) {
    int off = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) > kExact ||
                std::abs(c.green() - colour.green()) > kExact ||
                std::abs(c.blue() - colour.blue()) > kExact) {
                ++off;
            }
        }
    }
    return off;
}

// The face of a button above and below its caption, inside bevel and focus
// outline; the box of a list left of its arrow (no entry is shown at start).
QRect ButtonFace(const QImage& shot, int strip, bool top) {
    const int inset = 4;
    const int y = top ? inset : shot.height() - inset - strip;
    return QRect(inset, y, shot.width() - 2 * inset, strip);
}
QRect ListBox(const QImage& shot) {
    return QRect(4, 4, shot.width() * 2 / 3 - 4, shot.height() - 8);
}

class Faces : public ActiveWindow {
protected:
    void ExpectButtonFace(QPushButton* button, QColor colour) {
        const QImage shot = button->grab().toImage();
        const int strip = std::max(2, (shot.height() - button->fontMetrics().height()) / 2 - 5);
        for (const bool top : {true, false}) {
            EXPECT_EQ(Off(shot, ButtonFace(shot, strip, top), colour), 0)
                << button->objectName().toStdString() << (top ? " above" : " below")
                << " the caption, e.g. "
                << shot.pixelColor(shot.width() / 2, 4).name().toStdString();
        }
    }
};

TEST_F(Faces, ButtonsAndListsShowExactlyTheirColour) {
    for (QPushButton* button : w->CmdButton) {
        ExpectButtonFace(button, QColor(192, 192, 0));
    }
    const QColor lists[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        QComboBox* list = w->ComboColor[static_cast<std::size_t>(i)];
        const QImage shot = list->grab().toImage();
        EXPECT_EQ(Off(shot, ListBox(shot), lists[i]), 0) << list->objectName().toStdString();
    }
    // A picked colour too: red 100 makes RGB(100, 255, 255).
    QComboBox* red = w->ComboColor[kRed];
    red->setCurrentIndex(red->findText(QStringLiteral("100")));
    Q_EMIT red->activated(red->currentIndex());
    for (QPushButton* button : w->CmdButton) {
        ExpectButtonFace(button, QColor(100, 255, 255));
    }
}

TEST_F(Faces, PressedAndFocusedButtonsLookDifferentOnTheSameFace) {
    QPushButton* button = w->CmdButton[kSwap];
    const QImage plain = button->grab().toImage();

    button->setDown(true);
    const QImage pressed = button->grab().toImage();
    button->setDown(false);
    EXPECT_NE(pressed, plain);
    ExpectButtonFace(button, QColor(192, 192, 0));

    // Focus from the keyboard shows; the face keeps its colour.
    w->CmdButton[kUtfToGb]->setFocus();
    QTest::keyClick(w->CmdButton[kUtfToGb], Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    const QImage focused = button->grab().toImage();
    EXPECT_NE(focused, plain);
    // The difference lies on the frame, around the face.
    EXPECT_NE(focused.pixelColor(0, plain.height() / 2), plain.pixelColor(0, plain.height() / 2));
    ExpectButtonFace(button, QColor(192, 192, 0));
}

} // namespace
} // namespace morvane::ui
