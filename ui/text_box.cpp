#include "ui/text_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

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

// The wait pointer while a key changes a line this long: the toolkit lays
// the whole line out again, which takes a tenth of a second from here on
// (measured on two cores). The change reaches the window system at once,
// although the key holds up the event loop.
class WaitWhileLong final {
public:
    explicit WaitWhileLong(const QTextCursor& at)
        : m_shown(at.block().length() > TextBox::kBusyLine) {
        if (m_shown) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }
    ~WaitWhileLong() {
        if (m_shown) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    Q_DISABLE_COPY_MOVE(WaitWhileLong)

private:
    bool m_shown;
};

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
        KeepLongLayouts(position, added);
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
    setTabChangesFocus(true);
    SetWrapping(true);
    ApplyTabStops();
}

QString TextBox::Text() const {
    if (m_programTextValid) {
        return m_programText;
    }
    // The raw text keeps no-break spaces (toPlainText would turn them into
    // blanks); paragraphs are separated by U+2029.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
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
    all.insertText(text);
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

void TextBox::insertFromMimeData(const QMimeData* source) {
    // A pasted or dropped text is checked before it is laid out: laying out a
    // long unbreakable run between words first would freeze the window.
    if (source != nullptr && source->hasText()) {
        BreakAnywhereFor(source->text());
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        BreakAnywhereBeforeUndo();
    }
    const WaitWhileLong wait(textCursor());
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier && !isReadOnly()) {
        insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
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

void TextBox::KeepLongLayouts(int position, int added) {
    // The toolkit throws a line's shaped glyphs away once it has laid the
    // line out, and shapes the whole line again for every later look at it:
    // the cursor's place, every paint (the blinking cursor's too), a move of
    // the cursor. On a line of a million characters each of those takes most
    // of a second. A long line keeps its glyphs until its text changes; this
    // runs before the line is laid out. Beyond some millions of characters
    // the kept glyphs would cost more memory than the page itself (1.2 GB
    // for a 10 MiB page's result): such lines are shaped afresh each time.
    const QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(position);
         block.isValid() && block.position() <= position + added; block = block.next()) {
        if (block.length() > kKeptLayout && block.length() <= kKeptLayoutMax) {
            block.layout()->setCacheEnabled(true);
        }
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
