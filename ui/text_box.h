#pragma once
// The multi-line text box of the panes (and of the About window's hidden
// example page). Its Text() keeps CR LF line breaks: a text set by the program
// reads back exactly as it was set (a lone CR or LF included) until the user
// edits the box; after an edit every line break reads as CR LF.

#include <QPlainTextEdit>

namespace morvane::ui {

class TextBox final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TextBox)
public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);

    /// Wrapping boxes break long lines at the box's width and scroll only
    /// vertically; the others never wrap and scroll both ways.
    void SetWrapping(bool wrap);
    bool Wrapping() const { return m_wrapping; }

private:
    QString m_programText;
    bool m_programTextValid = true;
    bool m_settingText = false;
    bool m_wrapping = true;
};

} // namespace morvane::ui
