// The pane text box: exact text in and out, and the wrap mode that keeps long
// unbreakable lines from freezing the window.

#include "ui/text_box.h"
#include "ui/translations.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTranslator>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <tuple>
#include <vector>

// Long texts print as their length and ends.
void PrintTo(const QString& text, std::ostream* out) {
    *out << text.size() << " units: \"" << text.left(30).toStdString() << "\" ... \""
         << text.right(30).toStdString() << '"';
}

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

// A line twice as long as a piece whose only join falls between 'A' and 'B':
// it offers no better place to end a piece than its longest.
QString JoinedLine() {
    return QStringLiteral("x").repeated(TextBox::kPieceLength - 1) + QStringLiteral("AB") +
           QStringLiteral("y").repeated(TextBox::kPieceLength - 1);
}

// Long lines are held as pieces no longer than a piece, and read back whole:
// as set, and after an edit with CR LF breaks.
TEST(TextBoxPieces, LongLinesReadBackWholeAfterAnEdit) {
    const QString piece = QStringLiteral("x").repeated(TextBox::kPieceLength);
    const struct {
        QString text;
        QString edited; // as it reads after an edit
        int blocks;
    } table[] = {
        {References(3000), References(3000), 3}, // ends before a reference
        {QStringLiteral("a\n") + References(2500) + QStringLiteral("\rb"),
         QStringLiteral("a\r\n") + References(2500) + QStringLiteral("\r\nb"), 4},
        {JoinedLine(), JoinedLine(), 2},
        {piece.left(TextBox::kPieceLength - 1) + QStringLiteral("\U0001F600") + piece,
         piece.left(TextBox::kPieceLength - 1) + QStringLiteral("\U0001F600") + piece, 3},
        {piece + QStringLiteral("\u0301\u00A0\r\n"), piece + QStringLiteral("\u0301\u00A0\r\n"), 3},
        {piece + QStringLiteral("\r\n") + piece, piece + QStringLiteral("\r\n") + piece, 2},
    };
    TextBox box;
    for (const auto& row : table) {
        box.SetText(row.text);
        EXPECT_EQ(box.Text(), row.text);
        EXPECT_EQ(box.blockCount(), row.blocks) << row.text.left(20).toStdString();
        for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
            EXPECT_LE(block.length() - 1, TextBox::kPieceLength);
            EXPECT_FALSE(!block.text().isEmpty() && block.text().front().isLowSurrogate());
        }
        QTest::keyClick(&box, Qt::Key_Z);
        QTest::keyClick(&box, Qt::Key_Backspace);
        EXPECT_EQ(box.Text(), row.edited);
    }
}

// At a join the keys that move or delete a character do so across it, as
// anywhere else in the line; a typed line break is a line break. Each case
// starts at one of the cursor's two places at the join.
TEST(TextBoxPieces, KeysPassOverJoins) {
    const QString line = JoinedLine();
    const qsizetype a = line.indexOf(u'A');
    const struct {
        const char* name;
        bool atNextPiece; // at the start of the next piece, or at the end of the first
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        QString text;
    } table[] = {
        {"backspace", true, {{Qt::Key_Backspace, {}}}, QString(line).remove(a, 1)},
        {"delete", false, {{Qt::Key_Delete, {}}}, QString(line).remove(a + 1, 1)},
        {"left", true, {{Qt::Key_Left, {}}, {Qt::Key_Z, {}}}, QString(line).insert(a, u'z')},
        {"right", false, {{Qt::Key_Right, {}}, {Qt::Key_Z, {}}}, QString(line).insert(a + 2, u'z')},
        {"shift left",
         true,
         {{Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Z, {}}},
         QString(line).replace(a, 1, u'z')},
        {"shift right",
         false,
         {{Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Z, {}}},
         QString(line).replace(a + 1, 1, u'z')},
        {"enter", true, {{Qt::Key_Return, {}}}, QString(line).insert(a + 1, u"\r\n")},
        {"enter at the end", false, {{Qt::Key_Return, {}}}, QString(line).insert(a + 1, u"\r\n")},
    };
    for (const auto& row : table) {
        TextBox box;
        box.SetText(line);
        ASSERT_EQ(box.blockCount(), 2);
        const QTextBlock second = box.document()->findBlockByNumber(1);
        QTextCursor at = box.textCursor();
        at.setPosition(row.atNextPiece ? second.position() : second.position() - 1);
        box.setTextCursor(at);
        for (const auto& [key, modifiers] : row.keys) {
            QTest::keyClick(&box, key, modifiers);
        }
        EXPECT_EQ(box.Text(), row.text) << row.name;
        // One undo step takes the last key back, and the line is whole again.
        box.undo();
        EXPECT_EQ(box.Text(), line) << row.name;
    }
    // An input method's line break is a line break too.
    TextBox box;
    box.SetText(line);
    QTextCursor at = box.textCursor();
    at.setPosition(box.document()->findBlockByNumber(1).position());
    box.setTextCursor(at);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("1\n2"));
    QCoreApplication::sendEvent(&box, &commit);
    EXPECT_EQ(box.Text(), QString(line).insert(a + 1, u"1\r\n2"));
    box.undo();
    EXPECT_EQ(box.Text(), line);
}

// Copy, paste and deleting across joins see through them; undo and redo bring
// the joins back with the text.
TEST(TextBoxPieces, CopyPasteAndUndoSeeThroughJoins) {
    const QString text = QStringLiteral("\u00A0") + JoinedLine() + QStringLiteral("\r\nend");
    TextBox from;
    from.SetText(text);
    from.selectAll();
    from.copy();
    QString copied = text;
    copied.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(QApplication::clipboard()->text(), copied);

    TextBox to;
    to.SetText(QStringLiteral("[]"));
    QTextCursor at = to.textCursor();
    at.setPosition(1);
    to.setTextCursor(at);
    to.paste();
    const QString pasted = QStringLiteral("[") + text + QStringLiteral("]");
    EXPECT_EQ(to.Text(), pasted);
    EXPECT_EQ(to.blockCount(), 4);

    // A selection from inside a piece that continues the line, over a join
    // and the line break: the line stays joined to its first piece.
    const QTextBlock second = to.document()->findBlockByNumber(1);
    at.setPosition(second.position() + 5);
    at.setPosition(to.document()->findBlockByNumber(3).position() + 1, QTextCursor::KeepAnchor);
    to.setTextCursor(at);
    QTest::keyClick(&to, Qt::Key_Delete);
    const int kept = second.previous().length() - 1 + 5;
    const QString cut = pasted.left(kept) + pasted.mid(pasted.indexOf(u"\r\ne") + 3);
    EXPECT_EQ(to.Text(), cut);
    to.undo();
    EXPECT_EQ(to.Text(), pasted);
    to.redo();
    EXPECT_EQ(to.Text(), cut);
}

// A paste that takes a tenth of a second or more shows the wait pointer while
// it goes in; a small one leaves the pointer alone.
TEST(TextBoxPieces, BigPastesShowTheWaitPointer) {
    for (const auto& [size, wait] :
         {std::pair{qsizetype{10}, false}, std::pair{qsizetype{500'000}, true}}) {
        TextBox box;
        std::vector<bool> seen;
        QObject::connect(&box, &QPlainTextEdit::textChanged, [&seen] {
            const QCursor* pointer = QGuiApplication::overrideCursor();
            seen.push_back(pointer != nullptr && pointer->shape() == Qt::WaitCursor);
        });
        QApplication::clipboard()->setText(QStringLiteral("x").repeated(size));
        box.paste();
        EXPECT_EQ(seen, std::vector<bool>({wait})) << size;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

// Whether the box shows a mark just after the end of `block`'s row: the row's
// end is scrolled into view and the strip after it searched for ink.
bool MarkAfterRow(TextBox& box, const QTextBlock& block) {
    QTextCursor end(block);
    end.movePosition(QTextCursor::EndOfBlock);
    box.horizontalScrollBar()->setValue(0);
    box.horizontalScrollBar()->setValue(box.cursorRect(end).x() - 50);
    const QRect row = box.cursorRect(end);
    const QImage shot = box.viewport()->grab().toImage();
    const QRgb paper = box.palette().color(QPalette::Base).rgb();
    const int width = 3 * box.fontMetrics().averageCharWidth();
    for (int y = row.top(); y <= row.bottom(); ++y) {
        for (int x = row.right() + 2; x < std::min(row.right() + width, shot.width()); ++x) {
            if (shot.pixel(x, y) != paper) {
                return true;
            }
        }
    }
    return false;
}

// A box that does not wrap shows a long line as rows of pieces; a row that
// the line goes on after ends with a mark, the line's last row does not.
TEST(TextBoxPieces, NonWrappingRowsShowThatTheLineGoesOn) {
    TextBox box;
    box.resize(400, 200);
    box.SetWrapping(false);
    // The widest row goes on, the narrower one ends the line.
    box.SetText(QStringLiteral("W").repeated(TextBox::kPieceLength) + QStringLiteral("i\r\nz"));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QTextBlock first = box.document()->begin();
    EXPECT_TRUE(MarkAfterRow(box, first));
    EXPECT_FALSE(MarkAfterRow(box, first.next()));
    EXPECT_FALSE(MarkAfterRow(box, first.next().next()));
    box.SetWrapping(true);
    box.SetWrapping(false);
    EXPECT_TRUE(MarkAfterRow(box, first));
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
