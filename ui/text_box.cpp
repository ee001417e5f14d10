#include "ui/text_box.h"

#include <QTextDocument>

namespace morvane::ui {

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText) {
            m_programTextValid = false;
        }
    });
    SetWrapping(true);
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
    m_settingText = true;
    setPlainText(text);
    m_settingText = false;
    m_programText = text;
    m_programTextValid = true;
}

void TextBox::SetWrapping(bool wrap) {
    m_wrapping = wrap;
    if (wrap) {
        setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // A line of references has no word boundary; breaking anywhere keeps
        // the layout linear where the word-or-anywhere mode is quadratic.
        setWordWrapMode(QTextOption::WrapAnywhere);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

} // namespace morvane::ui
