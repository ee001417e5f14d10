// The pane text box: exact text in and out, and the wrap mode that keeps long
// unbreakable lines from freezing the window.

#include "ui/text_box.h"
#include "ui/translations.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QTest>
#include <QTextDocument>
#include <QTranslator>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace morvane::ui {
namespace {

QString References(qsizetype count) {
    return QStringLiteral("&#x4E2D;").repeated(count);
}

TEST(TextBoxText, ProgramTextReadsBackExactly) {
    TextBox box;
    for (const QString& text :
         {QString(), QStringLiteral("a\r\nb\r\n"), QStringLiteral("lone\rcr\nlf\r\n\r\n"),
          QStringLiteral("nbsp\u00A0kept\ttab"), QStringLiteral("\U0001F600\u4E2D")}) {
        box.SetText(text);
        EXPECT_EQ(box.Text(), text);
    }
}

TEST(TextBoxText, EditedTextUsesCrLf) {
    TextBox box;
    box.resize(800, 100);
    box.show();
    box.SetText(QStringLiteral("one\ntwo\rthree"));
    box.moveCursor(QTextCursor::End);
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, QStringLiteral("x"));
    EXPECT_EQ(box.Text(), QStringLiteral("one\r\ntwo\r\nthree\r\nx"));
}

TEST(TextBoxRuns, LongestUnbreakableRun) {
    const struct {
        QString text;
        qsizetype run;
    } table[] = {
        {QString(), 0},
        {QStringLiteral("ab cd\tefg"), 3},
        {QStringLiteral("&#x4E2D;&#x6587;"), 16},
        {QStringLiteral("ab\u00A0cd"), 5},         // a no-break space joins
        {QStringLiteral("abc\u4E2Dde\u3001f"), 3}, // 中 and 、 allow breaks
        {QStringLiteral("abcd\r\nef\u2029g"), 4},
        {References(300) + QStringLiteral(" x"), 2400},
    };
    for (const auto& row : table) {
        EXPECT_EQ(TextBox::LongestUnbreakableRun(row.text), row.run)
            << row.text.left(40).toStdString();
    }
}

TEST(TextBoxWrap, LongRunsBreakAnywhereOrdinaryTextBetweenWords) {
    const QString words = QStringLiteral("ordinary words wrap between words ").repeated(3000);
    const struct {
        QString text;
        bool anywhere;
    } table[] = {
        {words, false},
        {QStringLiteral("x").repeated(TextBox::kLongRun), false},
        {QStringLiteral("x").repeated(TextBox::kLongRun + 1), true},
        {words + References(1000) + words, true},
        {QStringLiteral("\u4E2D").repeated(100000), false}, // Chinese breaks between characters
        {QString(), false},
    };
    TextBox box;
    box.resize(300, 200);
    for (const auto& row : table) {
        box.SetText(row.text);
        EXPECT_EQ(box.BreaksAnywhere(), row.anywhere) << row.text.left(20).toStdString();
        EXPECT_EQ(box.wordWrapMode(), row.anywhere ? QTextOption::WrapAnywhere
                                                   : QTextOption::WrapAtWordBoundaryOrAnywhere);
        EXPECT_EQ(box.Text(), row.text);
    }
}

// Records the wrap mode and the document's length whenever the document is
// laid out (again).
class RecordingLayout final : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    std::vector<std::pair<QTextOption::WrapMode, int>> layouts;

protected:
    void documentChanged(int from, int removed, int added) override {
        layouts.emplace_back(document()->defaultTextOption().wrapMode(),
                             document()->characterCount());
        QPlainTextDocumentLayout::documentChanged(from, removed, added);
    }
};

// Changing the wrap mode lays the whole document out again: a long line of
// references must never be laid out between words on the way to a new text,
// which took minutes when a box holding a converted one-line page was cleared,
// nor on the way back to an old one by undo.
TEST(TextBoxWrap, ANewTextNeverLaysOutALongRunBetweenWords) {
    const QString longRun = References(2000);
    const QString shortText = QStringLiteral("short words");
    const std::vector<std::vector<QString>> sequences = {{longRun, QString()},
                                                         {longRun, shortText},
                                                         {longRun, longRun + QStringLiteral("x")},
                                                         {shortText, longRun, shortText}};
    for (const auto& sequence : sequences) {
        TextBox box;
        box.resize(300, 200);
        QTextDocument doc;
        auto* layout = new RecordingLayout(&doc);
        doc.setDocumentLayout(layout);
        box.setDocument(&doc);
        box.show();
        for (const QString& text : sequence) {
            box.SetText(text);
            EXPECT_EQ(box.Text(), text);
        }
        // Undoing each new text brings the old one back, long runs included.
        for (auto text = sequence.rbegin() + 1; text != sequence.rend(); ++text) {
            QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(box.Text(), *text);
        }
        for (const auto& [mode, length] : layout->layouts) {
            EXPECT_FALSE(mode != QTextOption::WrapAnywhere && length > TextBox::kLongRun)
                << "laid out " << length << " units between words";
        }
        box.setDocument(nullptr);
    }
}

// A paste is looked at before it is laid out; typing is looked at as it comes.
TEST(TextBoxWrap, PastedOrTypedLongRunsSwitchTheBox) {
    TextBox box;
    box.resize(800, 100);
    box.show();
    QApplication::clipboard()->setText(References(500));
    box.paste();
    EXPECT_TRUE(box.BreaksAnywhere());
    EXPECT_EQ(box.Text(), References(500));

    box.SetText(QStringLiteral("x").repeated(TextBox::kLongRun - 2));
    ASSERT_FALSE(box.BreaksAnywhere());
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, QStringLiteral("ab"));
    EXPECT_FALSE(box.BreaksAnywhere());
    QTest::keyClicks(&box, QStringLiteral("c"));
    EXPECT_TRUE(box.BreaksAnywhere());
    // Only a new text set by the program returns to breaking between words.
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_TRUE(box.BreaksAnywhere());
    box.SetText(QStringLiteral("short"));
    EXPECT_FALSE(box.BreaksAnywhere());
}

// A key that makes the box lay a very long line out again shows the wait
// pointer while it does; a key in a short line leaves the pointer alone.
TEST(TextBoxKeys, KeysInVeryLongLinesShowTheWaitPointer) {
    const QString longLine = QStringLiteral("x").repeated(TextBox::kBusyLine + 1);
    const std::tuple<QString, bool> cases[] = {{QStringLiteral("short\r\n") + longLine, false},
                                               {longLine + QStringLiteral("\r\nshort"), true}};
    for (const auto& [text, wait] : cases) {
        TextBox box;
        box.SetText(text);
        std::vector<bool> seen;
        QObject::connect(&box, &QPlainTextEdit::textChanged, [&seen] {
            const QCursor* pointer = QGuiApplication::overrideCursor();
            seen.push_back(pointer != nullptr && pointer->shape() == Qt::WaitCursor);
        });
        QTest::keyClick(&box, Qt::Key_A);
        EXPECT_EQ(seen, std::vector<bool>({wait}));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST(TextBoxWrap, NonWrappingBoxesNeverWrap) {
    TextBox box;
    box.SetWrapping(false);
    box.SetText(References(1000));
    EXPECT_EQ(box.lineWrapMode(), QPlainTextEdit::NoWrap);
    box.SetWrapping(true);
    EXPECT_EQ(box.wordWrapMode(), QTextOption::WrapAnywhere);
}

TEST(TextBoxKeys, TabMovesOnCtrlTabTypesATab) {
    QWidget form;
    auto* first = new TextBox(&form);
    auto* second = new TextBox(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(first->Text(), QStringLiteral("\t"));
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_EQ(first->Text(), QStringLiteral("\t"));
}

// A tab reaches the next stop 8 average characters on, in any font size.
TEST(TextBoxTabs, StopsEveryEightAverageCharacters) {
    TextBox box;
    box.resize(800, 100);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    for (const qreal points : {9.0, 24.0}) {
        QFont font = box.font();
        font.setPointSizeF(points);
        box.setFont(font);
        box.SetText(QStringLiteral("\t\tx"));
        QTextCursor at(box.document());
        const int start = box.cursorRect(at).x();
        at.setPosition(2);
        EXPECT_NEAR(box.cursorRect(at).x() - start, 16 * QFontMetrics(font).averageCharWidth(), 2)
            << points;
    }
}

// The boxes lay text out without shaping where the text allows it (a long
// line lays out in half the time); a font given by the window keeps that.
TEST(TextBoxFont, KeepsLayingOutWithoutShapingUnderTheWindowsFont) {
    QWidget window;
    auto* box = new TextBox(&window);
    window.setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 14));
    EXPECT_EQ(box->font().pointSize(), 14);
    EXPECT_TRUE(box->font().styleStrategy() & QFont::PreferNoShaping);
}

// The toolkit's own texts follow the user's Chinese where Qt has it; a
// right-to-left language does not mirror the window, which is drawn left to
// right.
TEST(ToolkitTranslations, TheContextMenuSpeaksTheUsersChinese) {
    const std::tuple<const char*, bool, const char16_t*> cases[] = {{"zh_CN", true, u"复制(&C)"},
                                                                    {"zh_HK", true, u"複製(&C)"},
                                                                    {"he_IL", true, nullptr},
                                                                    {"C", false, u"&Copy"}};
    for (const auto& [locale, loaded, copy] : cases) {
        EXPECT_EQ(LoadToolkitTranslations(QLocale(QString::fromLatin1(locale))), loaded) << locale;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight) << locale;
        TextBox box;
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            entries << action->text().section(u'\t', 0, 0);
        }
        EXPECT_TRUE(copy == nullptr || entries.contains(QString::fromUtf16(copy)))
            << entries.join(u'|').toStdString();
        for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            delete t; // uninstalls it
        }
    }
}

} // namespace
} // namespace morvane::ui
