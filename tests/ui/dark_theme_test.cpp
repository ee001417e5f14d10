// Under a dark desktop theme (near-white text on near-black) the windows read
// as on a light one, and the command buttons and colour lists show exactly
// their colours: measured on rendered pixels, text against its background as
// the WCAG contrast ratio.

#include "shown_window.h"
#include "ui/about/frm_help.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>

#include <cmath>
#include <cstdlib>
#include <map>

namespace morvane::ui {
namespace {

double Luminance(QRgb c) {
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

/// The most frequent colour of an area (its background) and the contrast
/// ratio of the pixel that stands out most from it (the core of a stroke).
std::pair<QRgb, double> Read(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            ++counts[image.pixel(x, y) | 0xFF000000u];
        }
    }
    QRgb back = 0;
    int most = 0;
    for (const auto& [colour, n] : counts) {
        if (n > most) {
            most = n;
            back = colour;
        }
    }
    double best = 1;
    for (const auto& entry : counts) {
        const double a = Luminance(entry.first) + 0.05;
        const double b = Luminance(back) + 0.05;
        best = std::max(best, std::max(a, b) / std::min(a, b));
    }
    return {back, best};
}

/// Pixels of an area further than 2 per channel from `colour`.
int Off(const QImage& image, const QRect& area, QRgb colour) {
    int off = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            off += std::abs(qRed(c) - qRed(colour)) > 2 ||
                   std::abs(qGreen(c) - qGreen(colour)) > 2 ||
                   std::abs(qBlue(c) - qBlue(colour)) > 2;
        }
    }
    return off;
}

/// Where a control lies in an image of its window, less `margins`.
QRect InWindow(const QWidget* control, QMargins margins = {}) {
    return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size())
        .marginsRemoved(margins);
}

// WCAG's level for text; and for large text and marks, which the toolkit's
// white-on-blue selection and the link's pure red on white reach.
constexpr double kReadable = 4.5;
constexpr double kLegible = 3;

class DarkTheme : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = QApplication::palette();
        // Breeze Dark's colours, as a KDE desktop hands them to every program.
        QPalette dark(QColor(35, 38, 41), QColor(35, 38, 41));
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(role, QColor(239, 240, 241));
        }
        dark.setColor(QPalette::Base, QColor(35, 38, 41));
        dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
        QApplication::setPalette(dark);
        m_savedTip = QToolTip::palette();
        QPalette darkTip = dark;
        darkTip.setColor(QPalette::ToolTipBase, QColor(35, 38, 41));
        darkTip.setColor(QPalette::ToolTipText, QColor(239, 240, 241));
        QToolTip::setPalette(darkTip);
        w = std::make_unique<FrmMain>(fake.platform);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        w.reset();
        QApplication::setPalette(m_saved);
        QToolTip::setPalette(m_savedTip);
    }

    fakes::FakePlatform fake;
    std::unique_ptr<FrmMain> w;

private:
    QPalette m_saved;
    QPalette m_savedTip;
};

TEST_F(DarkTheme, TextStandsOutInThePanesOnThePanelAndInTheStatusBar) {
    w->TxtTop1->SetText(QStringLiteral("WWWW MMMM 中文中文"));
    FrmMainProbe::CmdButton_Click(*w, kGbToUtf);
    const int line = w->fontMetrics().height();
    const QMargins pane(3, 3, 30, 3);
    const QMargins box(3, 3, 3, 3);
    const auto title = [line](const QWidget* frame) { // a frame's caption line
        return QRect(InWindow(frame).topLeft() + QPoint(8, 0), QSize(frame->width() - 16, line));
    };
    std::vector<std::tuple<QWidget*, QRect, double>> areas = {
        {w->TxtTop1, InWindow(w->TxtTop1, pane), kReadable},
        {w->TxtBottom1, InWindow(w->TxtBottom1, pane), kReadable},
        {w->FrameOption, title(w->FrameOption), kReadable},
        {w->FrameColor, title(w->FrameColor), kReadable},
        {w->Label1, InWindow(w->Label1), kReadable},
        {w->TxtTimeTip, InWindow(w->TxtTimeTip, box), kReadable},
        {w->TxtHelpTip, InWindow(w->TxtHelpTip, box), kReadable},
        {w->TxtLineTip, InWindow(w->TxtLineTip, box), kLegible}};
    for (QCheckBox* check : {w->ChkChoose[kWordWrap], w->ChkChoose[kExitReminder],
                             w->ChkOption[kColourWindow], w->ChkOption[kColourButtons]}) {
        // Right of the indicator: the caption.
        areas.emplace_back(check, InWindow(check, QMargins(check->height() - 1, 0, 0, 0)),
                           kReadable);
    }
    for (QPushButton* button : w->CmdButton) {
        areas.emplace_back(button, InWindow(button, QMargins(4, 4, 4, 4)), kReadable);
    }
    QImage shot = w->grab().toImage();
    for (const auto& [control, area, level] : areas) {
        const auto [back, contrast] = Read(shot, area);
        EXPECT_GE(contrast, level)
            << control->objectName().toStdString() << " on " << std::hex << back;
    }
    EXPECT_EQ(Read(shot, InWindow(w->TxtTop1, pane)).first, qRgb(255, 255, 192));

    // Selected text keeps a visible highlight and stands out on it.
    w->TxtTop1->selectAll();
    shot = w->grab().toImage();
    const QRect end = w->TxtTop1->cursorRect(); // the end of the selection
    const QPoint origin = w->TxtTop1->viewport()->mapTo(w.get(), QPoint(2, end.top() + 1));
    const auto [highlight, contrast] =
        Read(shot, QRect(origin, QSize(end.left() - 4, end.height() - 2)));
    EXPECT_NE(highlight, qRgb(255, 255, 192));
    EXPECT_GE(contrast, kLegible);

    // The About window's labels, black on a light background.
    FrmHelp& help = w->Help();
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    shot = help.grab().toImage();
    for (QLabel* label :
         {help.lbalTitle, help.lblTitle, help.lblVersion, help.Label1, help.lblDescription[0],
          help.lblDescription[1], help.lblDescription[4], help.lblDisclaimer[0]}) {
        const auto [back, labelContrast] = Read(shot, InWindow(label));
        EXPECT_GE(labelContrast, kReadable) << label->objectName().toStdString();
        EXPECT_GT(Luminance(back), 0.5) << label->objectName().toStdString();
    }
    help.hide();
}

// Above and below the caption, inside the bevel, a button's face is exactly
// its colour; so is a list's box left of its arrow. Pressed and focused
// buttons still look different.
TEST_F(DarkTheme, ButtonsAndListsShowExactlyTheirColour) {
    const auto faceOff = [](QPushButton* button, QRgb colour) {
        const QImage shot = button->grab().toImage();
        const int strip = (shot.height() - button->fontMetrics().height()) / 2 - 5;
        return Off(shot, QRect(4, 4, shot.width() - 8, strip), colour) +
               Off(shot, QRect(4, shot.height() - 4 - strip, shot.width() - 8, strip), colour);
    };
    for (QPushButton* button : w->CmdButton) {
        EXPECT_EQ(faceOff(button, qRgb(192, 192, 0)), 0) << button->objectName().toStdString();
    }
    const QRgb lists[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int i = 0; i < 3; ++i) {
        const QImage shot = w->ComboColor[static_cast<std::size_t>(i)]->grab().toImage();
        EXPECT_EQ(Off(shot, QRect(4, 4, shot.width() * 2 / 3 - 4, shot.height() - 8), lists[i]), 0)
            << i;
    }
    // Red 100 makes RGB(100, 255, 255).
    QComboBox* red = w->ComboColor[kRed];
    red->setCurrentIndex(red->findText(QStringLiteral("100")));
    Q_EMIT red->activated(red->currentIndex());
    EXPECT_EQ(faceOff(w->CmdButton[kAbout], qRgb(100, 255, 255)), 0);

    QPushButton* button = w->CmdButton[kSwap];
    const QImage plain = button->grab().toImage();
    button->setDown(true);
    EXPECT_NE(button->grab().toImage(), plain);
    EXPECT_EQ(faceOff(button, qRgb(100, 255, 255)), 0);
    button->setDown(false);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->CmdButton[kUtfToGb]->setFocus();
    QTest::keyClick(w->CmdButton[kUtfToGb], Qt::Key_Tab); // focus from the keyboard shows
    ASSERT_TRUE(button->hasFocus());
    EXPECT_NE(button->grab().toImage(), plain);
    EXPECT_EQ(faceOff(button, qRgb(100, 255, 255)), 0);
}

/// The one shown window of the program of a type, other than the main window.
QWidget* ShownPopup(Qt::WindowType type) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowType() == type) {
            return top;
        }
    }
    return nullptr;
}

// The popups the toolkit makes for the program and its message boxes are
// light, with readable text, like the windows; measured on their pixels.
TEST_F(DarkTheme, PopupsAndDialogsAreLightToo) {
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    const auto expectLight = [](QWidget* popup, const char* what) {
        ASSERT_NE(popup, nullptr) << what;
        const QImage shot = popup->grab().toImage();
        const auto [back, contrast] = Read(shot, shot.rect().marginsRemoved(QMargins(2, 2, 2, 2)));
        EXPECT_GT(Luminance(back), 0.5) << what << " on " << std::hex << back;
        EXPECT_GE(contrast, kReadable) << what;
    };

    // The input box's context menu, its entries enabled by a selected text.
    w->TxtTop1->SetText(QStringLiteral("WWW 中文"));
    w->TxtTop1->selectAll();
    QWidget* viewport = w->TxtTop1->viewport();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(20, 20),
                                viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &menuEvent);
    QWidget* menu = ShownPopup(Qt::Popup);
    ASSERT_NE(qobject_cast<QMenu*>(menu), nullptr);
    expectLight(menu, "context menu");
    menu->close();

    // A colour list's popup.
    w->ComboColor[kGreen]->showPopup();
    QTRY_VERIFY(ShownPopup(Qt::Popup) != nullptr);
    expectLight(ShownPopup(Qt::Popup), "list popup");
    w->ComboColor[kGreen]->hidePopup();

    // A tooltip.
    QToolTip::showText(w->mapToGlobal(QPoint(30, 30)), QStringLiteral("请选择红色成分Red"),
                       w->ComboColor[kRed]);
    QTRY_VERIFY(ShownPopup(Qt::ToolTip) != nullptr);
    expectLight(ShownPopup(Qt::ToolTip), "tooltip");
    QToolTip::hideText();

    // A message box over the window, as the close question is shown.
    QMessageBox box(w.get());
    box.setText(QStringLiteral("您真的要退出吗？"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    expectLight(&box, "message box");
}

} // namespace
} // namespace morvane::ui
