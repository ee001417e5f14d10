#pragma once
// The multi-line text box of the panes (and of the About window's hidden
// example page). Its Text() keeps CR LF line breaks: a text set by the program
// reads back exactly as it was set (a lone CR or LF included) until the user
// edits the box; after an edit (an undo included) every line break reads as
// CR LF. A wrapping box breaks lines between words, except when it holds a run
// of characters too long to lay out that way in reasonable time (a line of
// character references has no break opportunity at all): then it breaks
// anywhere.
// A line longer than kPieceLength is held as several blocks (pieces), so that
// the toolkit, which lays a block out whole for every change, never lays out
// more than a piece for a key, a paint or a move of the cursor. The joins
// between pieces are no characters: Text(), copy, cut, drag-and-drop, the
// cursor keys, Backspace and Delete all pass over them, and a line break typed
// or committed by an input method in a piece is a line break. On screen a join
// ends a row early; a box that does not wrap shows such a line in rows of at
// most kPieceLength characters, each row that the line goes on after ending
// with a grey arrow.
// Tab moves the focus on, as in any form; Ctrl+Tab types a tab. Tab stops
// stand every 8 average characters of the box's font, as in a text editor.

#include <QPlainTextEdit>
#include <QStringView>

namespace morvane::ui {

class TextBox final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)
public:
    /// Runs longer than this many characters without a line-break opportunity
    /// make a wrapping box break anywhere.
    static constexpr qsizetype kLongRun = 2000;

    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const;
    /// Replaces the whole text as one step on the box's undo stack: Ctrl+Z
    /// in the box brings back what it held before. The cursor goes to the
    /// start.
    void SetText(const QString& text);

    /// Wrapping boxes break long lines at the box's width and scroll only
    /// vertically; the others never wrap and scroll both ways.
    void SetWrapping(bool wrap);
    bool Wrapping() const { return m_wrapping; }
    /// True while a wrapping box breaks lines anywhere instead of between words.
    bool BreaksAnywhere() const { return m_breakAnywhere; }

    /// The longest stretch of text that offers no place to break a line
    /// (no blank, tab, line break or CJK character), in UTF-16 units.
    static qsizetype LongestUnbreakableRun(QStringView text);

    /// Lines longer than this many UTF-16 units are held as pieces of at most
    /// this length.
    static constexpr qsizetype kPieceLength = 10'000;

    /// Tab stops stand this many average character widths apart.
    static constexpr int kTabStopChars = 8;

protected:
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyWrapMode();
    void ApplyTabStops();
    void BreakAnywhereFor(QStringView text);
    void BreakAnywhereBeforeUndo();
    void CheckEdit(int position, int added);
    QString TextBetween(int from, int to, QStringView lineBreak) const;
    void StepOverJoin(const QKeyEvent* event);
    qreal MarkGap() const;
    void WidenForMarks();
    void HardenTypedBreaks(int from);

    QString m_programText;
    bool m_programTextValid = true;
    bool m_settingText = false;
    bool m_wrapping = true;
    bool m_breakAnywhere = false;
    /// The box has held a long run, so its undo history may bring one back.
    bool m_longRunUndoable = false;
};

} // namespace morvane::ui
