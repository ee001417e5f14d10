// The status bar's clock, link and the two boxes that pass the focus on.

#include "shown_window.h"
#include "ui/main/clock_text.h"
#include "ui/product.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace morvane::ui {
namespace {

struct ClockCase {
    const char* locale;
    QTime time;
    const char16_t* expected;
};

// Short date, a blank, the time with seconds and without a zone name; at
// midnight too. The zone sits before, after or in brackets around the time in
// these locales' long formats, and some carry quoted literals.
TEST(ClockText, ShortDateBlankAndTimeWithoutZone) {
    const QDate day(2024, 3, 5);
    const std::vector<ClockCase> cases = {
        {"C", QTime(0, 0), u"5 Mar 2024 00:00:00"},
        {"C", QTime(13, 4, 5), u"5 Mar 2024 13:04:05"},
        {"en_US", QTime(0, 0), u"3/5/24 12:00:00 AM"},
        {"en_US", QTime(13, 4, 5), u"3/5/24 1:04:05 PM"},
        {"de_DE", QTime(0, 0), u"05.03.24 00:00:00"},
        {"zh_CN", QTime(0, 0), u"2024/3/5 00:00:00"},
        {"zh_CN", QTime(23, 59, 59), u"2024/3/5 23:59:59"},
        {"zh_HK", QTime(0, 0), u"5/3/2024 上午12:00:00"},
        {"zh_HK", QTime(13, 4, 5), u"5/3/2024 下午1:04:05"},
        {"eu_ES", QTime(0, 0), u"24/3/5 00:00:00"},
        {"nn_NO", QTime(0, 0), u"05.03.2024 kl. 00:00:00"},
        {"fr_CA", QTime(0, 0), u"2024-03-05 00 h 00 min 00 s"},
        {"ja_JP", QTime(0, 0), u"2024/03/05 0時00分00秒"},
    };
    for (const ClockCase& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.time.toString().toStdString());
        const QLocale locale{QString::fromLatin1(c.locale)};
        EXPECT_EQ(ClockText(QDateTime(day, c.time), locale), QString::fromUtf16(c.expected));
    }
}

TEST(ClockText, NoLocaleKeepsAZoneOrLeftoverSeparators) {
    const auto all =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : all) {
        const QString format = TimeFormatWithoutZone(locale);
        SCOPED_TRACE(locale.name().toStdString() + " " + format.toStdString());
        EXPECT_FALSE(format.isEmpty());
        EXPECT_FALSE(format.contains(QStringLiteral("()")) ||
                     format.contains(QStringLiteral("[]")));
        EXPECT_FALSE(format.endsWith(u' ') || format.endsWith(u',') || format.startsWith(u' '));
        // Seconds are always shown.
        EXPECT_TRUE(format.contains(u's'));
    }
}

class StatusBar : public ShownWindow {};

TEST_F(StatusBar, TheFirstTickReplacesTheCaptionWithTheDateAndTime) {
    EXPECT_EQ(w->TxtTimeTip->text(), QStringLiteral("现在时间："));
    const QString before = ClockText(QDateTime::currentDateTime(), QLocale::system());
    // Fire the timer's signal instead of waiting a second for it.
    ASSERT_TRUE(QMetaObject::invokeMethod(w->TimStatuBar, "timeout", Qt::DirectConnection));
    const QString after = ClockText(QDateTime::currentDateTime(), QLocale::system());
    const QString shown = w->TxtTimeTip->text();
    EXPECT_TRUE(shown == before || shown == after) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("现在时间")));
    EXPECT_TRUE(w->TimStatuBar->isActive());
}

TEST_F(StatusBar, TheLinkAsksTheShellOncePerClickAndKeepsItsText) {
    const QString text = w->TxtLineTip->text();
    QTest::mouseClick(w->TxtLineTip, Qt::LeftButton);
    EXPECT_EQ(fake.shell.opened, QStringList{kMakerUrl});
    fake.shell.answer = false; // no browser: still nothing shown, nothing changed
    QTest::mouseClick(w->TxtLineTip, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fake.shell.opened, (QStringList{kMakerUrl, kMakerUrl}));
    EXPECT_EQ(w->TxtLineTip->text(), text);
    EXPECT_TRUE(fake.messages.calls.empty());
}

TEST_F(StatusBar, APressThatEndsOutsideTheLinkIsNoClick) {
    QTest::mousePress(w->TxtLineTip, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(w->TxtTimeTip, QPoint(10, 5));
    QTest::mouseRelease(w->TxtTimeTip, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_TRUE(fake.shell.opened.isEmpty());
}

class StatusFocus : public ActiveWindow {};

TEST_F(StatusFocus, ClickingTheClockOrTipBoxLeavesTheFocusOnTheStatusBar) {
    for (QLineEdit* box : {w->TxtTimeTip, w->TxtHelpTip}) {
        SCOPED_TRACE(box->objectName().toStdString());
        w->TxtTop1->setFocus();
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), w->Picbottom);
        EXPECT_FALSE(box->hasFocus());
    }
}

// Tab passes over the clock and tip boxes both ways: from the link to the
// last button and back, then round again (or on to the colour boxes). From
// the status bar, which a click on either box hands the focus to, the next
// key goes on from that box.
TEST_F(StatusFocus, TabAndShiftTabPassOverTheClockAndTipBoxes) {
    const struct {
        QWidget* from;
        QLineEdit* clicked; // first clicked to pass the focus to Picbottom, if any
        Qt::Key key;
        std::vector<QWidget*> then;
    } ways[] = {
        {w->TxtLineTip, nullptr, Qt::Key_Tab, {w->CmdButton[kAbout], w->TxtTop1}},
        {w->TxtTop1,
         nullptr,
         Qt::Key_Backtab,
         {w->CmdButton[kAbout], w->TxtLineTip, w->ChkOption[kColourButtons]}},
        {w->TxtTop1, w->TxtTimeTip, Qt::Key_Tab, {w->CmdButton[kAbout]}},
        {w->TxtTop1, w->TxtHelpTip, Qt::Key_Tab, {w->CmdButton[kAbout]}},
        {w->TxtTop1, w->TxtTimeTip, Qt::Key_Backtab, {w->TxtLineTip}},
        {w->TxtTop1, w->TxtHelpTip, Qt::Key_Backtab, {w->TxtLineTip}},
    };
    for (const auto& way : ways) {
        way.from->setFocus();
        if (way.clicked != nullptr) {
            QTest::mouseClick(way.clicked, Qt::LeftButton);
            ASSERT_EQ(QApplication::focusWidget(), w->Picbottom);
        }
        for (QWidget* control : way.then) {
            QTest::keyClick(QApplication::focusWidget(), way.key);
            ASSERT_EQ(QApplication::focusWidget(), control)
                << way.key << ": " << control->objectName().toStdString();
            EXPECT_FALSE(w->TxtTimeTip->hasSelectedText());
            EXPECT_FALSE(w->TxtHelpTip->hasSelectedText());
        }
    }
}

TEST_F(StatusFocus, TheLinkBoxKeepsTheFocusItIsGiven) {
    QTest::mouseClick(w->TxtLineTip, Qt::LeftButton);
    EXPECT_TRUE(w->TxtLineTip->hasFocus());
}

} // namespace
} // namespace morvane::ui
