// Modal message boxes with the program's own Chinese button texts.

#include "platform/implementations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

namespace morvane::platform {
namespace {

// The width a title bar needs to show `title` whole: the title in the title
// bar's font, bold as most window managers draw it, and room for the window
// icon and the minimise, maximise and close buttons, each about as wide as
// the bar is high.
int TitleBarWidth(const QString& title) {
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const QFontMetrics metrics(font);
    constexpr int kDecorations = 4;
    const int barHeight = metrics.height() + 8;
    return metrics.horizontalAdvance(title) + kDecorations * barHeight + 2 * barHeight;
}

// A message box sizes itself to its text and buttons; a title longer than
// that would be cut short by the window manager ("M...ne"). A spacer row as
// wide as the title bar needs keeps the box at least that wide.
void WidenForTitle(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    int width = TitleBarWidth(title);
    if (const QScreen* screen = box.screen()) {
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    }
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

class QtMessageBox final : public MessageBox {
public:
    QtMessageBox() = default;
    Q_DISABLE_COPY_MOVE(QtMessageBox)

    MessageAnswer show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons, MessageIcon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        // Shown as written: a message is never taken for markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        box.setIcon(icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::NoIcon);
        // No window of the program takes input while the box is open.
        box.setWindowModality(Qt::ApplicationModal);

        if (buttons == MessageButtons::Ok) {
            QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
            box.setDefaultButton(ok);
            box.setEscapeButton(ok);
            WidenForTitle(box, title);
            box.exec();
            return MessageAnswer::Ok;
        }

        // The standard Yes and No buttons would stay English without Qt's
        // Chinese translations; these carry their own mnemonics (Alt+Y, Alt+N).
        QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        // Escape and the close box press No.
        box.setEscapeButton(no);
        WidenForTitle(box, title);
        box.exec();
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
};

} // namespace

std::unique_ptr<MessageBox> makeMessageBox() {
    return std::make_unique<QtMessageBox>();
}

} // namespace morvane::platform
