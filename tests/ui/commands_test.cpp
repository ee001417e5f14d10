// The eight command buttons, on the shown pane pair.

#include "engine/engine.h"
#include "shown_window.h"
#include "ui/product.h"
#include "ui/about/frm_help.h"
#include "ui/text_box.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::ui {
namespace {

QString Engine(std::u16string (*conversion)(std::u16string_view), const QString& text) {
    const std::u16string out = conversion(
        std::u16string_view(QStringView(text).utf16(), static_cast<std::size_t>(text.size())));
    return QString::fromUtf16(out.data(), static_cast<qsizetype>(out.size()));
}

class Commands : public ActiveWindow {
protected:
    void Run(int Index) { FrmMainProbe::CmdButton_Click(*w, Index); }
    void SetWordWrap(bool on) { w->ChkChoose[kWordWrap]->setChecked(on); }
    // Deferred deletions (an About window that closed itself) happen here.
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

// Commands on long texts show the wait pointer while they change the boxes
// (the handler holds up the event loop, so the user sees the pointer as it
// is then); short ones leave it alone; none leaves it set.
TEST_F(Commands, LongCommandsShowTheWaitPointerWhileTheyRun) {
    const QString line = QStringLiteral("中文 <p>a&amp;b</p>\r\n"); // 19 characters
    const std::tuple<int, int, bool> cases[] = {{kGbToUtf, 100, false},
                                                {kGbToUtf, 40'000, true},
                                                {kSwap, 100, false},
                                                {kSwap, 40'000, true}};
    for (const auto& [index, lines, wait] : cases) {
        w->TxtTop1->SetText(line.repeated(lines));
        w->TxtBottom1->SetText(QString());
        std::vector<const QCursor*> seen;
        const auto record = [&seen] { seen.push_back(QGuiApplication::overrideCursor()); };
        const auto c = QObject::connect(w->TxtBottom1, &QPlainTextEdit::textChanged, record);
        Run(index);
        QObject::disconnect(c);
        ASSERT_FALSE(seen.empty());
        for (const QCursor* pointer : seen) {
            EXPECT_EQ(pointer != nullptr && pointer->shape() == Qt::WaitCursor, wait) << index;
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

// Both conversions, on whichever pair is shown; the other pair is untouched.
TEST_F(Commands, ConversionsWriteTheEngineResultIntoTheShownOutputBox) {
    const QString page = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<p>\u4E2D\u6587 &amp; &#x4E2D;</p>\r\n");
    const struct {
        int Index;
        std::u16string (*conversion)(std::u16string_view);
    } commands[] = {{0, &engine::ConvertGbToUtf}, {1, &engine::ConvertUtfToGb}};
    for (const bool wrap : {true, false}) {
        SetWordWrap(wrap);
        const PanePair shown = w->ShownPair();
        const PanePair other =
            wrap ? PanePair{w->Txttop, w->TxtBottom} : PanePair{w->TxtTop1, w->TxtBottom1};
        ASSERT_EQ(shown.input, wrap ? w->TxtTop1 : w->Txttop);
        for (const auto& c : commands) {
            shown.input->SetText(page);
            other.input->SetText(QStringLiteral("other in"));
            other.output->SetText(QStringLiteral("other out"));
            const QString tip = w->TxtHelpTip->text();
            QWidget* focus = QApplication::focusWidget();
            Run(c.Index);
            EXPECT_EQ(shown.output->Text(), Engine(c.conversion, page)) << c.Index << wrap;
            EXPECT_EQ(shown.input->Text(), page);
            EXPECT_EQ(other.input->Text(), QStringLiteral("other in"));
            EXPECT_EQ(other.output->Text(), QStringLiteral("other out"));
            EXPECT_EQ(w->TxtHelpTip->text(), tip);
            EXPECT_EQ(QApplication::focusWidget(), focus);
            EXPECT_TRUE(fake.messages.calls.empty());
        }
    }
}

TEST_F(Commands, SwapExchangesInputAndOutput) {
    const struct {
        const char16_t* input;
        const char16_t* output;
    } table[] = {{u"in", u"out"}, {u"moved\r\n", u""}, {u"", u"\u4E2D\r\n"}, {u"", u""}};
    for (const auto& row : table) {
        const QString in = QString::fromUtf16(row.input);
        const QString out = QString::fromUtf16(row.output);
        w->TxtTop1->SetText(in);
        w->TxtBottom1->SetText(out);
        Run(kSwap);
        EXPECT_EQ(w->TxtTop1->Text(), out);
        EXPECT_EQ(w->TxtBottom1->Text(), in);
        Run(kSwap);
        EXPECT_EQ(w->TxtTop1->Text(), in);
        EXPECT_EQ(w->TxtBottom1->Text(), out);
    }
}

TEST_F(Commands, ExampleReplacesTheInputAndLeavesTheAboutWindowHidden) {
    w->TxtTop1->SetText(QStringLiteral("anything"));
    w->TxtBottom1->SetText(QStringLiteral("result"));
    ASSERT_FALSE(w->HelpLoaded());
    Run(kWmlExample);
    EXPECT_EQ(w->TxtTop1->Text(), WmlExample());
    EXPECT_EQ(w->TxtBottom1->Text(), QStringLiteral("result"));
    ASSERT_TRUE(w->HelpLoaded());
    EXPECT_FALSE(w->Help().isVisible());
    Run(kWmlExample);
    EXPECT_EQ(w->TxtTop1->Text(), WmlExample());
}

TEST_F(Commands, ExampleConvertsBothWays) {
    Run(kWmlExample);
    Run(kGbToUtf);
    const QStringList lines = w->TxtBottom1->Text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17); // 16 lines and the empty rest after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("    <card ")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("WAP&#x4EE3;&#x7801;&#x5B9E;&#x4F8B;")));
    EXPECT_EQ(lines[14], QStringLiteral("    </card>"));
    EXPECT_FALSE(w->TxtBottom1->Text().contains(QLatin1Char('\t')));
    EXPECT_EQ(w->TxtTop1->Text(), WmlExample());

    Run(kSwap); // the output becomes the input
    Run(kUtfToGb);
    QString expected = WmlExample();
    expected.remove(QLatin1Char('\t'));
    EXPECT_EQ(w->TxtBottom1->Text(), expected);
}

TEST_F(Commands, CopyPlacesExactlyTheOutputText) {
    for (const QString& out : {QStringLiteral("a\r\n\u4E2D\r\n"), QString()}) {
        fake.clipboard.calls.clear();
        w->TxtBottom1->SetText(out);
        w->TxtTop1->SetText(QStringLiteral("not this"));
        Run(kCopyResult);
        EXPECT_EQ(fake.clipboard.calls,
                  QStringList({QStringLiteral("clear"), QStringLiteral("set:") + out}));
    }
    SetWordWrap(false); // the shown pair's output
    w->TxtBottom->SetText(QStringLiteral("shown\r\n"));
    Run(kCopyResult);
    EXPECT_EQ(fake.clipboard.text, QStringLiteral("shown\r\n"));
}

TEST_F(Commands, ClearEmptiesOnlyTheShownPair) {
    w->Txttop->SetText(QStringLiteral("hidden in"));
    w->TxtBottom->SetText(QStringLiteral("hidden out"));
    w->TxtTop1->SetText(QStringLiteral("in"));
    w->TxtBottom1->SetText(QStringLiteral("out"));
    Run(kClear);
    EXPECT_TRUE(w->TxtTop1->Text().isEmpty());
    EXPECT_TRUE(w->TxtBottom1->Text().isEmpty());
    EXPECT_EQ(w->Txttop->Text(), QStringLiteral("hidden in"));
    EXPECT_EQ(w->TxtBottom->Text(), QStringLiteral("hidden out"));
}

TEST_F(Commands, IndicesOutsideTheButtonsDoNothing) {
    w->TxtTop1->SetText(QStringLiteral("in"));
    w->TxtBottom1->SetText(QStringLiteral("out"));
    for (const int Index : {-1, 8, 32767, -32768}) {
        Run(Index);
    }
    EXPECT_EQ(w->TxtTop1->Text(), QStringLiteral("in"));
    EXPECT_EQ(w->TxtBottom1->Text(), QStringLiteral("out"));
    EXPECT_TRUE(fake.clipboard.calls.isEmpty());
    EXPECT_FALSE(w->HelpLoaded());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(Commands, AccessKeysPressTheButtons) {
    w->TxtTop1->SetText(QStringLiteral("\u4E2D")); // 中
    QTest::keyClick(w.get(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(w->TxtBottom1->Text(), QStringLiteral("&#x4E2D;"));
    QTest::keyClick(w.get(), Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(w->TxtTop1->Text().isEmpty());
}

// Exit: the About window goes first; the close request may still be refused.
TEST_F(Commands, ExitWithReminderAndNoKeepsTheWindowAndItsTexts) {
    Run(kWmlExample); // loads the About window, hidden
    w->TxtBottom1->SetText(QStringLiteral("result"));
    w->ChkChoose[kExitReminder]->setChecked(true);
    fake.messages.answers = {platform::MessageAnswer::No};
    Run(kExit);
    ASSERT_EQ(fake.messages.calls.size(), 1u);
    EXPECT_FALSE(w->HelpLoaded());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->TxtTop1->Text(), WmlExample());
    EXPECT_EQ(w->TxtBottom1->Text(), QStringLiteral("result"));

    fake.messages.answers = {platform::MessageAnswer::Yes};
    Run(kExit);
    EXPECT_EQ(fake.messages.calls.size(), 2u);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(Commands, ExitWithoutReminderClosesAtOnce) {
    Run(kWmlExample);
    Run(kExit);
    EXPECT_TRUE(fake.messages.calls.empty());
    EXPECT_FALSE(w->HelpLoaded());
    EXPECT_FALSE(w->isVisible());
}

// About: keep-on-top is switched off before the modal window shows and stays off.
TEST_F(Commands, AboutTakesTheWindowOffTheTopFirst) {
    w->ChkChoose[kKeepOnTop]->setChecked(true);
    ASSERT_TRUE(fake.windows.above);
    bool checked = false;
    QTimer::singleShot(0, w.get(), [&] {
        FrmHelp& help = w->Help();
        EXPECT_TRUE(help.isVisible());
        EXPECT_TRUE(help.isModal());
        EXPECT_EQ(help.parentWidget(), nullptr); // no owner
        EXPECT_FALSE(fake.windows.above);
        EXPECT_FALSE(w->ChkChoose[kKeepOnTop]->isChecked());
        checked = true;
        help.cmdOK->click();
    });
    Run(kAbout);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(w->ChkChoose[kKeepOnTop]->isChecked());
    EXPECT_FALSE(fake.windows.above);
    Settle();
    EXPECT_FALSE(w->HelpLoaded()); // it unloaded itself
}

// The example command creates the About window; showing it later does not
// load it again, and after it closed the next one is loaded afresh.
TEST_F(Commands, AboutAfterExampleKeepsTheLoadedWindow) {
    Run(kWmlExample);
    FrmHelp* loaded = &w->Help();
    loaded->setWindowTitle(QStringLiteral("changed after load"));
    QString shownTitle;
    QTimer::singleShot(0, w.get(), [&] {
        shownTitle = w->Help().windowTitle();
        EXPECT_EQ(&w->Help(), loaded);
        QTest::keyClick(&w->Help(), Qt::Key_Escape);
    });
    Run(kAbout);
    EXPECT_EQ(shownTitle, QStringLiteral("changed after load"));
    Settle();
    ASSERT_FALSE(w->HelpLoaded());
    EXPECT_EQ(w->Help().windowTitle(), QStringLiteral("Morvane V") + QString::fromLatin1(morvane::kVersion));
}

} // namespace
} // namespace morvane::ui
