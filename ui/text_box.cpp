#include "ui/text_box.h"

#include "ui/pane_wait_cursor.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace morvane::ui {

namespace {

// Whether a line may be broken at (or after) this character. Blanks, tabs and
// line ends are the word boundaries; Chinese, Japanese and Korean characters
// may be broken between. No-break spaces are not break opportunities.
// Anything else counts as part of an unbreakable run, which errs on the safe
// side (a run that the layout could break is only wrapped anywhere sooner).
bool IsBreak(char16_t c) {
    if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029' ||
        c == u'\u3000') {
        return true;
    }
    return (c >= 0x2E80 && c <= 0x9FFF)     // CJK radicals, punctuation, kana, ideographs
           || (c >= 0xAC00 && c <= 0xD7AF)  // Hangul syllables
           || (c >= 0xF900 && c <= 0xFAFF)  // CJK compatibility ideographs
           || (c >= 0xFF00 && c <= 0xFFEF); // full-width forms
}

// A block whose format carries this property continues the line of the block
// before it: the join between them is no line break. The property lives in the
// block's format, which the document's undo history keeps with the block, and
// it belongs to the join before the block, which goes when that join is
// deleted (the merged block keeps the format of the first).
constexpr int kContinuesLine = QTextFormat::UserProperty + 1;

bool Continues(const QTextBlock& block) {
    return block.isValid() && block.blockFormat().boolProperty(kContinuesLine);
}

QTextBlockFormat PieceFormat() {
    QTextBlockFormat format;
    format.setProperty(kContinuesLine, true);
    return format;
}

// The characters at which the document starts a new block when text is
// inserted (a CR LF pair makes one).
bool IsBlockBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == u'\u2029' || c == u'\uFDD0' || c == u'\uFDD1';
}

// Follows a row of a box that does not wrap when the line goes on after it.
QString Mark() {
    return QStringLiteral("\u2192");
}

// How far back from its longest a piece may end to end at a good place.
constexpr qsizetype kPieceSlack = 256;

// Where the piece of a long line that starts at `from` ends: at most
// kPieceLength units on, preferably after a blank or a Chinese character or
// before a tag or a reference (so the row breaks where a wrap could have), and
// never inside a surrogate pair or before a combining mark.
qsizetype PieceEnd(QStringView line, qsizetype from) {
    const qsizetype longest = from + TextBox::kPieceLength;
    if (longest >= line.size()) {
        return line.size();
    }
    const qsizetype shortest = longest - kPieceSlack;
    for (qsizetype end = longest; end > shortest; --end) {
        if (IsBreak(line[end - 1].unicode()) || line[end] == u'<' || line[end] == u'&') {
            return end;
        }
    }
    qsizetype end = longest;
    while (end > shortest && (line[end].isLowSurrogate() || line[end].isMark())) {
        --end;
    }
    return end;
}

// Inserts text at the cursor, holding each line longer than kPieceLength as
// pieces. Runs of short lines go in with one call; the blocks such a run makes
// take the format of the block it starts in, which is therefore never a piece
// that continues a line.
void InsertPieces(QTextCursor& cursor, QStringView text) {
    const qsizetype size = text.size();
    qsizetype runStart = 0; // the short lines not inserted yet start here
    bool runMayStart = !Continues(cursor.block());
    for (qsizetype lineStart = 0;;) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < size && !IsBlockBreak(text[lineEnd].unicode())) {
            ++lineEnd;
        }
        const bool last = lineEnd == size;
        qsizetype next = lineEnd + 1;
        if (!last && text[lineEnd] == u'\r' && next < size && text[next] == u'\n') {
            ++next;
        }
        if (lineEnd - lineStart > TextBox::kPieceLength || !runMayStart) {
            if (lineStart > runStart) {
                cursor.insertText(text.sliced(runStart, lineStart - runStart).toString());
            }
            for (qsizetype from = lineStart; from < lineEnd;) {
                const qsizetype end = PieceEnd(text.first(lineEnd), from);
                if (from > lineStart) {
                    cursor.insertBlock(PieceFormat());
                }
                cursor.insertText(text.sliced(from, end - from).toString());
                from = end;
            }
            if (!last) {
                cursor.insertBlock(QTextBlockFormat());
            }
            runStart = last ? size : next;
            runMayStart = true;
        }
        if (last) {
            break;
        }
        lineStart = next;
    }
    if (size > runStart) {
        cursor.insertText(text.sliced(runStart).toString());
    }
}

} // namespace

TextBox::TextBox(QWidget* parent)
    : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText) {
            m_programTextValid = false;
        }
    });
    // Typing, undo and input methods add text without going through a paste:
    // look at what was added once it is in.
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        if (!m_settingText && added > 0) {
            CheckEdit(position, added);
        }
    });
    // Page text needs no ligatures or kerning; without them the toolkit may
    // skip shaping Latin and Chinese text, which on a long line halves the
    // time of every layout. The strategy survives the window's font.
    QFont plain = font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    setFont(plain);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this] { WidenForMarks(); });
    setTabChangesFocus(true);
    SetWrapping(true);
    ApplyTabStops();
}

QString TextBox::Text() const {
    if (m_programTextValid) {
        return m_programText;
    }
    return TextBetween(0, document()->characterCount() - 1, u"\r\n");
}

QString TextBox::TextBetween(int from, int to, QStringView lineBreak) const {
    // The blocks' own text keeps no-break spaces (toPlainText would turn them
    // into blanks). A line break stands before every block that does not
    // continue the line of the one before.
    QString text;
    text.reserve(to - from);
    const QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        if (start > from && !Continues(block)) {
            text += lineBreak;
        }
        const int first = std::max(from, start) - start;
        const int end = std::min(to, start + block.length() - 1) - start;
        if (end > first) {
            text += QStringView(block.text()).sliced(first, end - first);
        }
    }
    return text;
}

void TextBox::SetText(const QString& text) {
    // One edit block: the whole replacement is one step on the box's undo
    // stack, so Ctrl+Z brings back what the box held before. A new text
    // decides the wrap mode afresh, before it is laid out. A change of mode
    // lays out the whole document again, so the old text goes first: a long
    // line of references laid out again between words would freeze the window
    // (clearing a box that held one, or swapping it away). The layout follows
    // the edit block as a whole, once, with the new text.
    m_settingText = true;
    const bool breakAnywhere = LongestUnbreakableRun(text) > kLongRun;
    m_longRunUndoable = m_longRunUndoable || m_breakAnywhere || breakAnywhere;
    QTextCursor all(document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.removeSelectedText();
    if (breakAnywhere != m_breakAnywhere) {
        m_breakAnywhere = breakAnywhere;
        ApplyWrapMode();
    }
    InsertPieces(all, text);
    all.endEditBlock();
    m_settingText = false;
    m_programText = text;
    m_programTextValid = true;
    // As a freshly loaded text: the cursor and the view at its start.
    moveCursor(QTextCursor::Start);
}

void TextBox::SetWrapping(bool wrap) {
    m_wrapping = wrap;
    if (wrap) {
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
    ApplyWrapMode();
}

qsizetype TextBox::LongestUnbreakableRun(QStringView text) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : text) {
        if (IsBreak(c.unicode())) {
            run = 0;
        } else {
            longest = std::max(longest, ++run);
        }
    }
    return longest;
}

void TextBox::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        ApplyTabStops();
    }
}

void TextBox::ApplyTabStops() {
    setTabStopDistance(kTabStopChars * fontMetrics().averageCharWidth());
}

QMimeData* TextBox::createMimeDataFromSelection() const {
    // What copy, cut, drag-and-drop and the X11 selection take: the selected
    // text as it reads, no-break spaces kept, joins between pieces left out.
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(TextBetween(cursor.selectionStart(), cursor.selectionEnd(), u"\n"));
    return data;
}

void TextBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText() ||
        !textInteractionFlags().testFlag(Qt::TextEditable)) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // A pasted or dropped text is checked before it is laid out: laying out a
    // long unbreakable run between words first would freeze the window. Its
    // long lines go in as pieces, as the program's own texts do. A page of a
    // megabyte takes about a tenth of a second to go in: the wait pointer
    // shows it, as for the commands.
    const QString text = source->text();
    PaneWaitCursor wait;
    wait.Expect(text.size());
    BreakAnywhereFor(text);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    InsertPieces(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        BreakAnywhereBeforeUndo();
    }
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    StepOverJoin(event);
    const int revision = document()->revision();
    QPlainTextEdit::keyPressEvent(event);
    if (event->matches(QKeySequence::InsertParagraphSeparator) &&
        document()->revision() != revision) {
        HardenTypedBreaks(textCursor().position() - 1);
    }
}

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    const int revision = document()->revision();
    QPlainTextEdit::inputMethodEvent(event);
    const QString& committed = event->commitString();
    if (document()->revision() != revision &&
        std::any_of(committed.begin(), committed.end(),
                    [](QChar c) { return IsBlockBreak(c.unicode()); })) {
        HardenTypedBreaks(textCursor().position() - static_cast<int>(committed.size()));
    }
}

void TextBox::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (m_wrapping) {
        return;
    }
    // A box that does not wrap shows a long line as rows of pieces; a grey
    // arrow after a row that the line continues after keeps its end from
    // reading as the end of the line.
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const qreal gap = MarkGap();
    const int bottom = event->rect().bottom();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > bottom) {
            break;
        }
        const QTextLayout* layout = block.layout();
        if (!Continues(block.next()) || layout == nullptr || layout->lineCount() == 0) {
            continue;
        }
        const QTextLine row = layout->lineAt(layout->lineCount() - 1);
        painter.drawText(
            box.topLeft() + layout->position() +
                QPointF(row.x() + row.naturalTextWidth() + gap, row.y() + row.ascent()),
            Mark());
    }
}

qreal TextBox::MarkGap() const {
    return fontMetrics().averageCharWidth() / 2.0;
}

void TextBox::WidenForMarks() {
    // The toolkit scrolls a box that does not wrap as far as its widest row
    // ends; the arrow after that row needs a little more.
    if (m_wrapping) {
        return;
    }
    QScrollBar* bar = horizontalScrollBar();
    const int needed = qCeil(document()->documentLayout()->documentSize().width() + MarkGap() +
                             fontMetrics().horizontalAdvance(Mark())) -
                       viewport()->width();
    if (needed > bar->maximum()) {
        bar->setMaximum(needed);
    }
}

void TextBox::StepOverJoin(const QKeyEvent* event) {
    // The cursor has two places at a join between pieces, the end of one and
    // the start of the next, which are one place in the text. A key that
    // moves or deletes across the join first steps over it, so that it moves
    // by or deletes a character, as anywhere else in the line.
    using Key = QKeySequence::StandardKey;
    const bool select = event->matches(Key::SelectPreviousChar) ||
                        event->matches(Key::SelectPreviousWord) ||
                        event->matches(Key::SelectNextChar) || event->matches(Key::SelectNextWord);
    const bool backward =
        event->matches(Key::MoveToPreviousChar) || event->matches(Key::MoveToPreviousWord) ||
        event->matches(Key::SelectPreviousChar) || event->matches(Key::SelectPreviousWord) ||
        event->matches(Key::DeleteStartOfWord) ||
        (event->key() == Qt::Key_Backspace && (event->modifiers() & ~Qt::ShiftModifier) == 0);
    const bool forward =
        event->matches(Key::MoveToNextChar) || event->matches(Key::MoveToNextWord) ||
        event->matches(Key::SelectNextChar) || event->matches(Key::SelectNextWord) ||
        event->matches(Key::Delete) || event->matches(Key::DeleteEndOfWord);
    QTextCursor cursor = textCursor();
    if ((!backward && !forward) || (!select && cursor.hasSelection())) {
        return;
    }
    const QTextBlock block = cursor.block();
    const int position = cursor.position();
    const auto mode = select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    if (backward && position == block.position() && Continues(block)) {
        cursor.setPosition(position - 1, mode);
    } else if (forward && position == block.position() + block.length() - 1 &&
               Continues(block.next())) {
        cursor.setPosition(position + 1, mode);
    } else {
        return;
    }
    setTextCursor(cursor);
}

void TextBox::HardenTypedBreaks(int from) {
    // A typed or committed line break makes a block with the format of the
    // block it went into; in a piece of a long line that would mark the break
    // as a join. The blocks that start after `from`, up to the cursor, lose
    // the mark in the same undo step as the breaks.
    QTextCursor cursor = textCursor();
    const int to = cursor.position();
    bool joined = false;
    for (QTextBlock block = document()->findBlock(std::max(from, 0));
         block.isValid() && block.position() <= to; block = block.next()) {
        if (block.position() > from && Continues(block)) {
            if (!joined) {
                cursor.joinPreviousEditBlock();
                joined = true;
            }
            QTextCursor(block).setBlockFormat(QTextBlockFormat());
        }
    }
    if (joined) {
        cursor.endEditBlock();
    }
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    BreakAnywhereBeforeUndo(); // the menu offers undo and redo
    QPlainTextEdit::contextMenuEvent(event);
}

void TextBox::BreakAnywhereBeforeUndo() {
    // An undo or redo lays the text it brings back out as it goes, with no
    // chance to look at it first: a box whose history holds a long run
    // breaks anywhere before it steps through that history.
    if (m_longRunUndoable && !m_breakAnywhere) {
        m_breakAnywhere = true;
        ApplyWrapMode();
    }
}

void TextBox::ApplyWrapMode() {
    // Breaking between words costs time that grows with the square of an
    // unbreakable run's length (about 100 s for a 1 MiB line of references);
    // breaking anywhere stays linear.
    setWordWrapMode(m_wrapping && m_breakAnywhere ? QTextOption::WrapAnywhere
                                                  : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TextBox::BreakAnywhereFor(QStringView text) {
    if (!m_breakAnywhere && LongestUnbreakableRun(text) > kLongRun) {
        m_breakAnywhere = true;
        m_longRunUndoable = true;
        ApplyWrapMode();
    }
}

void TextBox::CheckEdit(int position, int added) {
    if (m_breakAnywhere) {
        return; // stays so until the program sets a new text
    }
    // The runs that the edit may have lengthened lie in the blocks it touched.
    const QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(position);
         block.isValid() && block.position() <= position + added; block = block.next()) {
        BreakAnywhereFor(block.text());
        if (m_breakAnywhere) {
            return;
        }
    }
}

} // namespace morvane::ui
