// Under a dark desktop theme (near-white text on near-black) the windows read
// as on a light one: the text drawn in every pane, on the panel, in the
// status bar and in the About window stands out from what lies behind it.
// Measured on the rendered pixels, as the WCAG contrast ratio.

#include "shown_window.h"
#include "ui/about/frm_help.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOption>

#include <cmath>
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

double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Reading {
    QRgb background = 0; ///< the most frequent colour of the area
    double contrast = 1; ///< of the pixel that stands out most from it
};

/// What an area of a rendered image shows: its background and how far the
/// text drawn on it stands out (anti-aliased edges included, so the best pixel
/// is the core of a stroke).
Reading Read(const QImage& image, const QRect& area) {
    std::map<QRgb, int> counts;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            ++counts[image.pixel(x, y) | 0xFF000000u];
        }
    }
    Reading reading;
    int most = 0;
    for (const auto& [colour, n] : counts) {
        if (n > most) {
            most = n;
            reading.background = colour;
        }
    }
    for (const auto& entry : counts) {
        reading.contrast = std::max(reading.contrast, Contrast(entry.first, reading.background));
    }
    return reading;
}

/// Breeze Dark's colours, as a KDE desktop sets them for every program.
QPalette DarkPalette() {
    const QColor back(35, 38, 41);
    const QColor text(239, 240, 241);
    QPalette dark(back, back);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role :
             {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase}) {
            dark.setColor(group, role, back);
        }
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            dark.setColor(group, role, text);
        }
        dark.setColor(group, QPalette::Highlight, QColor(61, 174, 233));
        dark.setColor(group, QPalette::HighlightedText, QColor(252, 252, 252));
    }
    return dark;
}

// WCAG's level for normal text; and for large text and marks, which the
// toolkit's white-on-blue selection and the link's pure red on white reach.
constexpr double kReadable = 4.5;
constexpr double kLegible = 3;

class DarkTheme : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        w = std::make_unique<FrmMain>(fake.platform);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void TearDown() override {
        w.reset();
        QApplication::setPalette(m_saved);
    }

    /// The area of `control` in an image of its window, shrunk by `inset`.
    static QRect InWindow(const QWidget* control, int inset = 0) {
        return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size())
            .adjusted(inset, inset, -inset, -inset);
    }

    void ExpectReadable(const QImage& shot, const QWidget* control, const QRect& area,
                        double level = kReadable) {
        const Reading r = Read(shot, area);
        EXPECT_GE(r.contrast, level)
            << control->objectName().toStdString() << " on " << std::hex << r.background;
    }

    fakes::FakePlatform fake;
    std::unique_ptr<FrmMain> w;

private:
    QPalette m_saved;
};

TEST_F(DarkTheme, TypedConvertedAndSelectedTextStandsOutInEveryPane) {
    const QString text = QStringLiteral("WWWW MMMM 中文中文");
    for (const bool wrap : {true, false}) {
        w->ChkChoose[kWordWrap]->setChecked(wrap);
        const PanePair pair = w->ShownPair();
        pair.input->SetText(text);
        FrmMainProbe::CmdButton_Click(*w, kGbToUtf);
        for (TextBox* box : {pair.input, pair.output}) {
            SCOPED_TRACE(box->objectName().toStdString());
            QImage shot = box->viewport()->grab().toImage();
            const Reading plain = Read(shot, shot.rect());
            EXPECT_EQ(plain.background, qRgb(255, 255, 192));
            EXPECT_GE(plain.contrast, kReadable);

            box->selectAll();
            shot = box->viewport()->grab().toImage();
            const QRect line = box->cursorRect(box->textCursor()).adjusted(-4000, 0, 0, 0);
            const Reading selected = Read(shot, line.intersected(shot.rect()));
            EXPECT_GE(Contrast(selected.background, qRgb(255, 255, 192)), 1.5)
                << "selection " << std::hex << selected.background;
            EXPECT_GE(selected.contrast, kLegible);
            box->moveCursor(QTextCursor::Start);
        }
    }
}

TEST_F(DarkTheme, CaptionsOnThePanelAndTheStatusBarStandOut) {
    const QImage shot = w->grab().toImage();
    for (QCheckBox* box : w->ChkChoose) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect caption =
            box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        ExpectReadable(shot, box, caption.translated(InWindow(box).topLeft()));
    }
    for (QCheckBox* box : w->ChkOption) {
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect caption =
            box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        ExpectReadable(shot, box, caption.translated(InWindow(box).topLeft()));
    }
    for (QGroupBox* frame : {w->FrameOption, w->FrameColor}) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        ExpectReadable(shot, frame, title.translated(InWindow(frame).topLeft()));
    }
    for (QPushButton* button : w->CmdButton) {
        ExpectReadable(shot, button, InWindow(button, 4));
    }
    ExpectReadable(shot, w->Label1, InWindow(w->Label1));
    for (QLineEdit* box : {w->TxtTimeTip, w->TxtHelpTip}) {
        ExpectReadable(shot, box, InWindow(box, 3));
    }
    // The link stays red, on a light background.
    ExpectReadable(shot, w->TxtLineTip, InWindow(w->TxtLineTip, 3), kLegible);
    EXPECT_EQ(w->TxtLineTip->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST_F(DarkTheme, TheAboutWindowsLabelsStandOut) {
    FrmHelp& help = w->Help();
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    const QImage shot = help.grab().toImage();
    for (QLabel* label : {help.lbalTitle, help.lblTitle, help.lblVersion, help.Label1,
                          help.lblDescription[0], help.lblDescription[1], help.lblDescription[2],
                          help.lblDescription[4], help.lblDisclaimer[0]}) {
        ExpectReadable(shot, label, InWindow(label));
    }
    for (QPushButton* button : {help.cmdOK, help.cmdSysInfo}) {
        ExpectReadable(shot, button, InWindow(button, 4));
    }
    help.hide();
}

} // namespace
} // namespace morvane::ui
